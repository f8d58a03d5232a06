// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

class QString;  // Qt after Xlib clashes: this header is included anywhere

namespace tarnwick {
class KeySender;
class KeyTap;
class MainThread;
class Pasteboard;
}  // namespace tarnwick

// The X11 services (through XWayland in a Wayland session without
// data-control); the platform's choice (Platform.h) calls them.
namespace tarnwick::x11 {

std::unique_ptr<Pasteboard> makePasteboard();
std::unique_ptr<KeySender> makeKeySender();
std::unique_ptr<KeyTap> makeKeyTap(MainThread& mainThread);
void prepareApplication();
QString displaySession();
void finishApplicationStartup();

}  // namespace tarnwick::x11
