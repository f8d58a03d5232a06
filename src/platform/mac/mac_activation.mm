#import <AppKit/AppKit.h>

#include "platform/Platform.h"

namespace tarnwick {

void bringApplicationForward() {
    // Showing a window does not activate its application: without this the
    // user's keys keep going to the application in front.
    if (@available(macOS 14.0, *)) {
        [NSApp activate];
    } else {
        [NSApp activateIgnoringOtherApps:YES];
    }
}

}  // namespace tarnwick
