#include "platform/Platform.h"
#include "platform/x11/x11_server_loss.h"

#include <QByteArray>
#include <QtGlobal>

// Xlib's macros clash with Qt's names: include it after Qt.
#include <X11/Xlib.h>

namespace tarnwick {

ModifierTitles modifierTitles() {
    return {"alt", "super", "ctrl"};
}

void prepareApplication() {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
        return;
    }
    XCloseDisplay(display);
}

void finishApplicationStartup() {
    x11::endProgramWhenServerIsLost();
}

bool clipboardReportsChanges() {
    return true;
}

}  // namespace tarnwick
