// SPDX-License-Identifier: MIT
#include <unicode/unorm2.h>

#include "platform/TextNormalizer.h"

namespace tarnwick {

bool isComposed(const QString& text) {
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfc = unorm2_getNFCInstance(&status);
    if (U_FAILURE(status)) return false;
    const auto length = static_cast<int32_t>(text.size());
    const int32_t composedPrefix = unorm2_spanQuickCheckYes(
        nfc, reinterpret_cast<const UChar*>(text.utf16()), length, &status);
    return U_SUCCESS(status) && composedPrefix == length;
}

QString decomposed(const QString& text) {
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfd = unorm2_getNFDInstance(&status);
    if (U_FAILURE(status)) return text;
    const auto* source = reinterpret_cast<const UChar*>(text.utf16());
    const auto length = static_cast<int32_t>(text.size());
    const int32_t normalPrefix = unorm2_spanQuickCheckYes(nfd, source, length, &status);
    if (U_FAILURE(status) || normalPrefix == length) return text;
    // Decomposition grows a text at most fourfold; ICU says so if it needs more.
    QString result(text.size() * 4 + 16, Qt::Uninitialized);
    int32_t written = unorm2_normalize(nfd, source, length, reinterpret_cast<UChar*>(result.data()),
                                       static_cast<int32_t>(result.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        status = U_ZERO_ERROR;
        result.resize(written);
        written = unorm2_normalize(nfd, source, length, reinterpret_cast<UChar*>(result.data()),
                                   written, &status);
    }
    if (U_FAILURE(status)) return text;
    result.resize(written);
    return result;
}

}  // namespace tarnwick
