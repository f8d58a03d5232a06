// Another application that copies: takes the CLIPBOARD selection with a new
// distinct text at a steady rate (50 per second by default), holding every
// hundredth text longer, and serves the text to whoever asks, as any X
// application would. When it is done it prints, for each copy, the text and
// how long it really held the clipboard (until its next copy, or until
// another client took the selection). Each longer hold is announced on
// standard output as it begins ("hold N").
//
//   stress_copier DISPLAY COUNT [GAP_MS] [HOLD_EVERY] [HOLD_MS] [SEED]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <sys/select.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

double monotonicSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Copy {
    std::string text;
    double owned = 0;
    double lost = 0;  // 0 while still held
};

struct Atoms {
    Atom clipboard, targets, utf8, textPlain, text;
};

class Owner {
public:
    explicit Owner(Display* display) : display_(display) {
        atoms_ = {XInternAtom(display, "CLIPBOARD", False), XInternAtom(display, "TARGETS", False),
                  XInternAtom(display, "UTF8_STRING", False),
                  XInternAtom(display, "text/plain;charset=utf-8", False),
                  XInternAtom(display, "TEXT", False)};
        // Two windows taking turns, so every copy changes the owner window.
        for (Window& window : windows_)
            window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    }

    // Takes the selection for a new text; false when the server refused it.
    bool copy(Copy& copy) {
        const double now = monotonicSeconds();
        if (current_ != nullptr && current_->lost == 0) current_->lost = now;
        turn_ ^= 1;
        XSetSelectionOwner(display_, atoms_.clipboard, windows_[turn_], CurrentTime);
        const bool owns = XGetSelectionOwner(display_, atoms_.clipboard) == windows_[turn_];
        copy.owned = monotonicSeconds();
        if (!owns) copy.lost = copy.owned;
        current_ = &copy;
        return owns;
    }

    // Answers requests until the deadline.
    void serveUntil(double deadline) {
        const int fd = ConnectionNumber(display_);
        for (;;) {
            while (XPending(display_) > 0) {
                XEvent event;
                XNextEvent(display_, &event);
                handle(event);
            }
            const double left = deadline - monotonicSeconds();
            if (left <= 0) return;
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(fd, &readable);
            timeval wait{static_cast<long>(left),
                         static_cast<long>((left - static_cast<long>(left)) * 1e6)};
            select(fd + 1, &readable, nullptr, nullptr, &wait);
        }
    }

    void finish() {
        if (current_ != nullptr && current_->lost == 0) current_->lost = monotonicSeconds();
    }

private:
    void handle(const XEvent& event) {
        if (event.type == SelectionClear && current_ != nullptr &&
            event.xselectionclear.window == windows_[turn_] && current_->lost == 0) {
            current_->lost = monotonicSeconds();
        } else if (event.type == SelectionRequest) {
            answer(event.xselectionrequest);
        }
    }

    void answer(const XSelectionRequestEvent& request) {
        XSelectionEvent reply{};
        reply.type = SelectionNotify;
        reply.display = request.display;
        reply.requestor = request.requestor;
        reply.selection = request.selection;
        reply.target = request.target;
        reply.time = request.time;
        reply.property = None;
        const Atom property = request.property != None ? request.property : request.target;
        const bool held =
            current_ != nullptr && current_->lost == 0 && request.owner == windows_[turn_];
        if (held && request.target == atoms_.targets) {
            const Atom offered[] = {atoms_.targets, atoms_.utf8, atoms_.textPlain, XA_STRING,
                                    atoms_.text};
            XChangeProperty(display_, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(offered), 5);
            reply.property = property;
        } else if (held && (request.target == atoms_.utf8 || request.target == atoms_.textPlain ||
                            request.target == XA_STRING || request.target == atoms_.text)) {
            const std::string& text = current_->text;
            XChangeProperty(display_, request.requestor, property,
                            request.target == atoms_.text ? atoms_.utf8 : request.target, 8,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(text.data()),
                            static_cast<int>(text.size()));
            reply.property = property;
        }
        XSendEvent(display_, request.requestor, False, NoEventMask,
                   reinterpret_cast<XEvent*>(&reply));
        XFlush(display_);
    }

    Display* display_;
    Atoms atoms_{};
    Window windows_[2]{};
    int turn_ = 0;
    Copy* current_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s DISPLAY COUNT [GAP_MS] [HOLD_EVERY] [HOLD_MS] [SEED]\n",
                     argv[0]);
        return 2;
    }
    const int count = std::atoi(argv[2]);
    const double gap = (argc > 3 ? std::atof(argv[3]) : 20) / 1000;
    const int holdEvery = argc > 4 ? std::atoi(argv[4]) : 100;
    const double hold = (argc > 5 ? std::atof(argv[5]) : 700) / 1000;
    std::mt19937 random(argc > 6 ? static_cast<unsigned>(std::atoi(argv[6])) : 1u);

    Display* display = XOpenDisplay(argv[1]);
    if (display == nullptr) {
        std::fprintf(stderr, "cannot open display %s\n", argv[1]);
        return 1;
    }
    std::vector<Copy> copies(static_cast<std::size_t>(count));
    Owner owner(display);
    double next = monotonicSeconds();
    for (int i = 0; i < count; ++i) {
        Copy& copy = copies[static_cast<std::size_t>(i)];
        copy.text = "stress copy " + std::to_string(i) + " " + std::to_string(random());
        owner.copy(copy);
        const bool longHold = holdEvery > 0 && (i + 1) % holdEvery == 0;
        if (longHold) {
            // Announced at once, so that the other side can keep its hands off.
            std::printf("hold %d\n", i);
            std::fflush(stdout);
        }
        next += longHold || i + 1 == count ? hold : gap;
        owner.serveUntil(next);
    }
    owner.finish();
    for (const Copy& copy : copies)
        std::printf("copy %.6f %s\n", copy.lost - copy.owned, copy.text.c_str());
    std::fflush(stdout);
    XCloseDisplay(display);
    return 0;
}
