// SPDX-License-Identifier: MIT
#include "app/LogoPath.h"

namespace tarnwick {

QString logoPath(const QString& executablePath) {
    QString path = executablePath;
    for (int level = 0; level < 2; ++level) {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        if (slash < 0) return {};
        path.truncate(slash);
    }
    return path + QStringLiteral("/Resources/logo.icns");
}

}  // namespace tarnwick
