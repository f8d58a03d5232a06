// SPDX-License-Identifier: MIT
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <thread>

#include "platform/KeyTap.h"
#include "platform/MainThread.h"
#include "platform/TapRouting.h"
#include "platform/x11/clipboard/ClipboardOwner.h"
#include "platform/x11/keys/KeyTable.h"
#include "platform/x11/keys/ChordTypist.h"
#include "platform/x11/display/Xlib.h"
#include "platform/x11/X11Platform.h"

namespace tarnwick {

namespace {

std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The hot-key filter on X11. A passively grabbed key freezes the whole
// keyboard until the grabbing client answers, so the decision is made on a
// thread of its own, over a connection of its own, from the filter's lock-free
// snapshot; the paste itself (clipboard, then the chord) runs on the main
// thread, which owns the clipboard.
class X11KeyTap final : public KeyTap {
public:
    explicit X11KeyTap(MainThread& mainThread) : mainThread_(mainThread) {}
    ~X11KeyTap() override;

    bool create(std::unique_ptr<KeyFilter> filter) override;
    void enable() override;
    bool isEnabled() const override { return thread_.joinable(); }
    bool pasteEntry(int index) override;
    std::string failureMessage() const override {
        return "Failed to create the event tap. This program must be run with root privilage "
               "using the 'sudo' command in order to filter and modify key press events before "
               "the operating system passes them to other applications.";
    }

private:
    void run();
    void onKeyPress(const XKeyEvent& press);
    void onMappingChanged();
    void applyGrabs();
    void reportRefused(const std::vector<x11::Chord>& refused);
    bool takeOwnChord(KeyCode key);
    void wake();
    void watchClipboardOwner();

    void pasteOnMainThread(const KeyDecision& decision, const x11::Chord& typed,
                           std::uint64_t press);
    void typeOwnChord(KeyCode key, unsigned modifiers);

    std::unique_ptr<KeyFilter> filter_;
    x11::DisplayHandle display_;  // the grabs; used by the filter thread only
    x11::ChordTypist typist_;     // the main thread's chords
    std::optional<x11::KeyTable> keys_;
    x11::ModifierLayout layout_;
    // Typed by the main thread, re-derived by the filter thread.
    std::atomic<KeyCode> pasteKey_{0};
    MainThread& mainThread_;
    // Cleared at destruction, so that a paste still queued finds no tap.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

    int wakePipe_[2] = {-1, -1};
    std::atomic<bool> stopping_{false};
    // Key presses the filter thread consumed so far, to tell which paste came last.
    std::atomic<std::uint64_t> consumedPresses_{0};
    std::atomic<bool> regrab_{true};
    std::thread thread_;

    // Our own chords come back through our own grabs looking exactly like the
    // user's: count them per key so that they are passed on untouched. A count
    // whose chord never arrived (a key another program holds) goes stale.
    std::array<std::atomic<int>, 256> ownChords_{};
    std::array<std::atomic<std::int64_t>, 256> ownChordSince_{};

    std::set<std::string> reported_;  // filter thread only
    int fixesEventBase_ = -1;         // clipboard owner changes, when XFixes exists
};

X11KeyTap::~X11KeyTap() {
    *alive_ = false;
    if (filter_) filter_->setTogglesChangedListener({});
    stopping_ = true;
    wake();
    if (thread_.joinable()) thread_.join();
    for (int fd : wakePipe_) {
        if (fd >= 0) close(fd);
    }
}

bool X11KeyTap::create(std::unique_ptr<KeyFilter> filter) {
    display_.reset(XOpenDisplay(nullptr));
    if (!display_) return false;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_.get(), &event, &error, &major, &minor)) return false;
    if (!typist_.open()) return false;
    if (pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) return false;

    watchClipboardOwner();
    keys_.emplace(display_.get());
    layout_ = x11::readModifierLayout(display_.get());
    pasteKey_ = keys_->xKeyCode(keycode::V);
    filter_ = std::move(filter);
    filter_->setTogglesChangedListener([this] {
        regrab_ = true;
        wake();
    });
    return true;
}

void X11KeyTap::watchClipboardOwner() {
    // On this connection a copy is reported before any key pressed after it,
    // so a hot key right after a copy is never decided from an older history.
    Display* display = display_.get();
    int error = 0;
    if (!XFixesQueryExtension(display, &fixesEventBase_, &error)) {
        fixesEventBase_ = -1;
        return;
    }
    XFixesSelectSelectionInput(
        display, DefaultRootWindow(display), XInternAtom(display, "CLIPBOARD", False),
        XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask |
            XFixesSelectionClientCloseNotifyMask);
}

void X11KeyTap::enable() {
    if (!filter_ || thread_.joinable()) return;
    thread_ = std::thread([this] { run(); });
}

void X11KeyTap::wake() {
    if (wakePipe_[1] < 0) return;
    const char byte = 1;
    [[maybe_unused]] const auto written = write(wakePipe_[1], &byte, 1);
}

void X11KeyTap::run() {
    Display* display = display_.get();
    pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
    while (!stopping_) {
        if (regrab_.exchange(false)) applyGrabs();
        // Xlib may already hold events read during a round trip: drain its
        // queue before waiting on the socket. A burst of keyboard-mapping
        // changes is looked at once, after the last of them.
        x11::MappingChanges mapping;
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == KeyPress) {
                if (mapping.refresh()) onMappingChanged();
                onKeyPress(event.xkey);
            }
            if (event.type == MappingNotify) mapping.note(event.xmapping);
            if (fixesEventBase_ >= 0 && event.type == fixesEventBase_ + XFixesSelectionNotify) {
                x11::noteClipboardOwner(
                    reinterpret_cast<const XFixesSelectionNotifyEvent&>(event).owner);
            }
        }
        if (mapping.refresh()) onMappingChanged();
        // The refresh's round trips may have queued more events, a grabbed key
        // press among them: waiting on the socket then would leave the whole
        // keyboard frozen until some other event came.
        if (stopping_ || regrab_ || XQLength(display) > 0) continue;
        poll(fds, 2, -1);
        if ((fds[1].revents & POLLIN) != 0) {
            char drain[64];
            while (read(wakePipe_[0], drain, sizeof drain) > 0) {
            }
        }
    }
}

void X11KeyTap::onKeyPress(const XKeyEvent& press) {
    Display* display = display_.get();
    const auto key = static_cast<KeyCode>(press.keycode);
    TapInput input;
    input.kind = takeOwnChord(key) ? TapInput::Kind::ownKey : TapInput::Kind::key;
    input.event = {KeyEvent::Type::keyDown, keys_->filterKeyCode(key),
                   x11::flagsFromState(press.state)};
    const TapRoute route = routeTapEvent(*filter_, input);
    if (route.action != TapRoute::Action::consume) {
        XAllowEvents(display, ReplayKeyboard, press.time);
        XFlush(display);
        return;
    }
    // Consume the key. The keyboard grab must end as well, or the chord typed
    // next would come back to this client while the digit is still down; and
    // the typist's connection must find it ended, hence the round trip.
    XAllowEvents(display, AsyncKeyboard, press.time);
    XUngrabKeyboard(display, CurrentTime);
    XSync(display, False);
    const x11::Chord typed{key, press.state & layout_.chordBits()};
    const auto pressed = std::chrono::steady_clock::now();
    const std::uint64_t count = ++consumedPresses_;
    mainThread_.post([this, alive = alive_, decision = route.decision, typed, pressed, count] {
        // A paste the main thread gets to only after half a second would land
        // after whatever the user typed since: it is dropped instead.
        if (std::chrono::steady_clock::now() - pressed > std::chrono::milliseconds(500)) return;
        if (*alive) pasteOnMainThread(decision, typed, count);
    });
}

void X11KeyTap::onMappingChanged() {
    // Tools that type arbitrary text remap spare keys all the time: grab
    // again only when a key the filter knows has moved.
    x11::KeyTable keys(display_.get());
    const x11::ModifierLayout layout = x11::readModifierLayout(display_.get());
    if (keys == *keys_ && layout.numLockMask == layout_.numLockMask) return;
    keys_ = keys;
    layout_ = layout;
    // The paste chord moves with the layout (V is another key on Dvorak).
    pasteKey_ = keys_->xKeyCode(keycode::V);
    regrab_ = true;
}

bool X11KeyTap::takeOwnChord(KeyCode key) {
    std::atomic<int>& count = ownChords_[key];
    int pending = count.load();
    if (pending == 0) return false;
    if (nowMs() - ownChordSince_[key].load() > 1000) {
        count.compare_exchange_strong(pending, 0);
        return false;
    }
    count.fetch_sub(1);
    return true;
}

void X11KeyTap::pasteOnMainThread(const KeyDecision& decision, const x11::Chord& typed,
                                  std::uint64_t press) {
    const Replacement replacement = carryOutConsumedKey(*filter_, decision);
    // A hot key pressed while this one waited for a copy's read comes after
    // it: its paste is the one the user wants, and this chord would land
    // after that key.
    if (press != consumedPresses_.load()) return;
    if (replacement == Replacement::pasteChord) {
        typeOwnChord(pasteKey_, x11::commandMask);
        return;
    }
    // The snapshot raced the main thread (or the clipboard refused the entry):
    // the key press was already taken, so type the user's own chord instead.
    typeOwnChord(typed.key, typed.modifiers);
}

bool X11KeyTap::pasteEntry(int index) {
    const KeyDecision decision{KeyDecision::Action::paste, index, false};
    if (!filter_ || carryOutConsumedKey(*filter_, decision) != Replacement::pasteChord) {
        return false;
    }
    typeOwnChord(pasteKey_, x11::commandMask);
    return true;
}

void X11KeyTap::typeOwnChord(KeyCode key, unsigned modifiers) {
    ownChordSince_[key].store(nowMs());
    ownChords_[key].fetch_add(1);
    typist_.type(key, modifiers);
}

void X11KeyTap::applyGrabs() {
    Display* display = display_.get();
    const Window root = DefaultRootWindow(display);
    const std::vector<x11::Chord> chords = x11::chordsToGrab(*keys_, layout_, filter_->hotChords());
    std::vector<unsigned long> serials;  // the request of each chord's first variant
    std::vector<x11::Chord> refused;
    {
        x11::ErrorTrap trap(display);
        XUngrabKey(display, AnyKey, AnyModifier, root);
        for (const x11::Chord& chord : chords) {
            serials.push_back(NextRequest(display));
            for (unsigned lock : layout_.lockVariants()) {
                XGrabKey(display, chord.key, chord.modifiers | lock, root, False, GrabModeAsync,
                         GrabModeSync);
            }
        }
        std::set<std::size_t> failed;
        for (const XErrorEvent& error : trap.sync()) {
            if (error.error_code != BadAccess) continue;
            const auto at = std::upper_bound(serials.begin(), serials.end(), error.serial);
            if (at != serials.begin())
                failed.insert(static_cast<std::size_t>(at - serials.begin() - 1));
        }
        for (std::size_t index : failed) refused.push_back(chords[index]);
    }
    reportRefused(refused);
}

void X11KeyTap::reportRefused(const std::vector<x11::Chord>& refused) {
    // Name the simplest refused chord of each key, once for the whole run.
    std::map<KeyCode, std::vector<x11::Chord>> byKey;
    for (const x11::Chord& chord : refused) byKey[chord.key].push_back(chord);
    for (auto& [key, chords] : byKey) {
        std::sort(chords.begin(), chords.end(), [](const auto& a, const auto& b) {
            return std::popcount(a.modifiers) < std::popcount(b.modifiers);
        });
        const std::string name = x11::chordName(*keys_, chords.front());
        if (!reported_.insert(name).second) continue;
        std::printf("Another program holds %s", name.c_str());
        if (chords.size() > 1) std::printf(" (and %zu more chords of that key)", chords.size() - 1);
        std::printf("; Tarnwick leaves it to that program.\n");
        std::fflush(stdout);
    }
}

}  // namespace

std::unique_ptr<KeyTap> x11::makeKeyTap(MainThread& mainThread) {
    return std::make_unique<X11KeyTap>(mainThread);
}

}  // namespace tarnwick
