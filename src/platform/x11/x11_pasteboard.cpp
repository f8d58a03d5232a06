#include "platform/Platform.h"
#include "platform/qt/QtPasteboard.h"

namespace tarnwick {

// X11's clipboard through QClipboard, on the main thread.
std::unique_ptr<Pasteboard> makePasteboard() {
    return std::make_unique<QtPasteboard>();
}

}  // namespace tarnwick
