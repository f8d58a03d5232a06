// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tarnwick {

// The general clipboard, plain text only. Writes are made on the main thread.
// Reads may have to wait for another program, which can hang, die mid-transfer
// or send megabytes: where they can, they run off the main thread (see
// readsOffMainThread()), and they always give up after about a second.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;

    // Main thread. Leaves the clipboard empty (the history has no entry left).
    virtual void clearContents() = 0;
    // Main thread. Replaces the contents with one plain text in one step, so
    // that other programs never find the clipboard without an owner in
    // between; false when the clipboard refused it.
    virtual bool setString(const QString& text) = 0;
    // The plain text on the clipboard, or none: empty, not plain text, a text
    // its owner marks secret (never to be recorded), a copy whose only
    // text-like form is a list of file URIs, or a read that failed or ran past
    // its deadline. Answered from what this program wrote while it owns the
    // clipboard. Called on the thread readsOffMainThread() names.
    virtual std::optional<QString> string() const = 0;
    // string() together with the change count its text belongs to: a change
    // made while the read ran is counted after it, so it is read again.
    struct Contents {
        std::uint64_t count = 0;
        std::optional<QString> text;
    };
    virtual Contents read() const {
        const std::uint64_t count = changeCount();
        return {count, string()};
    }
    // True: string() may wait for another program (up to its deadline) and is
    // called off the main thread only, by one thread at a time. False:
    // string() is quick and called on the main thread only.
    virtual bool readsOffMainThread() const { return false; }
    // Grows whenever the contents may have changed (another owner, this
    // program's writes), so an unchanged clipboard need not be read again.
    // Called on the main thread, and also on the reading thread where
    // readsOffMainThread() is true.
    virtual std::uint64_t changeCount() const = 0;

    // Whether changes made by other applications reach the change listener
    // reliably. Where they do not, every polling pass has to look.
    virtual bool reportsChanges() const { return false; }
    // Called on the main thread on every change the platform reports.
    virtual void setChangeListener(std::function<void()> listener) { (void)listener; }
    // Called on the main thread with a line for the status menu when reading
    // becomes impossible (macOS: the user denied it), and with an empty line
    // when it works again.
    virtual void setNoticeListener(std::function<void(const std::string&)> listener) {
        (void)listener;
    }
};

}  // namespace tarnwick
