// SPDX-License-Identifier: MIT
#include "harness/Clipboard.h"

#include "harness/Wait.h"
#include "harness/XvfbSession.h"

namespace tarnwick::e2e {

Clipboard::Clipboard(const XvfbSession& session) : session_(session) {}

Clipboard::~Clipboard() = default;

bool Clipboard::copy(const std::string& bytes, const std::string& target) {
    const unsigned long before = session_.x().selectionOwner("CLIPBOARD");
    // -quiet keeps xclip in the foreground, so it stays our child and ends
    // with us; it still exits by itself when another owner takes over.
    auto owner = std::make_unique<Process>(
        Process::Options{.argv = {"xclip", "-quiet", "-selection", "clipboard", "-t", target, "-i"},
                         .env = {{"DISPLAY", session_.display()}},
                         .input = bytes});
    if (!owner->started()) return false;
    Process& process = *owner;
    owners_.push_back(std::move(owner));
    return waitUntil(
               [&] {
                   const unsigned long now = session_.x().selectionOwner("CLIPBOARD");
                   return (now != 0 && now != before) || !process.running();
               },
               30s) &&
           process.running();
}

bool Clipboard::ownerExits() {
    const unsigned long owner = session_.x().selectionOwner("CLIPBOARD");
    if (owner == 0) return false;
    // Only the newest running xclip can own it; older ones lost it and left.
    for (auto it = owners_.rbegin(); it != owners_.rend(); ++it) {
        if (!(*it)->running()) continue;
        (*it)->stop();
        return waitUntil([this] { return session_.x().selectionOwner("CLIPBOARD") == 0; }, 5s);
    }
    return false;
}

std::optional<std::string> Clipboard::text() const {
    const CommandResult result =
        session_.run({"xclip", "-selection", "clipboard", "-t", "UTF8_STRING", "-o"}, 10s);
    if (!result.ok()) return std::nullopt;
    return result.output;
}

bool Clipboard::hasOwner() const {
    return session_.x().selectionOwner("CLIPBOARD") != 0;
}

}  // namespace tarnwick::e2e
