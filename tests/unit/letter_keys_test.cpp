// SPDX-License-Identifier: MIT
#include "platform/LetterKeys.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

using namespace tarnwick;

namespace {

using Layout = std::map<int, char32_t>;  // key code -> what it types with command

// The keys that matter, with the ANSI places of V (9), X (7), C (8), B (11),
// I (34) and period (47); digits are places and never searched.
const Layout qwerty{{7, U'x'}, {8, U'c'}, {9, U'v'}, {11, U'b'}, {34, U'i'}, {47, U'.'}};
const Layout dvorak{{7, U'q'}, {8, U'j'}, {9, U'k'}, {11, U'x'}, {34, U'c'}, {47, U'v'}};
// No V or C; X on the place of the digit 1 (18) and, in capitals, on key 40.
const Layout oddX{{7, U'q'}, {18, U'x'}, {40, U'X'}};

CommandLayer layerOf(const Layout& layout) {
    return [&layout](int code) {
        const auto found = layout.find(code);
        return found == layout.end() ? char32_t{0} : found->second;
    };
}

TEST(LetterKeys, FoundInTheCommandLayerWithTheAnsiPlacesAsFallback) {
    // "Dvorak - QWERTY Command" types QWERTY with command: that is the layer given.
    const std::tuple<const char*, CommandLayer, LetterKeys> table[] = {
        {"QWERTY", layerOf(qwerty), {9, 7, 8}},
        {"Dvorak", layerOf(dvorak), {47, 11, 34}},
        {"Dvorak - QWERTY Command", layerOf(qwerty), {9, 7, 8}},
        {"no layout data", CommandLayer{}, {9, 7, 8}},
        {"V and C missing, X odd", layerOf(oddX), {9, 40, 8}}};
    for (const auto& [name, layer, expected] : table) {
        EXPECT_EQ(findLetterKeys(layer), expected) << name;
    }
}

TEST(LetterKeys, TranslateBothWaysAndSilenceTheAnsiPlacesOfMovedLetters) {
    const LetterKeys keys = findLetterKeys(layerOf(dvorak));
    const std::pair<int, int> vocabularyToKey[] = {
        {keycode::V, 47}, {keycode::X, 11}, {keycode::C, 34}, {keycode::digits[0], 18}, {0, 0}};
    for (const auto& [vocabulary, key] : vocabularyToKey) {
        EXPECT_EQ(keys.physical(vocabulary), key) << vocabulary;
        EXPECT_EQ(keys.vocabulary(key), vocabulary) << key;
    }
    for (const int kOrQOrJ : {9, 7, 8}) EXPECT_EQ(keys.vocabulary(kOrQOrJ), keycode::none);
}

}  // namespace
