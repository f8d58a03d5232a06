// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tarnwick {

// Whether the user lets this program read what other programs copied.
enum class PasteboardAccess { allowed, ask, denied };

// NSPasteboard's accessBehavior (macOS 15.4): 0 default and 1 ask (every
// programmatic read may raise the system's alert), 2 always allow, 3 always
// deny. Values a later system adds are left to the system to enforce.
PasteboardAccess pasteboardAccessFromBehavior(std::int64_t behavior);

// False for an item that password managers and other careful programs mark as
// not to be kept (the nspasteboard.org concealed, transient and auto-generated
// types): its text never enters the history.
bool isRecordable(const std::vector<std::string_view>& itemTypes);

// The line said when the user denied reading the clipboard.
extern const char* const pasteboardDeniedNotice;

// Decides, for each look at a clipboard that only counts its changes, whether
// to read it: reading costs a round trip to the pasteboard server and, from
// macOS 15.4 on, may make the system alert the user.
class PasteboardWatch {
public:
    enum class Answer {
        previous,  // unchanged since the last look (or our own write): answer as then
        read,      // changed: read it now
        none,      // reading is denied: report no text
    };
    struct Look {
        Answer answer = Answer::previous;
        bool sayDenied = false;  // print pasteboardDeniedNotice now

        friend bool operator==(const Look&, const Look&) = default;
    };

    // A look at the clipboard whose change count is changeCount.
    Look look(std::int64_t changeCount, PasteboardAccess access);
    // Whether a look at changeCount answers as the previous one did, whatever
    // the access (so the access need not be asked for).
    bool unchangedAt(std::int64_t changeCount) const { return seenAny_ && changeCount == seen_; }
    // This program wrote the clipboard, which now has changeCount: its
    // contents are known without reading them.
    void wrote(std::int64_t changeCount);

private:
    bool seenAny_ = false;
    std::int64_t seen_ = 0;
    bool deniedSaid_ = false;
};

}  // namespace tarnwick
