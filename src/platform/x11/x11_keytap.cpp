#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include "platform/KeyTap.h"

namespace tarnwick {

namespace {

// Checks what the X11 filter needs (a display with XTEST); passes every key.
class X11KeyTap final : public KeyTap {
public:
    ~X11KeyTap() override {
        if (display_ != nullptr) XCloseDisplay(display_);
    }

    bool create(std::unique_ptr<KeyFilter> filter) override {
        display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) return false;
        int event = 0, error = 0, major = 0, minor = 0;
        if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) return false;
        filter_ = std::move(filter);
        return true;
    }
    void enable() override { enabled_ = display_ != nullptr; }
    bool isEnabled() const override { return enabled_; }

private:
    Display* display_ = nullptr;
    std::unique_ptr<KeyFilter> filter_;
    bool enabled_ = false;
};

}  // namespace

std::unique_ptr<KeyTap> makeKeyTap() {
    return std::make_unique<X11KeyTap>();
}

}  // namespace tarnwick
