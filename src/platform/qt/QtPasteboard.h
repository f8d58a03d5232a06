#pragma once

#include <QObject>
#include <functional>

#include "platform/Pasteboard.h"

class QClipboard;

namespace tarnwick {

// The clipboard through QClipboard (X11 CLIPBOARD selection, NSPasteboard on macOS).
class QtPasteboard final : public QObject, public Pasteboard {
    Q_OBJECT
public:
    QtPasteboard();

    void clearContents() override;
    bool setString(const QString& text) override;
    std::optional<QString> string() const override;
    std::uint64_t changeCount() const override;

    bool reportsChanges() const override;
    // Called on every change the platform reports (another owner, our writes).
    void setChangeListener(std::function<void()> listener) override {
        listener_ = std::move(listener);
    }

private:
    void noteChange();

    QClipboard* clipboard_;
    const bool reportsChanges_;
    std::uint64_t changeCount_ = 0;
    mutable std::uint64_t unreportedLooks_ = 0;
    std::function<void()> listener_;
};

}  // namespace tarnwick
