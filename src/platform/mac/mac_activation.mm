// SPDX-License-Identifier: MIT
#import <AppKit/AppKit.h>
#include <ApplicationServices/ApplicationServices.h>

#include "platform/Platform.h"
#include "platform/mac/mac_letterkeys.h"

namespace tarnwick {

void finishApplicationStartup() {
    // The bundle declares LSUIElement, so the process starts without a Dock
    // presence; from here on it is a regular application.
    ProcessSerialNumber self = {0, kCurrentProcess};
    TransformProcessType(&self, kProcessTransformToForegroundApplication);
    // Held for the whole run: without it App Nap stretches the polling and
    // permission timers of a program whose windows are all hidden.
    static id<NSObject> activity = [NSProcessInfo.processInfo
        beginActivityWithOptions:NSActivityUserInitiatedAllowingIdleSystemSleep
                          reason:@"Tarnwick follows the clipboard and its hot keys"];
    (void)activity;
    mac::followKeyboardLayout();
}

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
