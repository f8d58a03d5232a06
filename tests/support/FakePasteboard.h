#pragma once

#include <QStringList>

#include "platform/Pasteboard.h"

namespace tarnwick::test {

// An in-memory clipboard that records what it was asked to do.
class FakePasteboard final : public Pasteboard {
public:
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

    // Another application takes the clipboard (none = non-text content).
    void copyFromOtherApp(std::optional<QString> text) {
        text_ = std::move(text);
        ++changes_;
    }

    bool refuseWrites = false;
    QStringList writes;
    int clears = 0;
    mutable int reads = 0;

private:
    std::optional<QString> text_;
    std::uint64_t changes_ = 0;
};

}  // namespace tarnwick::test
