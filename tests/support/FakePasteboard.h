#pragma once

#include <QStringList>

#include "platform/Pasteboard.h"

namespace tarnwick::test {

// An in-memory clipboard that records what it was asked to do.
class FakePasteboard final : public Pasteboard {
public:
    explicit FakePasteboard(bool reportsOtherOwners = true) : reporting(reportsOtherOwners) {}

    void clearContents() override {
        text_.reset();
        ++changes_;
        ++clears;
    }
    bool setString(const QString& text) override {
        writes.append(text);
        ++changes_;
        if (refuseWrites) return false;
        text_ = text;
        return true;
    }
    std::optional<QString> string() const override {
        ++reads;
        return text_;
    }
    std::uint64_t changeCount() const override { return changes_; }
    bool reportsChanges() const override { return reporting; }
    void setChangeListener(std::function<void()> listener) override {
        listener_ = std::move(listener);
    }

    // Another application takes the clipboard (none = non-text content).
    void copyFromOtherApp(std::optional<QString> text) {
        text_ = std::move(text);
        ++changes_;
        if (reporting && listener_) listener_();
    }

    bool refuseWrites = false;
    bool reporting = true;  // false: a platform whose other owners go unreported
    QStringList writes;
    int clears = 0;
    mutable int reads = 0;

private:
    std::optional<QString> text_;
    std::uint64_t changes_ = 0;
    std::function<void()> listener_;
};

}  // namespace tarnwick::test
