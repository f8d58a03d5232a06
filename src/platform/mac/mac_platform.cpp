#include <ApplicationServices/ApplicationServices.h>

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

void finishApplicationStartup() {
    // The bundle declares LSUIElement, so the process starts without a Dock
    // presence; from here on it is a regular application.
    ProcessSerialNumber self = {0, kCurrentProcess};
    TransformProcessType(&self, kProcessTransformToForegroundApplication);
}


}  // namespace tarnwick
