// SPDX-License-Identifier: MIT
#include "platform/LetterKeys.h"

#include <algorithm>

namespace tarnwick {

namespace {

bool isDigitKey(int code) {
    return std::find(keycode::digits.begin(), keycode::digits.end(), code) != keycode::digits.end();
}

// The key that types letter (either case), preferring its ANSI key so that
// a layout with two such keys keeps the familiar one.
int keyTyping(const CommandLayer& layer, char32_t letter, int ansi) {
    const auto types = [&](int code) {
        const char32_t typed = layer(code);
        return typed == letter || typed == letter - U'a' + U'A';
    };
    if (types(ansi)) return ansi;
    for (int code = 0; code < 128; ++code) {
        if (!isDigitKey(code) && types(code)) return code;
    }
    return ansi;
}

}  // namespace

int LetterKeys::physical(int vocabularyCode) const {
    switch (vocabularyCode) {
        case keycode::V:
            return v;
        case keycode::X:
            return x;
        case keycode::C:
            return c;
        default:
            return vocabularyCode;
    }
}

int LetterKeys::vocabulary(int physicalCode) const {
    if (physicalCode == v) return keycode::V;
    if (physicalCode == x) return keycode::X;
    if (physicalCode == c) return keycode::C;
    if (physicalCode == keycode::V || physicalCode == keycode::X || physicalCode == keycode::C)
        return keycode::none;
    return physicalCode;
}

LetterKeys findLetterKeys(const CommandLayer& layer) {
    if (!layer) return {};
    return {keyTyping(layer, U'v', keycode::V), keyTyping(layer, U'x', keycode::X),
            keyTyping(layer, U'c', keycode::C)};
}

}  // namespace tarnwick
