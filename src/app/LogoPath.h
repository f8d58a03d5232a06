// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tarnwick {

// The logo beside the executable's folder: <exe dir>/../Resources/logo.icns.
// Empty when the executable path holds fewer than two "/".
QString logoPath(const QString& executablePath);

}  // namespace tarnwick
