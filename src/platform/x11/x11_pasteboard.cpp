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

// Set once the key tap's connection reports every owner change: Qt's own
// change notices would then count each change a second time, possibly after a
// read of it, which would make that read look stale.
std::atomic<bool> ownerChangesWatched{false};

}  // namespace

void x11::noteClipboardOwner(unsigned long owner) {
    ownerChangesWatched = true;
    if (X11Pasteboard* pasteboard = thePasteboard.load()) pasteboard->noteOwnerChange(owner);
}

std::unique_ptr<Pasteboard> makePasteboard() {
    return std::make_unique<X11Pasteboard>();
}

X11Pasteboard::X11Pasteboard() : clipboard_(QGuiApplication::clipboard()) {
    connect(clipboard_, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard) noteChange();
    });
    // Every window Qt creates carries its connection's resource id base: that
    // tells our own ownership of the selection from another program's.
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr) {
        const xcb_setup_t* setup = xcb_get_setup(connection);
        ownIdBase_ = setup->resource_id_base;
        ownIdMask_ = setup->resource_id_mask;
    }
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
    if (owner != 0 && ownIdMask_ != 0 && (owner & ~ownIdMask_) == ownIdBase_) return;
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
    // Counted already where the key tap's connection reported it.
    if (ownerChangesWatched) return;
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
