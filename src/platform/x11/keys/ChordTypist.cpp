// SPDX-License-Identifier: MIT
// Qt before Xlib, whose macros clash with Qt's names.
#include <QSocketNotifier>

#include "platform/x11/keys/ChordTypist.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <vector>

namespace tarnwick::x11 {

namespace {

bool isDown(const char (&keys)[32], KeyCode key) {
    return (keys[key / 8] & (1 << (key % 8))) != 0;
}

// Pressing or releasing a lock key would toggle its lock: never touch one.
bool isLockKey(Display* display, KeyCode key) {
    const KeySym sym = XkbKeycodeToKeysym(display, key, 0, 0);
    return sym == XK_Num_Lock || sym == XK_Caps_Lock || sym == XK_Shift_Lock ||
           sym == XK_Scroll_Lock;
}

std::vector<KeyCode> heldModifierKeys(Display* display, const XModifierKeymap& map,
                                      const char (&keys)[32]) {
    std::vector<KeyCode> held;
    for (int modifier = 0; modifier < 8; ++modifier) {
        if (modifier == LockMapIndex) continue;
        for (int i = 0; i < map.max_keypermod; ++i) {
            const KeyCode key = map.modifiermap[modifier * map.max_keypermod + i];
            if (key == 0 || !isDown(keys, key) || isLockKey(display, key)) continue;
            if (std::find(held.begin(), held.end(), key) == held.end()) held.push_back(key);
        }
    }
    return held;
}

// The first key of each modifier in mask, to press for the chord.
std::vector<KeyCode> chordModifierKeys(Display* display, const XModifierKeymap& map,
                                       unsigned mask) {
    std::vector<KeyCode> keys;
    for (int modifier = 0; modifier < 8; ++modifier) {
        if ((mask & (1u << modifier)) == 0 || modifier == LockMapIndex) continue;
        for (int i = 0; i < map.max_keypermod; ++i) {
            const KeyCode key = map.modifiermap[modifier * map.max_keypermod + i];
            if (key != 0 && !isLockKey(display, key)) {
                keys.push_back(key);
                break;
            }
        }
    }
    return keys;
}

}  // namespace

ChordTypist::ChordTypist() = default;
ChordTypist::~ChordTypist() = default;

bool ChordTypist::open() {
    display_.reset(XOpenDisplay(nullptr));
    if (!display_) return false;
    events_ =
        std::make_unique<QSocketNotifier>(ConnectionNumber(display_.get()), QSocketNotifier::Read);
    QObject::connect(events_.get(), &QSocketNotifier::activated, [this] { dropEvents(); });
    int event = 0, error = 0, major = 0, minor = 0;
    return XTestQueryExtension(display_.get(), &event, &error, &major, &minor) != False;
}

void ChordTypist::type(KeyCode key, unsigned mask) {
    Display* display = display_.get();
    if (display == nullptr || key == 0) return;
    XModifierKeymap* map = XGetModifierMapping(display);
    if (map == nullptr) return;
    // The user's own key events (their releases of the hot key's modifiers)
    // must not fall between what is held now and the chord: one release of
    // Ctrl amid it would type a bare V, one after the query a stuck Ctrl.
    XGrabServer(display);
    char keys[32] = {};
    XQueryKeymap(display, keys);
    const std::vector<KeyCode> held = heldModifierKeys(display, *map, keys);
    const std::vector<KeyCode> chord = chordModifierKeys(display, *map, mask);
    XFreeModifiermap(map);

    // The user's own key may still be down (the V of a paste chord we took):
    // a press of a key that is down is not delivered as a fresh press.
    if (isDown(keys, key)) XTestFakeKeyEvent(display, key, False, CurrentTime);
    for (KeyCode k : held) XTestFakeKeyEvent(display, k, False, CurrentTime);
    for (KeyCode k : chord) XTestFakeKeyEvent(display, k, True, CurrentTime);
    XTestFakeKeyEvent(display, key, True, CurrentTime);
    XTestFakeKeyEvent(display, key, False, CurrentTime);
    for (auto k = chord.rbegin(); k != chord.rend(); ++k) {
        XTestFakeKeyEvent(display, *k, False, CurrentTime);
    }
    for (KeyCode k : held) XTestFakeKeyEvent(display, k, True, CurrentTime);
    XUngrabServer(display);
    XFlush(display);
    dropEvents();
}

void ChordTypist::dropEvents() {
    Display* display = display_.get();
    MappingChanges mapping;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MappingNotify) mapping.note(event.xmapping);
    }
    // Keeps XKeysymToKeycode right after a layout change.
    mapping.refresh();
}

}  // namespace tarnwick::x11
