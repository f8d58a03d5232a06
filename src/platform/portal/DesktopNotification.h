// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tarnwick::portal {

// Shows body in a notification bubble of the desktop's notification service
// (org.freedesktop.Notifications), where there is one; never waits.
void notify(const QString& body);

}  // namespace tarnwick::portal
