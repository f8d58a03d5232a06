// SPDX-License-Identifier: MIT
#include "platform/Platform.h"

namespace tarnwick {

ModifierTitles modifierTitles() {
    return {"fn", "control", "command"};
}

void prepareApplication() {}

// One login session, one window server: one instance per user.
QString displaySession() {
    return QStringLiteral("console");
}

}  // namespace tarnwick
