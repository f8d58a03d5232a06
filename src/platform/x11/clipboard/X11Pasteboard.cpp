// SPDX-License-Identifier: MIT
#include "platform/x11/clipboard/X11Pasteboard.h"

#include <xcb/xcb.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>

#include "platform/Platform.h"
#include "platform/x11/clipboard/ClipboardOwner.h"
#include "platform/x11/X11Platform.h"
#include "platform/x11/clipboard/SelectionReader.h"

namespace tarnwick {

namespace {

// A read ends this long after it began, whatever the owner still sends...
constexpr std::chrono::milliseconds readDeadline{1000};
// ...or once it has brought this much: a text past it is no copy to keep.
constexpr std::size_t readSizeCap = std::size_t{256} << 20;

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

std::unique_ptr<Pasteboard> x11::makePasteboard() {
    return std::make_unique<X11Pasteboard>();
}

X11Pasteboard::X11Pasteboard()
    : clipboard_(QGuiApplication::clipboard()),
      reader_(std::make_unique<x11::SelectionReader>(readDeadline, readSizeCap)) {
    // Taken after the event at hand. The end-to-end tests hold it back longer:
    // a hot key right after a copy must not depend on the main thread having
    // heard of the copy.
    const int lateBy = qEnvironmentVariableIntValue("TARNWICK_TEST_LATE_CHANGE_NOTICE_MS");
    connect(clipboard_, &QClipboard::changed, this, [this, lateBy](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard)
            QTimer::singleShot(lateBy, this, [this] { noteChange(); });
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
        ++changeCount_;
    }
    tellListener();
}

void X11Pasteboard::noteChange() {
    {
        std::lock_guard lock(ownMutex_);
        if (!clipboard_->ownsClipboard()) {
            own_ = false;
            ownText_.reset();
        }
        // Counted already where the key tap's connection reported it.
        if (ownerChangesWatched) return;
        ++changeCount_;
    }
    tellListener();
}

void X11Pasteboard::clearContents() {
    clipboard_->clear(QClipboard::Clipboard);
    // Nobody owns it now: no text, and no need to ask. Counted under the lock,
    // so that a read labels what it finds with the right change.
    std::lock_guard lock(ownMutex_);
    own_ = true;
    ownText_.reset();
    ++changeCount_;
}

bool X11Pasteboard::setString(const QString& text) {
    // Qt takes the selection over from its own earlier text in one step: the
    // clipboard is never without an owner in between.
    clipboard_->setText(text, QClipboard::Clipboard);
    const bool owned = clipboard_->ownsClipboard();
    std::lock_guard lock(ownMutex_);
    own_ = owned;
    ownText_ = owned ? std::optional<QString>(text) : std::nullopt;
    ++changeCount_;
    return owned;
}

Pasteboard::Contents X11Pasteboard::read() const {
    std::uint64_t count = 0;
    {
        std::lock_guard lock(ownMutex_);
        count = changeCount_.load();
        if (own_) return {count, ownText_};
    }
    // Labelled with the count from before the request: whatever a change
    // during the read brings in is counted after it and read again.
    std::lock_guard lock(readMutex_);
    return {count, reader_->plainText()};
}

}  // namespace tarnwick
