// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <array>
#include <chrono>
#include <optional>

#include "platform/x11/display/Xlib.h"

namespace tarnwick::x11 {

// Reads the CLIPBOARD selection's plain text over a connection of its own, so
// that an owner that hangs, trickles, dies mid-transfer or sends without end
// never holds up the main thread. One request round per read: TARGETS, then
// the text target (INCR transfers included). The connection is opened once
// and kept: opening one per read cost the X server more than the read.
//
// Each of its requests has a hard deadline from the request, whatever chunks
// arrive, and the read a size cap; past either it is dropped. None for: no owner, a failed,
// abandoned or oversized transfer, an empty text, a text the owner marks
// secret (x-kde-passwordManagerHint = secret, in any case), data that is not
// 8-bit text, and a copy whose only text-like form is a list of file URIs.
//
// Used by one thread at a time.
class SelectionReader {
public:
    SelectionReader(std::chrono::milliseconds deadline, std::size_t sizeCap);
    ~SelectionReader();
    SelectionReader(const SelectionReader&) = delete;
    SelectionReader& operator=(const SelectionReader&) = delete;

    std::optional<QString> plainText();

private:
    class Read;
    bool open();

    const std::chrono::milliseconds deadline_;
    const std::size_t sizeCap_;
    DisplayHandle display_;
    unsigned long window_ = 0;
    std::array<unsigned long, 16> atoms_{};
    unsigned nextLanding_ = 0;
};

}  // namespace tarnwick::x11
