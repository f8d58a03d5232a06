// SPDX-License-Identifier: MIT
#include "platform/TapRouting.h"

namespace tarnwick {

TapRoute routeTapEvent(KeyFilter& filter, const TapInput& input) {
    switch (input.kind) {
        case TapInput::Kind::tapDisabled:
            // Without a report the hot keys would silently stop working.
            return {TapRoute::Action::reportSwitchOff, {}};
        case TapInput::Kind::ownKey:
            // Our own paste chord must reach the application, not be taken
            // again as a plain paste of entry 0.
        case TapInput::Kind::other:
            return {};
        case TapInput::Kind::key:
            break;
    }
    const KeyDecision decision = filter.decideWithoutWaiting(input.event);
    if (decision.action != KeyDecision::Action::paste) return {};
    return {TapRoute::Action::consume, decision};
}

Replacement carryOutConsumedKey(KeyFilter& filter, const KeyDecision& decision) {
    return filter.carryOutPaste(decision) ? Replacement::pasteChord : Replacement::typedKey;
}

std::uint64_t pasteChordFlags(std::uint64_t held) {
    std::uint64_t flags = held | eventflag::command | eventflag::leftCommandKey;
    flags &= ~(eventflag::secondaryFn | eventflag::control | eventflag::leftControlKey |
               eventflag::rightControlKey);
    return flags;
}

}  // namespace tarnwick
