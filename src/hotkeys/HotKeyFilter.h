// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <functional>
#include <optional>

#include "platform/KeyTap.h"

namespace tarnwick {

class BufferChecker;

// The hot-key filter: an enabled modifier + digit pastes that history entry,
// the paste chord pastes entry 0 when the clipboard's plain text is not entry
// 0 already, and command + X is noted for the text fields.
class HotKeyFilter final : public KeyFilter {
public:
    explicit HotKeyFilter(BufferChecker& engine);

    // Main thread: mirrors the window's toggles, so that any thread can read
    // them without touching the window.
    void setToggles(ModifierToggles toggles);

    std::optional<KeyEvent> eventTapCallback(const KeyEvent& event) override;
    KeyDecision decideWithoutWaiting(const KeyEvent& event) override;
    bool carryOutPaste(const KeyDecision& decision) override;
    ModifierToggles toggles() const override;
    void setTogglesChangedListener(std::function<void()> listener) override;
    std::vector<HotChord> hotChords() const override;

private:
    std::optional<KeyEvent> makePasteEvent(const KeyEvent& event, const KeyDecision& decision);

    BufferChecker& engine_;
    std::atomic<bool> fn_{false};
    std::atomic<bool> control_{false};
    std::atomic<bool> command_{false};
    std::function<void()> togglesChanged_;
};

}  // namespace tarnwick
