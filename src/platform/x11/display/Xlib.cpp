// SPDX-License-Identifier: MIT
#include "platform/x11/display/Xlib.h"

#include <algorithm>
#include <atomic>

namespace tarnwick::x11 {

namespace {

using Handler = int (*)(Display*, XErrorEvent*);

std::mutex trapMutex;
// Read by the handler on whichever thread an error arrives.
std::atomic<ErrorTrap*> activeTrap{nullptr};
std::atomic<Handler> forwardTo{nullptr};

}  // namespace

ErrorTrap::ErrorTrap(Display* display) : lock_(trapMutex), display_(display) {
    XSync(display_, False);  // earlier requests' errors are not ours to collect
    previous_ = XSetErrorHandler(&ErrorTrap::handle);
    forwardTo = previous_;
    activeTrap = this;
}

ErrorTrap::~ErrorTrap() {
    XSync(display_, False);
    activeTrap = nullptr;
    XSetErrorHandler(previous_);
}

const std::vector<XErrorEvent>& ErrorTrap::sync() {
    XSync(display_, False);
    return errors_;
}

int ErrorTrap::handle(Display* display, XErrorEvent* error) {
    ErrorTrap* trap = activeTrap.load();
    if (trap != nullptr && display == trap->display_) {
        trap->errors_.push_back(*error);
        return 0;
    }
    const Handler next = forwardTo.load();
    return next != nullptr ? next(display, error) : 0;
}

void MappingChanges::note(const XMappingEvent& change) {
    if (change.request == MappingModifier) modifiers_ = change;
    if (change.request != MappingKeyboard) return;
    if (!keyboard_) {
        keyboard_ = change;
        return;
    }
    // One range that covers every changed key.
    const int first = std::min(keyboard_->first_keycode, change.first_keycode);
    const int end =
        std::max(keyboard_->first_keycode + keyboard_->count, change.first_keycode + change.count);
    keyboard_->first_keycode = first;
    keyboard_->count = end - first;
}

bool MappingChanges::refresh() {
    const bool any = keyboard_ || modifiers_;
    if (keyboard_) XRefreshKeyboardMapping(&*keyboard_);
    if (modifiers_) XRefreshKeyboardMapping(&*modifiers_);
    keyboard_.reset();
    modifiers_.reset();
    return any;
}

}  // namespace tarnwick::x11
