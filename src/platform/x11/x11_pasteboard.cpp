#include "platform/x11/x11_pasteboard.h"

#include <xcb/xcb.h>

#include <QClipboard>
#include <QGuiApplication>

#include "platform/Platform.h"
#include "platform/x11/x11_clipboard_owner.h"
#include "platform/x11/x11_selection_reader.h"

namespace tarnwick {

namespace {

// How long a read waits for a sign of life from the clipboard's owner.
constexpr std::chrono::milliseconds readPatience{1000};

std::atomic<X11Pasteboard*> thePasteboard{nullptr};

// The window that owns CLIPBOARD, asked on Qt's own connection (xcb is
// thread-safe), so it is the owner Qt has just set.
unsigned long clipboardOwner() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) return 0;
    const xcb_intern_atom_cookie_t atomCookie = xcb_intern_atom(connection, 1, 9, "CLIPBOARD");
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(connection, atomCookie, nullptr);
    if (atom == nullptr) return 0;
    const xcb_get_selection_owner_cookie_t ownerCookie =
        xcb_get_selection_owner(connection, atom->atom);
    free(atom);
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(connection, ownerCookie, nullptr);
    if (owner == nullptr) return 0;
    const unsigned long window = owner->owner;
    free(owner);
    return window;
}

}  // namespace

void x11::noteClipboardOwner(unsigned long owner) {
    if (X11Pasteboard* pasteboard = thePasteboard.load()) pasteboard->noteOwnerChange(owner);
}

std::unique_ptr<Pasteboard> makePasteboard() {
    return std::make_unique<X11Pasteboard>();
}

X11Pasteboard::X11Pasteboard() : clipboard_(QGuiApplication::clipboard()) {
    connect(clipboard_, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard) noteChange();
    });
    thePasteboard = this;
}

X11Pasteboard::~X11Pasteboard() {
    thePasteboard = nullptr;
}

void X11Pasteboard::setChangeListener(std::function<void()> listener) {
    std::lock_guard lock(listenerMutex_);
    listener_ = std::move(listener);
}

void X11Pasteboard::tellListener() {
    std::lock_guard lock(listenerMutex_);
    if (listener_) listener_();
}

void X11Pasteboard::noteOwnerChange(unsigned long owner) {
    // Our own writes are counted where they are made.
    if (owner != 0 && owner == ownWindow_.load()) return;
    {
        std::lock_guard lock(ownMutex_);
        own_ = false;
        ownText_.reset();
    }
    ++changeCount_;
    tellListener();
}

void X11Pasteboard::noteChange() {
    if (!clipboard_->ownsClipboard()) {
        std::lock_guard lock(ownMutex_);
        own_ = false;
        ownText_.reset();
    }
    ++changeCount_;
    tellListener();
}

void X11Pasteboard::clearContents() {
    clipboard_->clear(QClipboard::Clipboard);
    {
        // Nobody owns it now: no text, and no need to ask.
        std::lock_guard lock(ownMutex_);
        own_ = true;
        ownText_.reset();
    }
    ++changeCount_;
}

bool X11Pasteboard::setString(const QString& text) {
    // Qt takes the selection over from its own earlier text in one step: the
    // clipboard is never without an owner in between.
    clipboard_->setText(text, QClipboard::Clipboard);
    const bool owned = clipboard_->ownsClipboard();
    if (owned && ownWindow_.load() == 0) ownWindow_ = clipboardOwner();
    {
        std::lock_guard lock(ownMutex_);
        own_ = owned;
        ownText_ = owned ? std::optional<QString>(text) : std::nullopt;
    }
    ++changeCount_;
    return owned;
}

std::optional<QString> X11Pasteboard::string() const {
    {
        std::lock_guard lock(ownMutex_);
        if (own_) return ownText_;
    }
    std::lock_guard lock(readMutex_);
    return x11::readClipboardText(readPatience);
}

}  // namespace tarnwick
