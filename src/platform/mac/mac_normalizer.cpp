// SPDX-License-Identifier: MIT
#include <CoreFoundation/CoreFoundation.h>

#include <algorithm>

#include "platform/TextNormalizer.h"
#include "platform/mac/mac_cfhandle.h"

namespace tarnwick {

namespace {

bool allBelow(const QString& text, char16_t limit) {
    return std::all_of(text.cbegin(), text.cend(),
                       [limit](QChar unit) { return unit.unicode() < limit; });
}

// text in the normal form, through Core Foundation's normaliser (linear, and
// on every Mac, so no ICU to ship).
QString normalized(const QString& text, CFStringNormalizationForm form) {
    const mac::CFHandle<CFMutableStringRef> string(CFStringCreateMutable(kCFAllocatorDefault, 0));
    if (!string) return text;
    CFStringAppendCharacters(string.get(), reinterpret_cast<const UniChar*>(text.utf16()),
                             static_cast<CFIndex>(text.size()));
    CFStringNormalize(string.get(), form);
    const CFIndex length = CFStringGetLength(string.get());
    QString result(static_cast<qsizetype>(length), Qt::Uninitialized);
    CFStringGetCharacters(string.get(), CFRangeMake(0, length),
                          reinterpret_cast<UniChar*>(result.data()));
    return result;
}

}  // namespace

bool isComposed(const QString& text) {
    // Nothing below U+0300 (the first combining mark) is ever changed by
    // composition: nearly every copied text stops here.
    if (allBelow(text, 0x300)) return true;
    return normalized(text, kCFStringNormalizationFormC) == text;
}

QString decomposed(const QString& text) {
    // The first letter with a canonical decomposition is U+00C0.
    if (allBelow(text, 0xC0)) return text;
    QString result = normalized(text, kCFStringNormalizationFormD);
    // An already decomposed text stays shared rather than held twice.
    return result == text ? text : result;
}

}  // namespace tarnwick
