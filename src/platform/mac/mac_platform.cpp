#include <ApplicationServices/ApplicationServices.h>

#include "platform/Platform.h"
#include "platform/qt/QtPasteboard.h"

namespace tarnwick {

ModifierTitles modifierTitles() {
    return {"fn", "control", "command"};
}

void prepareApplication() {}

void finishApplicationStartup() {
    // The bundle declares LSUIElement, so the process starts without a Dock
    // presence; from here on it is a regular application.
    ProcessSerialNumber self = {0, kCurrentProcess};
    TransformProcessType(&self, kProcessTransformToForegroundApplication);
}

bool clipboardReportsChanges() { return false; }

std::unique_ptr<Pasteboard> makePasteboard() {
    return std::make_unique<QtPasteboard>();
}

}  // namespace tarnwick
