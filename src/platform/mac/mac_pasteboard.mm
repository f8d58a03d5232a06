// SPDX-License-Identifier: MIT
// The general pasteboard through AppKit. Built with ARC.
#import <AppKit/AppKit.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Pasteboard.h"
#include "platform/PasteboardWatch.h"
#include "platform/Platform.h"

#if __MAC_OS_X_VERSION_MAX_ALLOWED < 150400
// From macOS 15.4 the pasteboard tells whether the user lets this program read
// what others copied; SDKs before it do not declare the property.
@interface NSPasteboard (TarnwickAccessBehavior)
@property(readonly) NSInteger accessBehavior API_AVAILABLE(macos(15.4));
@end
#endif

namespace tarnwick {

namespace {

PasteboardAccess currentAccess(NSPasteboard* pasteboard) {
    if (@available(macOS 15.4, *)) {
        if ([pasteboard respondsToSelector:@selector(accessBehavior)]) {
            return pasteboardAccessFromBehavior(
                static_cast<std::int64_t>(pasteboard.accessBehavior));
        }
    }
    return PasteboardAccess::allowed;
}

void addTypes(NSArray<NSPasteboardType>* from, std::vector<std::string_view>& types) {
    for (NSPasteboardType type in from) {
        const char* name = type.UTF8String;
        if (name != nullptr) types.emplace_back(name);
    }
}

// The first item's plain text, unless the item or the pasteboard as a whole
// is marked not to be kept (some password managers mark only the latter).
// The marker types are checked before the text is fetched: a concealed text
// is never read at all.
std::optional<QString> readFirstItem(NSPasteboard* pasteboard) {
    NSPasteboardItem* item = pasteboard.pasteboardItems.firstObject;
    if (item == nil) return std::nullopt;
    std::vector<std::string_view> types;
    addTypes(pasteboard.types, types);
    addTypes(item.types, types);
    if (!isRecordable(types)) return std::nullopt;
    NSString* text = [item stringForType:NSPasteboardTypeString];
    if (text == nil) return std::nullopt;
    return QString::fromNSString(text);
}

// NSPasteboard counts its changes, so the contents are read only when the
// count moved since the last look; our own writes are remembered instead of
// read back. Main thread only, as AppKit wants: readsOffMainThread() is false,
// so the engine asks for the change count on the main thread too.
class MacPasteboard final : public Pasteboard {
public:
    void clearContents() override {
        const NSInteger count = [NSPasteboard.generalPasteboard clearContents];
        watch_.wrote(count);
        contents_.reset();
    }

    // A write clears the pasteboard, which makes this program its owner, then
    // sets the one text: NSPasteboard takes no new contents without the clear.
    bool setString(const QString& text) override {
        @autoreleasepool {
            NSPasteboard* pasteboard = NSPasteboard.generalPasteboard;
            clearContents();
            const BOOL written = [pasteboard setString:text.toNSString()
                                               forType:NSPasteboardTypeString];
            // After a refused write the contents are whatever the clear left.
            if (!written) return false;
            watch_.wrote(pasteboard.changeCount);
            contents_ = text;
            return true;
        }
    }

    std::optional<QString> string() const override {
        @autoreleasepool {
            NSPasteboard* pasteboard = NSPasteboard.generalPasteboard;
            const NSInteger count = pasteboard.changeCount;
            if (watch_.unchangedAt(count)) return contents_;
            const PasteboardWatch::Look look = watch_.look(count, currentAccess(pasteboard));
            switch (look.answer) {
                case PasteboardWatch::Answer::previous:
                    return contents_;
                case PasteboardWatch::Answer::none:
                    if (look.sayDenied) sayDenied(true);
                    return std::nullopt;
                case PasteboardWatch::Answer::read:
                    break;
            }
            if (deniedSaid_) sayDenied(false);
            contents_ = readFirstItem(pasteboard);
            return contents_;
        }
    }

    std::uint64_t changeCount() const override {
        return static_cast<std::uint64_t>(NSPasteboard.generalPasteboard.changeCount);
    }

    void setNoticeListener(std::function<void(const std::string&)> listener) override {
        noticeListener_ = std::move(listener);
    }

private:
    // Said on standard output and in the status menu, where a program started
    // from the Finder is seen; the menu line goes once reading works again.
    void sayDenied(bool denied) const {
        deniedSaid_ = denied;
        if (denied) {
            std::printf("%s\n", pasteboardDeniedNotice);
            std::fflush(stdout);
        }
        if (noticeListener_) noticeListener_(denied ? pasteboardDeniedNotice : "");
    }

    std::function<void(const std::string&)> noticeListener_;
    mutable bool deniedSaid_ = false;
    mutable PasteboardWatch watch_;
    mutable std::optional<QString> contents_;  // as of the count watch_ saw last
};

}  // namespace

std::unique_ptr<Pasteboard> makePasteboard() {
    return std::make_unique<MacPasteboard>();
}

}  // namespace tarnwick
