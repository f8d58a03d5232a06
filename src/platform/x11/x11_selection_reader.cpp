#include "platform/x11/x11_selection_reader.h"

#include <QByteArray>

// Xlib's macros clash with Qt's names: include it after Qt.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

#include "platform/x11/x11_keytap_xlib.h"

namespace tarnwick::x11 {

namespace {

using Clock = std::chrono::steady_clock;

enum AtomName {
    clipboard,
    targets,
    incr,
    utf8String,
    textPlainUtf8,
    textPlain,
    secretHint,
    landing,
    atomCount
};

// One read of the selection: an unmapped window of our own receives the data.
class Transfer {
public:
    Transfer(Display* display, std::chrono::milliseconds patience);
    ~Transfer() { XDestroyWindow(display_, window_); }
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    std::optional<QString> plainText();

private:
    std::optional<QByteArray> convert(Atom target, Atom& type);
    std::optional<QByteArray> takeProperty(Atom& type);
    std::optional<QByteArray> takeIncrementally();
    bool waitFor(const std::function<bool(const XEvent&)>& wanted);

    Display* display_;
    const std::chrono::milliseconds patience_;
    Window window_;
    std::array<Atom, atomCount> atoms_{};
    Clock::time_point lastSign_;
};

Transfer::Transfer(Display* display, std::chrono::milliseconds patience)
    : display_(display), patience_(patience) {
    const Window root = DefaultRootWindow(display_);
    window_ = XCreateSimpleWindow(display_, root, 0, 0, 1, 1, 0, 0, 0);
    // INCR chunks are announced as property changes on this window.
    XSelectInput(display_, window_, PropertyChangeMask);
    const char* names[atomCount] = {"CLIPBOARD",
                                    "TARGETS",
                                    "INCR",
                                    "UTF8_STRING",
                                    "text/plain;charset=utf-8",
                                    "text/plain",
                                    "x-kde-passwordManagerHint",
                                    "TARNWICK_SELECTION"};
    XInternAtoms(display_, const_cast<char**>(names), atomCount, False, atoms_.data());
}

bool Transfer::waitFor(const std::function<bool(const XEvent&)>& wanted) {
    for (;;) {
        // Everything else that arrives on this connection is read and dropped.
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (wanted(event)) return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            lastSign_ + patience_ - Clock::now());
        if (left.count() <= 0) return false;
        pollfd socket{ConnectionNumber(display_), POLLIN, 0};
        poll(&socket, 1, static_cast<int>(left.count()) + 1);
    }
}

std::optional<QByteArray> Transfer::takeProperty(Atom& type) {
    int format = 0;
    unsigned long items = 0, remaining = 0;
    unsigned char* data = nullptr;
    const int status =
        XGetWindowProperty(display_, window_, atoms_[landing], 0, 0x1fffffff, True, AnyPropertyType,
                           &type, &format, &items, &remaining, &data);
    if (status != Success || type == None) {
        if (data != nullptr) XFree(data);
        return std::nullopt;
    }
    // Xlib hands 32-bit items over as longs.
    const std::size_t unit = format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(items * unit));
    XFree(data);
    return bytes;
}

std::optional<QByteArray> Transfer::takeIncrementally() {
    // Deleting the INCR property (done by takeProperty) asks for the first
    // chunk; each chunk is deleted in turn until an empty one ends it.
    QByteArray whole;
    for (;;) {
        const bool arrived = waitFor([this](const XEvent& event) {
            return event.type == PropertyNotify && event.xproperty.window == window_ &&
                   event.xproperty.atom == atoms_[landing] &&
                   event.xproperty.state == PropertyNewValue;
        });
        if (!arrived) return std::nullopt;
        lastSign_ = Clock::now();
        Atom type = None;
        const std::optional<QByteArray> chunk = takeProperty(type);
        if (!chunk) return std::nullopt;
        if (chunk->isEmpty()) return whole;
        whole += *chunk;
    }
}

std::optional<QByteArray> Transfer::convert(Atom target, Atom& type) {
    XDeleteProperty(display_, window_, atoms_[landing]);
    XConvertSelection(display_, atoms_[clipboard], target, atoms_[landing], window_, CurrentTime);
    XFlush(display_);
    lastSign_ = Clock::now();
    XSelectionEvent answer{};
    const bool answered = waitFor([this, &answer](const XEvent& event) {
        if (event.type != SelectionNotify || event.xselection.requestor != window_) return false;
        answer = event.xselection;
        return true;
    });
    if (!answered || answer.property == None) return std::nullopt;
    lastSign_ = Clock::now();
    std::optional<QByteArray> data = takeProperty(type);
    if (data && type == atoms_[incr]) return takeIncrementally();
    return data;
}

std::optional<QString> Transfer::plainText() {
    if (XGetSelectionOwner(display_, atoms_[clipboard]) == None) return std::nullopt;
    Atom type = None;
    const std::optional<QByteArray> list = convert(atoms_[targets], type);
    if (!list) return std::nullopt;
    const auto* first = reinterpret_cast<const unsigned long*>(list->constData());
    const std::vector<Atom> offered(first, first + list->size() / sizeof(unsigned long));
    const auto offers = [&offered](Atom atom) {
        return std::find(offered.begin(), offered.end(), atom) != offered.end();
    };
    if (offers(atoms_[secretHint])) {
        // A hint that cannot be read counts as secret: a password is never recorded.
        const std::optional<QByteArray> hint = convert(atoms_[secretHint], type);
        if (!hint || hint->trimmed() == "secret") return std::nullopt;
    }
    // Only these are plain text: a copy offering nothing but text/uri-list
    // (files from a file manager) has none.
    Atom target = None;
    for (Atom candidate :
         {atoms_[utf8String], atoms_[textPlainUtf8], Atom(XA_STRING), atoms_[textPlain]}) {
        if (offers(candidate)) {
            target = candidate;
            break;
        }
    }
    if (target == None) return std::nullopt;
    const std::optional<QByteArray> data = convert(target, type);
    if (!data || data->isEmpty()) return std::nullopt;
    return target == XA_STRING ? QString::fromLatin1(*data) : QString::fromUtf8(*data);
}

}  // namespace

std::optional<QString> readClipboardText(std::chrono::milliseconds patience) {
    const DisplayHandle display(XOpenDisplay(nullptr));
    if (!display) return std::nullopt;
    Transfer transfer(display.get(), patience);
    return transfer.plainText();
}

}  // namespace tarnwick::x11
