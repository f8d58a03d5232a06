// SPDX-License-Identifier: MIT
#include "platform/x11/keys/KeyTable.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include "platform/KeyEvent.h"

namespace tarnwick::x11 {

namespace {

struct KnownKey {
    int filterKeyCode;
    KeySym sym;
    const char* name;
};

// The digits in index order (the filter's codes from keycode::digits), then V
// and X.
constexpr std::array<KnownKey, 12> knownKeys{{
    {keycode::digits[0], XK_1, "1"},
    {keycode::digits[1], XK_2, "2"},
    {keycode::digits[2], XK_3, "3"},
    {keycode::digits[3], XK_4, "4"},
    {keycode::digits[4], XK_5, "5"},
    {keycode::digits[5], XK_6, "6"},
    {keycode::digits[6], XK_7, "7"},
    {keycode::digits[7], XK_8, "8"},
    {keycode::digits[8], XK_9, "9"},
    {keycode::digits[9], XK_0, "0"},
    {keycode::V, XK_v, "v"},
    {keycode::X, XK_x, "x"},
}};

struct ModifierName {
    unsigned mask;
    const char* name;
};
constexpr std::array<ModifierName, 6> modifierNames{{
    {ControlMask, "ctrl"},
    {Mod4Mask, "super"},
    {Mod1Mask, "alt"},
    {ShiftMask, "shift"},
    {Mod3Mask, "mod3"},
    {Mod5Mask, "mod5"},
}};

// The X modifier masks of a set of event flags.
unsigned maskOfFlags(std::uint64_t flags) {
    return ((flags & eventflag::command) != 0 ? commandMask : 0u) |
           ((flags & eventflag::control) != 0 ? controlMask : 0u) |
           ((flags & eventflag::secondaryFn) != 0 ? fnMask : 0u);
}

}  // namespace

ModifierLayout readModifierLayout(Display* display) {
    ModifierLayout layout;
    const KeyCode numLock = XKeysymToKeycode(display, XK_Num_Lock);
    XModifierKeymap* map = XGetModifierMapping(display);
    if (map == nullptr || numLock == 0) return layout;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < map->max_keypermod; ++i) {
            if (map->modifiermap[modifier * map->max_keypermod + i] == numLock) {
                layout.numLockMask = 1u << modifier;
            }
        }
    }
    XFreeModifiermap(map);
    return layout;
}

std::uint64_t flagsFromState(unsigned state) {
    std::uint64_t flags = 0;
    if ((state & ShiftMask) != 0) flags |= eventflag::shift;
    if ((state & commandMask) != 0) flags |= eventflag::command;
    if ((state & controlMask) != 0) flags |= eventflag::control;
    if ((state & fnMask) != 0) flags |= eventflag::secondaryFn;
    return flags;
}

KeyTable::KeyTable(Display* display) {
    toFilter_.fill(-1);
    for (const KnownKey& key : knownKeys) {
        const KeyCode code = XKeysymToKeycode(display, key.sym);
        if (code != 0) toFilter_[code] = key.filterKeyCode;
    }
}

int KeyTable::filterKeyCode(unsigned xKeyCode) const {
    return xKeyCode < toFilter_.size() ? toFilter_[xKeyCode] : -1;
}

KeyCode KeyTable::xKeyCode(int filterKeyCode) const {
    for (std::size_t code = 0; code < toFilter_.size(); ++code) {
        if (toFilter_[code] == filterKeyCode) return static_cast<KeyCode>(code);
    }
    return 0;
}

std::string KeyTable::name(KeyCode xKeyCode) const {
    const int filterCode = filterKeyCode(xKeyCode);
    for (const KnownKey& key : knownKeys) {
        if (key.filterKeyCode == filterCode) return key.name;
    }
    return "key " + std::to_string(xKeyCode);
}

std::vector<Chord> chordsToGrab(const KeyTable& keys, ModifierLayout layout,
                                const std::vector<HotChord>& hot) {
    const unsigned bits = layout.chordBits();
    std::vector<Chord> chords;
    for (const HotChord& wanted : hot) {
        const KeyCode code = keys.xKeyCode(wanted.keyCode);
        if (code == 0) continue;
        const unsigned needed = maskOfFlags(wanted.anyOf);
        // Every subset of the chord bits, one at a time.
        for (unsigned set = bits;; set = (set - 1) & bits) {
            if ((set & needed) != 0) chords.push_back({code, set});
            if (set == 0) break;
        }
    }
    return chords;
}

std::string chordName(const KeyTable& keys, const Chord& chord) {
    std::string name;
    for (const ModifierName& modifier : modifierNames) {
        if ((chord.modifiers & modifier.mask) != 0) name += std::string(modifier.name) + "+";
    }
    return name + keys.name(chord.key);
}

}  // namespace tarnwick::x11
