// A clipboard owner that misbehaves on purpose, as real programs do:
//   fault_owner hang            owns CLIPBOARD and never answers a request
//   fault_owner die-mid-incr    starts a large INCR transfer, sends one chunk, then exits
//   fault_owner secret TEXT     offers TEXT with x-kde-passwordManagerHint = secret
//   fault_owner uri-list URI    offers nothing but text/uri-list
// Prints "asked TARGET" for each request; runs until another program takes
// the selection.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr std::size_t chunkSize = 4096;

struct Owner {
    Display* display;
    std::string mode, data;
    Atom atom(const char* name) { return XInternAtom(display, name, False); }
    Atom clipboard = atom("CLIPBOARD"), targets = atom("TARGETS"), incr = atom("INCR"),
         utf8 = atom("UTF8_STRING"), uriList = atom("text/uri-list"),
         hint = atom("x-kde-passwordManagerHint");
    // The INCR transfer under way: requestor and property.
    Window incrTo = 0;
    Atom incrProperty = None;

    std::vector<Atom> offered() {
        if (mode == "uri-list") return {targets, uriList};
        if (mode == "secret") return {targets, utf8, hint};
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
        const std::vector<Atom> offer = offered();
        if (request.target == targets) {
            put(request.requestor, request.property, XA_ATOM, offer.data(), offer.size());
        } else if (request.target == hint && mode == "secret") {
            put(request.requestor, request.property, hint, "secret", 6);
        } else if (std::find(offer.begin(), offer.end(), request.target) == offer.end()) {
            notify(request, None);
            return;
        } else if (mode == "die-mid-incr") {
            // Start an INCR transfer: the requestor deletes the property for each chunk.
            XSelectInput(display, request.requestor, PropertyChangeMask);
            const long size = static_cast<long>(data.size());
            put(request.requestor, request.property, incr, &size, 1);
            incrTo = request.requestor;
            incrProperty = request.property;
        } else {
            put(request.requestor, request.property, request.target, data.data(), data.size());
        }
        notify(request, request.property);
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    Display* display = XOpenDisplay(nullptr);
    if (argc < 2 || display == nullptr) return 2;
    Owner owner{display, argv[1], argc > 2 ? argv[2] : std::string(chunkSize * 3, 'x')};
    const Window window =
        XCreateSimpleWindow(owner.display, DefaultRootWindow(owner.display), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(owner.display, owner.clipboard, window, CurrentTime);
    if (XGetSelectionOwner(owner.display, owner.clipboard) != window) return 1;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each line as it is printed
    for (;;) {
        XEvent event;
        XNextEvent(owner.display, &event);
        if (event.type == SelectionRequest) owner.answer(event.xselectionrequest);
        if (event.type == SelectionClear) return 0;
        if (event.type == PropertyNotify && event.xproperty.state == PropertyDelete &&
            event.xproperty.window == owner.incrTo && event.xproperty.atom == owner.incrProperty) {
            // The first chunk, then a crash in the middle of the transfer.
            owner.put(owner.incrTo, owner.incrProperty, owner.utf8, owner.data.data(), chunkSize);
            XFlush(owner.display);
            std::_Exit(3);
        }
    }
}
