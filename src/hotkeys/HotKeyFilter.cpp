// SPDX-License-Identifier: MIT
#include "hotkeys/HotKeyFilter.h"

#include "history/BufferChecker.h"
#include "hotkeys/KeyRules.h"

namespace tarnwick {

HotKeyFilter::HotKeyFilter(BufferChecker& engine) : engine_(engine) {}

void HotKeyFilter::setToggles(ModifierToggles toggles) {
    const bool changed = toggles != this->toggles();
    fn_.store(toggles.fn, std::memory_order_release);
    control_.store(toggles.control, std::memory_order_release);
    command_.store(toggles.command, std::memory_order_release);
    if (changed && togglesChanged_) togglesChanged_();
}

ModifierToggles HotKeyFilter::toggles() const {
    return {fn_.load(std::memory_order_acquire), control_.load(std::memory_order_acquire),
            command_.load(std::memory_order_acquire)};
}

void HotKeyFilter::setTogglesChangedListener(std::function<void()> listener) {
    togglesChanged_ = std::move(listener);
}

std::vector<HotChord> HotKeyFilter::hotChords() const {
    // The paste chord and the cut with command; each digit with an enabled
    // modifier, as classifyKey() reads them.
    std::vector<HotChord> chords{{keycode::V, eventflag::command},
                                 {keycode::X, eventflag::command}};
    const ModifierToggles now = toggles();
    const std::uint64_t enabled = (now.command ? eventflag::command : 0) |
                                  (now.control ? eventflag::control : 0) |
                                  (now.fn ? eventflag::secondaryFn : 0);
    if (enabled == 0) return chords;
    for (const int digit : keycode::digits) chords.push_back({digit, enabled});
    return chords;
}

std::optional<KeyEvent> HotKeyFilter::eventTapCallback(const KeyEvent& event) {
    const KeyDecision wanted = classifyKey(event, toggles());
    switch (wanted.action) {
        case KeyDecision::Action::paste:
            return makePasteEvent(event, wanted);
        case KeyDecision::Action::noteCut:
            engine_.history().noteCut();
            return std::nullopt;
        case KeyDecision::Action::pass:
            break;
    }
    return std::nullopt;
}

std::optional<KeyEvent> HotKeyFilter::makePasteEvent(const KeyEvent& event,
                                                     const KeyDecision& decision) {
    if (!carryOutPaste(decision)) return std::nullopt;
    return makePasteKeyEvent(event);
}

KeyDecision HotKeyFilter::decideWithoutWaiting(const KeyEvent& event) {
    // A copy that polling has not seen yet will become entry 0 before the
    // paste, so one index more may turn out to exist; the main thread checks.
    const int unpolled = engine_.publishedMayHaveUnpolledCopy() ? 1 : 0;
    const PasteAbility ability{engine_.publishedLength() + unpolled,
                               engine_.publishedPasteNeedsRewrite()};
    const KeyDecision decision = decideKey(event, toggles(), ability);
    if (decision.action == KeyDecision::Action::noteCut) engine_.history().noteCut();
    return decision;
}

bool HotKeyFilter::carryOutPaste(const KeyDecision& decision) {
    if (decision.action != KeyDecision::Action::paste) return false;
    // Only a plain text other than entry 0 is rewritten: an image, files or
    // entry 0 itself are pasted as they are by the key going on unchanged.
    if (decision.plainPaste && !engine_.plainPasteNeedsRewrite()) return false;
    return engine_.pasteItemAtIndex(decision.index, decision.byHand);
}

}  // namespace tarnwick
