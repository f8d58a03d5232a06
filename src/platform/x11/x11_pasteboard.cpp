#include "platform/x11/x11_pasteboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/Platform.h"
#include "platform/x11/x11_selection_reader.h"

namespace tarnwick {

namespace {

// How long a read waits for a sign of life from the clipboard's owner.
constexpr std::chrono::milliseconds readPatience{1000};

}  // namespace

std::unique_ptr<Pasteboard> makePasteboard() {
    return std::make_unique<X11Pasteboard>();
}

X11Pasteboard::X11Pasteboard() : clipboard_(QGuiApplication::clipboard()) {
    connect(clipboard_, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard) noteChange();
    });
}

void X11Pasteboard::noteChange() {
    if (!clipboard_->ownsClipboard()) {
        std::lock_guard lock(ownMutex_);
        own_ = false;
        ownText_.reset();
    }
    ++changeCount_;
    if (listener_) listener_();
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
