// Hot-key paste through the real binary: texts copied by another application
// (xclip), the command toggle switched on by opening Settings from the tray,
// keys pressed with xdotool, and what the focused application received.
#include <gtest/gtest.h>

#include <string>

#include "harness/Clipboard.h"
#include "harness/Desktop.h"
#include "harness/PasteTarget.h"
#include "harness/TarnwickApp.h"
#include "harness/Wait.h"
#include "harness/XvfbSession.h"

// After the harness and gtest: Xlib's macros (None, Bool, Status) clash with them.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <sstream>
#include <utility>
#include <vector>

namespace tarnwick::e2e {
namespace {

// A bare X window that records the key presses it receives, to see exactly
// which chord an application got (the paste target only shows text).
class KeyRecorder {
public:
    explicit KeyRecorder(const std::string& displayName)
        : display_(XOpenDisplay(displayName.c_str())) {
        if (display_ == nullptr) return;
        window_ =
            XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 200, 100, 0, 0, 0);
        XSelectInput(display_, window_, KeyPressMask | StructureNotifyMask);
        XMapWindow(display_, window_);
    }
    ~KeyRecorder() {
        if (display_ != nullptr) XCloseDisplay(display_);
    }
    KeyRecorder(const KeyRecorder&) = delete;
    KeyRecorder& operator=(const KeyRecorder&) = delete;

    // Waits until the window is shown, then takes the keyboard focus.
    bool focus() {
        if (display_ == nullptr || !waitUntil([&] { return pump(), mapped_; }, 5s)) return false;
        XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
        XSync(display_, False);
        return true;
    }

    // Holds key + Ctrl on the whole screen, as a program with a global
    // shortcut does (Num Lock and Caps Lock variants included).
    bool grabWithCtrl(const char* keyName) {
        const KeyCode key = XKeysymToKeycode(display_, XStringToKeysym(keyName));
        for (unsigned lock : {0u, 0u + LockMask, 0u + Mod2Mask, 0u + (LockMask | Mod2Mask)}) {
            XGrabKey(display_, key, ControlMask | lock, DefaultRootWindow(display_), False,
                     GrabModeAsync, GrabModeAsync);
        }
        XSync(display_, False);
        return true;
    }

    bool waitForPress(const char* keyName) {
        return waitUntil([&] { return pump(), !pressesOf(keyName).empty(); }, 5s);
    }

    // The modifier states (locks left out) of every press of that key so far.
    std::vector<unsigned> pressesOf(const char* keyName) {
        pump();
        const KeyCode key = XKeysymToKeycode(display_, XStringToKeysym(keyName));
        std::vector<unsigned> states;
        for (const auto& [code, state] : presses_) {
            if (code == key) states.push_back(state & ~(LockMask | Mod2Mask));
        }
        return states;
    }

    // Shift, Ctrl, Alt and Super as the server holds them now.
    unsigned heldModifiers() const {
        Window root = 0, child = 0;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned mask = 0;
        XQueryPointer(display_, window_, &root, &child, &rootX, &rootY, &x, &y, &mask);
        return mask & (ShiftMask | ControlMask | Mod1Mask | Mod4Mask);
    }

    std::string describe() {
        pump();
        std::ostringstream text;
        text << "presses (keycode/state):";
        for (const auto& [code, state] : presses_)
            text << " " << code << "/0x" << std::hex << state;
        return text.str();
    }

private:
    void pump() {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == MapNotify) mapped_ = true;
            if (event.type == KeyPress) presses_.emplace_back(event.xkey.keycode, event.xkey.state);
        }
    }

    Display* display_;
    Window window_ = 0;
    bool mapped_ = false;
    std::vector<std::pair<unsigned, unsigned>> presses_;
};

class HotKeyPaste : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(x.ok()) << x.error();
        ASSERT_TRUE(app.waitForStatusIcon()) << app.process().standardOutput();
        // Opening the window the first time switches the ctrl toggle on.
        ASSERT_TRUE(app.chooseFromStatusMenu("Settings"));
        ASSERT_TRUE(app.waitForWindow());
        ASSERT_TRUE(target.ready());
    }

    // Copies text in another application and presses ctrl+1 at once: the
    // target receiving it shows that Tarnwick holds it as the newest entry.
    void copyAndConfirm(const std::string& text) {
        ASSERT_TRUE(clipboard.copyText(text));
        pressAndExpect("ctrl+1", text);
    }

    // Presses chord in the target and waits until exactly pasted arrives.
    void pressAndExpect(const std::string& chord, const std::string& pasted) {
        const std::string before = target.text();
        ASSERT_TRUE(desktop.key(chord));
        ASSERT_TRUE(target.waitForText(before + pasted))
            << chord << " gave \"" << target.text() << "\" after \"" << before << "\""
            << app.process().standardError();
    }

    bool clipboardBecomes(const std::string& text) {
        return waitUntil([&] { return clipboard.text() == text; }, 3s);
    }

    XvfbSession x{{.tray = true}};
    TarnwickApp app{x};
    Clipboard clipboard{x};
    PasteTarget target{x};
    Desktop desktop{x};
};

TEST_F(HotKeyPaste, PastesTheNthMostRecentTextAndThenRestoresEntryZero) {
    for (const char* text : {"alpha", "beta", "gamma"}) copyAndConfirm(text);
    ASSERT_TRUE(clipboardBecomes("gamma"));

    pressAndExpect("ctrl+3", "alpha");
    EXPECT_EQ(clipboard.text(), "alpha") << "the pasted entry must be on the clipboard at once";
    EXPECT_TRUE(clipboardBecomes("gamma")) << "entry 0 must come back";

    // The paste left the history as it was.
    pressAndExpect("ctrl+1", "gamma");
    pressAndExpect("ctrl+2", "beta");
    pressAndExpect("ctrl+3", "alpha");
    EXPECT_EQ(app.process().standardOutput(), "");
}

TEST_F(HotKeyPaste, WorksWithNumLockOn) {
    copyAndConfirm("one");
    copyAndConfirm("two");
    ASSERT_TRUE(desktop.key("Num_Lock"));
    pressAndExpect("ctrl+2", "one");
    pressAndExpect("ctrl+v", "two");
    ASSERT_TRUE(desktop.key("Num_Lock"));
}

TEST_F(HotKeyPaste, AFreshCopyPressedAtOnceIsPastedAndKept) {
    copyAndConfirm("older");
    ASSERT_TRUE(clipboard.copyText("fresh"));
    pressAndExpect("ctrl+1", "fresh");
    EXPECT_TRUE(clipboardBecomes("fresh"));
    pressAndExpect("ctrl+2", "older");
    pressAndExpect("ctrl+1", "fresh");
}

TEST_F(HotKeyPaste, AnImageOnTheClipboardSurvivesAPlainPaste) {
    copyAndConfirm("text");
    ASSERT_TRUE(clipboard.copy(std::string("\x89PNG\r\n\x1a\n", 8) + "image bytes", "image/png"));
    const unsigned long owner = x.x().selectionOwner("CLIPBOARD");
    ASSERT_TRUE(desktop.key("ctrl+v"));
    // A key typed after it has gone all the way through once it arrives; a
    // rewrite of the clipboard would have been made on the way.
    pressAndExpect("k", "k");
    EXPECT_EQ(target.text(), "textk") << "nothing may be pasted in place of the image";
    EXPECT_EQ(x.x().selectionOwner("CLIPBOARD"), owner);
    const CommandResult targets =
        x.run({"xclip", "-selection", "clipboard", "-t", "TARGETS", "-o"});
    EXPECT_NE(targets.output.find("image/png"), std::string::npos) << targets.output;
}

TEST_F(HotKeyPaste, HeldSuperStillGivesExactlyThePasteChordAndNothingStaysDown) {
    copyAndConfirm("first");
    copyAndConfirm("second");
    KeyRecorder recorder(x.display());
    ASSERT_TRUE(recorder.focus());
    ASSERT_TRUE(desktop.keyDown("super"));
    ASSERT_TRUE(desktop.key("ctrl+2"));
    ASSERT_TRUE(desktop.keyUp("super"));
    ASSERT_TRUE(recorder.waitForPress("v")) << recorder.describe();
    EXPECT_EQ(recorder.pressesOf("v"), std::vector<unsigned>{ControlMask}) << recorder.describe();
    EXPECT_TRUE(recorder.pressesOf("2").empty()) << "the hot key itself must be taken";
    EXPECT_TRUE(waitUntil([&] { return recorder.heldModifiers() == 0; }, 2s))
        << "held modifier mask " << recorder.heldModifiers();
    EXPECT_TRUE(clipboardBecomes("second"));
}

TEST_F(HotKeyPaste, ADigitBeyondTheHistoryReachesTheApplicationUnchanged) {
    copyAndConfirm("only");
    KeyRecorder recorder(x.display());
    ASSERT_TRUE(recorder.focus());
    ASSERT_TRUE(desktop.key("ctrl+9"));
    ASSERT_TRUE(recorder.waitForPress("9")) << recorder.describe();
    EXPECT_EQ(recorder.pressesOf("9"), std::vector<unsigned>{ControlMask});
    EXPECT_TRUE(recorder.pressesOf("v").empty()) << recorder.describe();
    EXPECT_EQ(clipboard.text(), "only");
}

TEST(HotKeyGrabConflict, AChordAnotherProgramHoldsIsReportedAndTheRestStillWork) {
    XvfbSession x({.tray = true});
    ASSERT_TRUE(x.ok()) << x.error();
    KeyRecorder other(x.display());
    ASSERT_TRUE(other.grabWithCtrl("4"));
    TarnwickApp app(x);
    Clipboard clipboard(x);
    Desktop desktop(x);
    ASSERT_TRUE(app.waitForStatusIcon());
    ASSERT_TRUE(app.chooseFromStatusMenu("Settings"));  // ctrl on: the digits are grabbed
    ASSERT_TRUE(app.waitForWindow());
    const std::string report = "Another program holds ctrl+4";
    ASSERT_TRUE(waitUntil(
        [&] { return app.process().standardOutput().find(report) != std::string::npos; }, 5s))
        << app.process().standardOutput();

    PasteTarget target(x);
    ASSERT_TRUE(target.ready());
    ASSERT_TRUE(clipboard.copyText("one"));
    ASSERT_TRUE(desktop.key("ctrl+1"));
    ASSERT_TRUE(target.waitForText("one"));
    ASSERT_TRUE(desktop.key("ctrl+4"));
    EXPECT_TRUE(other.waitForPress("4")) << "the other program keeps its chord";
}

}  // namespace
}  // namespace tarnwick::e2e
