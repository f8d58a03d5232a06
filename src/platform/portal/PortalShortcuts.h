// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace tarnwick::portal {

// One shortcut offered to the desktop: the user sees description, and the
// desktop's settings decide its keys, starting from preferredTrigger (the
// XDG shortcut form, "CTRL+1"; empty for none).
struct Shortcut {
    QString id;
    QString description;
    QString preferredTrigger;
};

// Shortcuts registered with the desktop's GlobalShortcuts portal for as long
// as this lives; the desktop, not this program, watches the keys.
class GlobalShortcuts {
public:
    virtual ~GlobalShortcuts() = default;

    // Registers shortcuts where the portal offers global shortcuts (nothing
    // happens where it does not); activated runs on the main thread with a shortcut's id each time
    // the user presses its keys.
    static std::unique_ptr<GlobalShortcuts> bind(std::vector<Shortcut> shortcuts,
                                                 std::function<void(const QString&)> activated);
};

}  // namespace tarnwick::portal
