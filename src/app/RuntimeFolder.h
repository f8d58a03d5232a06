// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tarnwick {

// The folder for this user's lock and socket: XDG_RUNTIME_DIR when it is a
// private folder of ours, else a private folder of our own under the user's
// cache folder, one per host since a home folder may be shared between hosts.
// The fallback becomes this process's XDG_RUNTIME_DIR, for Qt's own use.
// Empty, after a line on standard error, when there is none.
QString privateRuntimeFolder();

// name with anything but letters, digits, '-' and '.' made '_': ":0" is no
// good file name everywhere.
QString plainFileName(QString name);

}  // namespace tarnwick
