// SPDX-License-Identifier: MIT
#include "platform/mac/mac_letterkeys.h"

#include <Carbon/Carbon.h>

#include <atomic>
#include <cstdint>

#include "platform/mac/mac_cfhandle.h"

namespace tarnwick::mac {

namespace {

// The three codes in one word, so the tap's thread reads a consistent set
// without a lock.
std::uint64_t pack(const LetterKeys& keys) {
    const auto field = [](int code) { return static_cast<std::uint64_t>(code) & 0xFFFF; };
    return field(keys.v) | field(keys.x) << 16 | field(keys.c) << 32;
}

LetterKeys unpack(std::uint64_t word) {
    const auto field = [word](int shift) { return static_cast<int>((word >> shift) & 0xFFFF); };
    return {field(0), field(16), field(32)};
}

std::atomic<std::uint64_t> published{pack(LetterKeys{})};

// The layout's key-to-character table, kept alive by source. An input method
// (Japanese, Chinese) may carry none; the ASCII-capable layout it types with
// then stands in.
CFDataRef layoutData(CFHandle<TISInputSourceRef>& source) {
    for (auto copy : {&TISCopyCurrentKeyboardLayoutInputSource,
                      &TISCopyCurrentASCIICapableKeyboardLayoutInputSource}) {
        source.reset(copy());
        if (!source) continue;
        const auto data = static_cast<CFDataRef>(
            TISGetInputSourceProperty(source.get(), kTISPropertyUnicodeKeyLayoutData));
        if (data != nullptr) return data;
    }
    return nullptr;
}

LetterKeys readLetterKeys() {
    CFHandle<TISInputSourceRef> source;
    const CFDataRef data = layoutData(source);
    if (data == nullptr) return findLetterKeys({});
    const auto* layout = reinterpret_cast<const UCKeyboardLayout*>(CFDataGetBytePtr(data));
    const UInt32 keyboardType = LMGetKbdType();
    // Command held: the layer shortcuts use ("Dvorak - QWERTY Command" is QWERTY there).
    const UInt32 commandHeld = (cmdKey >> 8) & 0xFF;
    return findLetterKeys([=](int code) -> char32_t {
        UInt32 deadKeyState = 0;
        UniChar typed[4];
        UniCharCount length = 0;
        const OSStatus status = UCKeyTranslate(
            layout, static_cast<UInt16>(code), kUCKeyActionDown, commandHeld, keyboardType,
            kUCKeyTranslateNoDeadKeysMask, &deadKeyState, 4, &length, typed);
        return status == noErr && length == 1 ? char32_t{typed[0]} : char32_t{0};
    });
}

void inputSourceChanged(CFNotificationCenterRef, void*, CFNotificationName, const void*,
                        CFDictionaryRef) {
    refreshLetterKeys();
}

}  // namespace

LetterKeys currentLetterKeys() {
    return unpack(published.load(std::memory_order_acquire));
}

LetterKeys refreshLetterKeys() {
    const LetterKeys keys = readLetterKeys();
    published.store(pack(keys), std::memory_order_release);
    return keys;
}

void followKeyboardLayout() {
    refreshLetterKeys();
    // Delivered on the main run loop, where the layout may be read.
    static int observer = 0;
    CFNotificationCenterAddObserver(CFNotificationCenterGetDistributedCenter(), &observer,
                                    &inputSourceChanged,
                                    kTISNotifySelectedKeyboardInputSourceChanged, nullptr,
                                    CFNotificationSuspensionBehaviorDeliverImmediately);
}

}  // namespace tarnwick::mac
