// SPDX-License-Identifier: MIT
// Hot-key paste latency on a private Xvfb: the real X11 key tap, filter and
// engine in-process on the xcb platform; another X client, the "user", holds
// Ctrl and presses 3 with XTest in its own focused window, and the clock runs
// until that window receives the paste chord (Ctrl+V). So each sample holds
// the whole road: the key reaching the grab, the decision on the filter
// thread, the clipboard write on the main thread, the chord typed with XTest
// and passed through the grab again.
//
//   hotkey_bench [--presses N]
// clang-format off
#include <QApplication>
#include <QMetaObject>
#include <QTimer>

#include "common/Stats.h"
#include "harness/XvfbSession.h"
#include "history/BufferChecker.h"
#include "hotkeys/HotKeyFilter.h"
#include "platform/KeyTap.h"
#include "platform/qt/QtMainThread.h"
#include "platform/Pasteboard.h"
#include "platform/Platform.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

// Last: Xlib's macros (Bool, Status, KeyPress) would break the Qt headers.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>
// clang-format on

namespace tarnwick::bench {
namespace {

constexpr int warmUp = 20;

double nowMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The user: a focused window of its own and the XTest keyboard.
class User {
public:
    explicit User(const std::string& displayName) : display_(XOpenDisplay(displayName.c_str())) {}
    ~User() {
        if (display_ != nullptr) XCloseDisplay(display_);
    }

    bool ready() {
        if (display_ == nullptr) return false;
        window_ =
            XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 100, 100, 0, 0, 0);
        XSelectInput(display_, window_, KeyPressMask | StructureNotifyMask);
        XMapWindow(display_, window_);
        for (XEvent event; XNextEvent(display_, &event), event.type != MapNotify;) {
        }
        XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
        ctrl_ = XKeysymToKeycode(display_, XK_Control_L);
        three_ = XKeysymToKeycode(display_, XK_3);
        v_ = XKeysymToKeycode(display_, XK_v);
        XSync(display_, False);
        return true;
    }

    // Milliseconds from pressing Ctrl+3 to receiving a V key press; negative
    // when none came within two seconds.
    double pressAndWaitForPaste() {
        XTestFakeKeyEvent(display_, ctrl_, True, CurrentTime);
        const double start = nowMs();
        XTestFakeKeyEvent(display_, three_, True, CurrentTime);
        XFlush(display_);
        double latency = -1;
        while (latency < 0 && nowMs() - start < 2000) {
            // A paste that never comes (dropped as late) must not hang the run.
            if (XPending(display_) == 0) {
                pollfd socket{ConnectionNumber(display_), POLLIN, 0};
                poll(&socket, 1, 50);
                continue;
            }
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == KeyPress && event.xkey.keycode == v_) latency = nowMs() - start;
        }
        XTestFakeKeyEvent(display_, three_, False, CurrentTime);
        XTestFakeKeyEvent(display_, ctrl_, False, CurrentTime);
        XSync(display_, False);
        return latency;
    }

private:
    Display* display_;
    Window window_ = 0;
    KeyCode ctrl_ = 0, three_ = 0, v_ = 0;
};

int run(const e2e::XvfbSession& x, int presses, int argc, char** argv) {
    setenv("DISPLAY", x.display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    const auto pasteboard = makePasteboard();
    QtMainThread mainThread;
    BufferChecker engine(*pasteboard, mainThread);
    engine.history().replaceAll({"gamma", "beta", "alpha"});

    auto filter = std::make_unique<HotKeyFilter>(engine);
    filter->setToggles({false, false, true});
    std::unique_ptr<KeyTap> tap = makeKeyTap(mainThread);
    if (!tap->create(std::move(filter))) {
        std::fprintf(stderr, "no key tap on %s\n", x.display().c_str());
        return 1;
    }
    tap->enable();
    engine.startPolling();

    std::vector<double> samples;
    int missed = 0;
    std::thread user([&] {
        User keyboard(x.display());
        if (keyboard.ready()) {
            for (int i = 0; i < warmUp + presses; ++i) {
                const double latency = keyboard.pressAndWaitForPaste();
                if (latency < 0) {
                    ++missed;
                } else if (i >= warmUp) {
                    samples.push_back(latency);
                }
            }
        }
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    user.join();
    printSummary("hotkey_paste_ms", samples);
    std::printf("hotkey_presses_missed %d\n", missed);
    engine.pauseUpdates();
    QCoreApplication::sendPostedEvents();
    return missed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace tarnwick::bench

int main(int argc, char** argv) {
    int presses = 1000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--presses") presses = std::atoi(argv[i + 1]);
    }
    tarnwick::e2e::XvfbSession x;
    if (!x.ok()) {
        std::fprintf(stderr, "%s\n", x.error().c_str());
        return 1;
    }
    return tarnwick::bench::run(x, presses, argc, argv);
}
