#include "platform/KeySender.h"

namespace tarnwick {

namespace {

class X11KeySender final : public KeySender {
public:
    void postCommandKey(int /*keyCode*/) override {}
};

}  // namespace

std::unique_ptr<KeySender> makeKeySender() { return std::make_unique<X11KeySender>(); }

}  // namespace tarnwick
