// SPDX-License-Identifier: MIT
// A clipboard owner that misbehaves on purpose, as real programs do: fault_owner MODE [TEXT]
//   hang: never answers                 die-mid-incr: exits after an INCR transfer's first chunk
//   trickle: INCR, 1 byte per 0.9 s     endless: INCR, 64 KB chunks as fast as taken
//   incr: TEXT by INCR in 4 KB chunks   secret: TEXT with x-kde-passwordManagerHint = SECRET
//   uri-list: only text/uri-list        slow: answers each request 0.7 s late
//   compound: only COMPOUND_TEXT        latin1: offers UTF8_STRING and STRING, refuses the first
//   wide: 32-bit items                  stray: notifies of another property before each answer
//   grab KEYCODE: holds Ctrl + KEYCODE, as a desktop shortcut does
//   relay N: copies relay-1 .. relay-N, each 50 ms after the last was read
//   steady N MS: copies steady-1 .. steady-N, one every MS ms
// Any other mode offers TEXT plainly. Prints "owns" once it owns the clipboard and "asked
// TARGET" for each request; runs until another program takes the clipboard.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr std::size_t chunkSize = 4096;
using Clock = std::chrono::steady_clock;

struct Owner {
    Display* display;
    std::string mode, data;
    Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    Atom atom(const char* name) { return XInternAtom(display, name, False); }
    Atom clipboard = atom("CLIPBOARD"), targets = atom("TARGETS"), incr = atom("INCR"),
         utf8 = atom("UTF8_STRING"), uriList = atom("text/uri-list"),
         hint = atom("x-kde-passwordManagerHint"), compound = atom("COMPOUND_TEXT");
    Window incrTo = 0;  // the requestor of the INCR transfer under way, and its property
    Atom incrProperty = None;
    std::size_t sent = 0;      // incr: how much of data went out
    int copies = 0, last = 1;  // relay and steady: the copy on offer, and how many
    Clock::time_point next = Clock::time_point::max();

    bool take() {
        if (mode == "relay" || mode == "steady") data = mode + "-" + std::to_string(++copies);
        XSetSelectionOwner(display, clipboard, window, CurrentTime);
        XFlush(display);
        return XGetSelectionOwner(display, clipboard) == window;
    }

    std::vector<Atom> offered() {
        if (mode == "uri-list") return {targets, uriList};
        if (mode == "secret") return {targets, utf8, hint};
        if (mode == "compound") return {targets, compound};
        if (mode == "latin1") return {targets, utf8, XA_STRING};
        return {targets, utf8};
    }

    void notify(const XSelectionRequestEvent& request, Atom property) {
        XEvent reply{.xselection = {SelectionNotify, 0, False, display, request.requestor,
                                    request.selection, request.target, property, request.time}};
        XSendEvent(display, request.requestor, False, 0, &reply);
        XFlush(display);
    }

    // Bytes, or longs (atoms, sizes) in X's 32-bit format.
    template <typename Item>
    void put(Window to, Atom property, Atom type, const Item* items, std::size_t count) {
        XChangeProperty(display, to, property, type, sizeof(Item) == 1 ? 8 : 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(items), static_cast<int>(count));
    }

    void answer(const XSelectionRequestEvent& request) {
        char* name = XGetAtomName(display, request.target);
        std::printf("asked %s\n", name != nullptr ? name : "?");
        if (name != nullptr) XFree(name);
        if (mode == "hang") return;
        if (mode == "slow") usleep(700000);
        if (mode == "stray") notify(request, atom("STRAY"));
        const std::vector<Atom> offer = offered();
        const bool incremental =
            mode == "die-mid-incr" || mode == "trickle" || mode == "endless" || mode == "incr";
        if (request.target == targets) {
            put(request.requestor, request.property, XA_ATOM, offer.data(), offer.size());
        } else if (request.target == hint && mode == "secret") {
            put(request.requestor, request.property, hint, "SECRET", 6);
        } else if (std::find(offer.begin(), offer.end(), request.target) == offer.end() ||
                   (mode == "latin1" && request.target == utf8)) {
            notify(request, None);
            return;
        } else if (incremental) {
            // Start an INCR transfer: the requestor deletes the property for each chunk.
            XSelectInput(display, request.requestor, PropertyChangeMask);
            const long size = static_cast<long>(data.size());
            put(request.requestor, request.property, incr, &size, 1);
            incrTo = request.requestor;
            incrProperty = request.property;
            sent = 0;
        } else if (mode == "compound" || mode == "latin1") {
            // Xlib converts from UTF-8; STRING is Latin-1.
            char* list[] = {data.data()};
            XTextProperty text{};
            Xutf8TextListToTextProperty(
                display, list, 1, mode == "compound" ? XCompoundTextStyle : XStringStyle, &text);
            put(request.requestor, request.property, text.encoding, text.value, text.nitems);
            XFree(text.value);
        } else if (mode == "wide") {
            const std::vector<long> items(data.begin(), data.end());
            put(request.requestor, request.property, request.target, items.data(), items.size());
        } else {
            put(request.requestor, request.property, request.target, data.data(), data.size());
            // The next copy follows this one's read.
            if (mode == "relay" && copies < last)
                next = Clock::now() + std::chrono::milliseconds(50);
        }
        notify(request, request.property);
    }

    void sendChunk() {
        // incr: the next piece of data, and an empty one to end; the others never end.
        std::string chunk(mode == "trickle" ? 1 : mode == "endless" ? 65536 : chunkSize, 'x');
        if (mode == "incr") chunk = data.substr(std::min(sent, data.size()), chunkSize);
        if (mode == "trickle") usleep(900000);
        sent += chunk.size();
        put(incrTo, incrProperty, utf8, chunk.data(), chunk.size());
        XFlush(display);
        if (mode == "incr" && chunk.empty()) incrTo = 0;
        if (mode == "die-mid-incr") std::_Exit(3);  // a crash in the middle of the transfer
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    Display* display = XOpenDisplay(nullptr);
    if (argc < 2 || display == nullptr) return 2;
    Owner owner{display, argv[1], argc > 2 ? argv[2] : std::string(chunkSize * 3, 'x')};
    const std::chrono::milliseconds every{owner.mode == "steady" ? std::stoi(argv[3]) : 0};
    if (owner.mode == "relay" || owner.mode == "steady") owner.last = std::stoi(owner.data);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each line as it is printed
    if (owner.mode == "grab") {
        XGrabKey(display, std::stoi(owner.data), ControlMask, DefaultRootWindow(display), True,
                 GrabModeAsync, GrabModeAsync);
    }
    if (!owner.take()) return 1;
    std::printf("owns\n");
    if (every.count() > 0) owner.next = Clock::now() + every;
    for (;;) {
        while (XPending(display) == 0) {
            const auto wait =
                std::chrono::duration_cast<std::chrono::milliseconds>(owner.next - Clock::now());
            pollfd socket{ConnectionNumber(display), POLLIN, 0};
            if (owner.next != Clock::time_point::max() && wait.count() <= 0) {
                owner.next = every.count() > 0 && owner.copies + 1 < owner.last
                                 ? owner.next + every
                                 : Clock::time_point::max();
                owner.take();
                continue;
            }
            poll(&socket, 1, owner.next == Clock::time_point::max() ? -1 : int(wait.count()) + 1);
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == SelectionRequest) owner.answer(event.xselectionrequest);
        if (event.type == SelectionClear && event.xselectionclear.window == owner.window) {
            // Our own next copy takes it over again; anyone else's ends us.
            if (XGetSelectionOwner(display, owner.clipboard) != owner.window) return 0;
        }
        if (event.type == PropertyNotify && event.xproperty.state == PropertyDelete &&
            event.xproperty.window == owner.incrTo && event.xproperty.atom == owner.incrProperty) {
            owner.sendChunk();
        }
    }
}
