// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusObjectPath>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <functional>
#include <optional>

namespace tarnwick::portal {

// The desktop portal's interfaces live on one object of one service, on the
// session bus.
inline constexpr char service[] = "org.freedesktop.portal.Desktop";
inline constexpr char objectPath[] = "/org/freedesktop/portal/desktop";

// The portal's answer to one request: 0 granted, 1 cancelled by the user,
// 2 ended otherwise (also when the call itself failed).
using Answer = std::function<void(unsigned response, const QVariantMap& results)>;

// Calls then on the main thread with the version of interface the portal
// offers, or none when it offers none (no portal, or a desktop without that
// service). Never waits: a portal started on demand may take seconds.
void findVersion(const QString& interface, std::function<void(std::optional<unsigned>)> then);

// Calls method of interface on the portal with arguments and then options,
// which gets a handle_token of its own; answer runs once, on the main thread,
// with the Response signal of that request.
void ask(const QString& interface, const QString& method, const QVariantList& arguments,
         QVariantMap options, Answer answer);

// A token unique within this run, for handle_token and session_handle_token.
QString newToken();

// The session a CreateSession answer names (portals send it as a string or as
// an object path).
QDBusObjectPath sessionOf(const QVariantMap& results);

}  // namespace tarnwick::portal
