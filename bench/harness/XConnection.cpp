// SPDX-License-Identifier: MIT
#include "harness/XConnection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <set>

namespace tarnwick::e2e {

namespace {

// A window that vanished between two requests must not end the test through
// Xlib's default handler, which exits the process.
int ignoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

}  // namespace

XConnection::XConnection(const std::string& displayName)
    : display_(XOpenDisplay(displayName.c_str())) {
    XSetErrorHandler(ignoreXErrors);
}

XConnection::~XConnection() {
    if (display_ != nullptr) XCloseDisplay(display_);
}

unsigned long XConnection::selectionOwner(const char* selection) const {
    if (display_ == nullptr) return 0;
    return XGetSelectionOwner(display_, XInternAtom(display_, selection, False));
}

bool XConnection::requestClose(unsigned long window) const {
    if (display_ == nullptr) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display_, window, False, NoEventMask, &event);
    XSync(display_, False);
    return sent != 0;
}

bool XConnection::isViewable(unsigned long window) const {
    if (display_ == nullptr) return false;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window, &attributes) == 0) return false;
    return attributes.map_state == IsViewable;
}

int XConnection::distinctColours(unsigned long window) const {
    if (display_ == nullptr) return 0;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window, &attributes) == 0) return 0;
    XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) return 0;
    std::set<unsigned long> colours;
    for (int y = 0; y < attributes.height; ++y) {
        for (int x = 0; x < attributes.width; ++x) colours.insert(XGetPixel(image, x, y));
    }
    XDestroyImage(image);
    return static_cast<int>(colours.size());
}

std::optional<std::string> XConnection::windowName(unsigned long window) const {
    if (display_ == nullptr) return std::nullopt;
    char* name = nullptr;
    if (XFetchName(display_, window, &name) == 0 || name == nullptr) return std::nullopt;
    std::string result(name);
    XFree(name);
    return result;
}

}  // namespace tarnwick::e2e
