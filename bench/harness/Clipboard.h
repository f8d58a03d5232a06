// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "harness/Process.h"

namespace tarnwick::e2e {

class XvfbSession;

// The CLIPBOARD selection as other applications use it, through xclip. Every
// copy is served by its own xclip process, as a real application would keep
// serving until another one takes the clipboard; all of them end with this.
class Clipboard {
public:
    explicit Clipboard(const XvfbSession& session);
    ~Clipboard();
    Clipboard(const Clipboard&) = delete;
    Clipboard& operator=(const Clipboard&) = delete;

    // Copies UTF-8 text; returns once the new owner holds the clipboard.
    bool copyText(const std::string& text) { return copy(text, "UTF8_STRING"); }
    // Copies raw bytes offered under one target only ("image/png", or
    // "UTF8_STRING" with bytes that are not valid UTF-8).
    bool copy(const std::string& bytes, const std::string& target);

    // Ends the process that serves the clipboard now: the clipboard loses its
    // owner, as when an application exits. False when none of ours owns it.
    bool ownerExits();

    // The clipboard's text as another application would paste it (none when
    // the clipboard is empty or holds no text).
    std::optional<std::string> text() const;
    // Whether the clipboard has an owner at all.
    bool hasOwner() const;

private:
    const XvfbSession& session_;
    std::vector<std::unique_ptr<Process>> owners_;
};

}  // namespace tarnwick::e2e
