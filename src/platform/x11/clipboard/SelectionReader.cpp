// SPDX-License-Identifier: MIT
#include "platform/x11/clipboard/SelectionReader.h"

#include <QByteArray>

// Xlib's macros clash with Qt's names: include it after Qt.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace tarnwick::x11 {

namespace {

using Clock = std::chrono::steady_clock;

enum AtomName {
    clipboard,
    targets,
    incr,
    utf8String,
    textPlainUtf8,
    compoundText,
    text,
    textPlain,
    secretHint,
    landingFirst,  // landingCount properties to receive answers on, in turn
    atomCount = landingFirst + 4
};
constexpr unsigned landingCount = atomCount - landingFirst;
static_assert(atomCount <= 16);

}  // namespace

// One read: its deadline, its landing property, and what it collected.
class SelectionReader::Read {
public:
    Read(SelectionReader& reader, Atom landing)
        : display_(reader.display_.get()),
          window_(reader.window_),
          atoms_(reader.atoms_),
          landing_(landing),
          cap_(reader.sizeCap_),
          patience_(reader.deadline_) {}

    std::optional<QString> plainText();
    // The transfer was left unfinished: the owner may still write to the window.
    bool abandoned = false;

private:
    std::optional<QByteArray> convert(Atom target, Atom& type);
    std::optional<QByteArray> takeProperty(Atom& type, int& format);
    std::optional<QByteArray> takeIncrementally(std::size_t announced);
    bool waitFor(const std::function<bool(const XEvent&)>& wanted);
    std::optional<QString> decode(const QByteArray& data, Atom type) const;

    Display* display_;
    Window window_;
    const std::array<unsigned long, 16>& atoms_;
    Atom landing_;
    std::size_t cap_;
    std::chrono::milliseconds patience_;
    Clock::time_point deadline_;
};

SelectionReader::SelectionReader(std::chrono::milliseconds deadline, std::size_t sizeCap)
    : deadline_(deadline), sizeCap_(sizeCap) {}

SelectionReader::~SelectionReader() = default;

bool SelectionReader::open() {
    if (display_ && window_ != 0) return true;
    if (!display_) {
        display_.reset(XOpenDisplay(nullptr));
        if (!display_) return false;
        const char* names[atomCount] = {"CLIPBOARD",
                                        "TARGETS",
                                        "INCR",
                                        "UTF8_STRING",
                                        "text/plain;charset=utf-8",
                                        "COMPOUND_TEXT",
                                        "TEXT",
                                        "text/plain",
                                        "x-kde-passwordManagerHint",
                                        "TARNWICK_SELECTION_0",
                                        "TARNWICK_SELECTION_1",
                                        "TARNWICK_SELECTION_2",
                                        "TARNWICK_SELECTION_3"};
        std::array<Atom, atomCount> atoms{};
        XInternAtoms(display_.get(), const_cast<char**>(names), atomCount, False, atoms.data());
        std::copy(atoms.begin(), atoms.end(), atoms_.begin());
    }
    Display* display = display_.get();
    window_ = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    // INCR chunks are announced as property changes on this window.
    XSelectInput(display, window_, PropertyChangeMask);
    return true;
}

std::optional<QString> SelectionReader::plainText() {
    if (!open()) return std::nullopt;
    // Each read lands on the next property in turn, so a late answer to a read
    // given up on is never taken for this one's.
    const Atom landing = atoms_[landingFirst + nextLanding_++ % landingCount];
    Read read(*this, landing);
    std::optional<QString> result = read.plainText();
    if (read.abandoned) {
        // An owner still sending chunks writes to a window that is gone and
        // stops; the next read gets a fresh one.
        XDestroyWindow(display_.get(), window_);
        XFlush(display_.get());
        window_ = 0;
    }
    return result;
}

bool SelectionReader::Read::waitFor(const std::function<bool(const XEvent&)>& wanted) {
    for (;;) {
        // Everything else that arrives on this connection is read and dropped.
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (wanted(event)) return true;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now());
        if (left.count() <= 0) return false;
        pollfd socket{ConnectionNumber(display_), POLLIN, 0};
        poll(&socket, 1, static_cast<int>(left.count()) + 1);
    }
}

std::optional<QByteArray> SelectionReader::Read::takeProperty(Atom& type, int& format) {
    unsigned long items = 0, remaining = 0;
    unsigned char* data = nullptr;
    // One item more than the cap allows tells an oversized property without
    // fetching all of it.
    const long limit = static_cast<long>(cap_ / 4 + 1);
    const int status =
        XGetWindowProperty(display_, window_, landing_, 0, limit, True, AnyPropertyType, &type,
                           &format, &items, &remaining, &data);
    if (status != Success || type == None || remaining > 0) {
        if (data != nullptr) XFree(data);
        if (remaining > 0) XDeleteProperty(display_, window_, landing_);
        return std::nullopt;
    }
    // Xlib hands 32-bit items over as longs.
    const std::size_t unit = format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(items * unit));
    XFree(data);
    return bytes;
}

std::optional<QByteArray> SelectionReader::Read::takeIncrementally(std::size_t announced) {
    // Deleting the INCR property (done by takeProperty) asks for the first
    // chunk; each chunk is deleted in turn until an empty one ends it.
    abandoned = true;
    if (announced > cap_) return std::nullopt;
    QByteArray whole;
    for (;;) {
        const bool arrived = waitFor([this](const XEvent& event) {
            return event.type == PropertyNotify && event.xproperty.window == window_ &&
                   event.xproperty.atom == landing_ && event.xproperty.state == PropertyNewValue;
        });
        if (!arrived) return std::nullopt;
        Atom type = None;
        int format = 0;
        const std::optional<QByteArray> chunk = takeProperty(type, format);
        if (!chunk || format != 8) return std::nullopt;
        if (chunk->isEmpty()) {
            abandoned = false;
            return whole;
        }
        if (static_cast<std::size_t>(whole.size() + chunk->size()) > cap_) return std::nullopt;
        whole += *chunk;
    }
}

std::optional<QByteArray> SelectionReader::Read::convert(Atom target, Atom& type) {
    // Each request has its deadline, whatever chunks arrive: a slow owner
    // still answers the two of a read, a trickling one ends with its time.
    deadline_ = Clock::now() + patience_;
    XDeleteProperty(display_, window_, landing_);
    XConvertSelection(display_, atoms_[clipboard], target, landing_, window_, CurrentTime);
    XFlush(display_);
    XSelectionEvent answer{};
    const bool answered = waitFor([this, target, &answer](const XEvent& event) {
        if (event.type != SelectionNotify || event.xselection.requestor != window_ ||
            event.xselection.target != target)
            return false;
        // A refusal names no property; an answer names ours.
        if (event.xselection.property != None && event.xselection.property != landing_)
            return false;
        answer = event.xselection;
        return true;
    });
    if (!answered) {
        abandoned = true;
        return std::nullopt;
    }
    if (answer.property == None) return std::nullopt;
    int format = 0;
    std::optional<QByteArray> data = takeProperty(type, format);
    if (data && type == atoms_[incr]) {
        const std::size_t announced =
            data->size() >= static_cast<qsizetype>(sizeof(long))
                ? static_cast<std::size_t>(*reinterpret_cast<const long*>(data->constData()))
                : 0;
        return takeIncrementally(announced);
    }
    // TARGETS comes as 32-bit atoms; text only as 8-bit data.
    if (data && format != (target == atoms_[targets] ? 32 : 8)) return std::nullopt;
    return data;
}

std::optional<QString> SelectionReader::Read::decode(const QByteArray& data, Atom type) const {
    if (type == XA_STRING) return QString::fromLatin1(data);
    if (type == atoms_[compoundText]) {
        XTextProperty property{
            reinterpret_cast<unsigned char*>(const_cast<char*>(data.constData())),
            static_cast<Atom>(atoms_[compoundText]), 8, static_cast<unsigned long>(data.size())};
        char** list = nullptr;
        int count = 0;
        if (Xutf8TextPropertyToTextList(display_, &property, &list, &count) < Success ||
            list == nullptr) {
            return std::nullopt;
        }
        QString result;
        for (int i = 0; i < count; ++i) result += QString::fromUtf8(list[i]);
        XFreeStringList(list);
        return result;
    }
    return QString::fromUtf8(data);
}

std::optional<QString> SelectionReader::Read::plainText() {
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
        if (!hint || hint->trimmed().toLower() == "secret") return std::nullopt;
    }
    // Only these are plain text: a copy offering nothing but text/uri-list
    // (files from a file manager) has none. An owner that refuses the form it
    // offers first may still give the next.
    for (Atom target : {atoms_[utf8String], atoms_[textPlainUtf8], atoms_[compoundText],
                        atoms_[text], Atom(XA_STRING), atoms_[textPlain]}) {
        if (!offers(target)) continue;
        const std::optional<QByteArray> data = convert(target, type);
        if (abandoned) return std::nullopt;
        if (!data) continue;
        if (data->isEmpty()) return std::nullopt;
        return decode(*data, type);
    }
    return std::nullopt;
}

}  // namespace tarnwick::x11
