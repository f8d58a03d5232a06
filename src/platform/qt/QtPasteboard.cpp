#include "platform/qt/QtPasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/Platform.h"

namespace tarnwick {

QtPasteboard::QtPasteboard()
    : clipboard_(QGuiApplication::clipboard()), reportsChanges_(clipboardReportsChanges()) {
    connect(clipboard_, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard) noteChange();
    });
}

bool QtPasteboard::reportsChanges() const {
    return reportsChanges_;
}

std::uint64_t QtPasteboard::changeCount() const {
    // Where other owners' changes go unreported (macOS, with the application
    // in the background), no count can be trusted: every look reads afresh.
    if (!reportsChanges_) return ++unreportedLooks_;
    return changeCount_;
}

void QtPasteboard::noteChange() {
    ++changeCount_;
    if (listener_) listener_();
}

void QtPasteboard::clearContents() {
    clipboard_->clear(QClipboard::Clipboard);
    ++changeCount_;
}

bool QtPasteboard::setString(const QString& text) {
    clipboard_->setText(text, QClipboard::Clipboard);
    ++changeCount_;
    // Qt reports no result; owning the selection afterwards is the success.
    return clipboard_->ownsClipboard() || !clipboard_->supportsSelection();
}

std::optional<QString> QtPasteboard::string() const {
    const QMimeData* data = clipboard_->mimeData(QClipboard::Clipboard);
    if (data == nullptr || !data->hasText()) return std::nullopt;
    return data->text();
}

}  // namespace tarnwick
