#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace tarnwick {

// The general clipboard, plain text of its first item only. Every call is made
// on the main thread: QClipboard misbehaves badly when used from other threads.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;

    // Empties the clipboard; called before every write.
    virtual void clearContents() = 0;
    // Writes one plain text; false when the clipboard refused it.
    virtual bool setString(const QString& text) = 0;
    // The plain text on the clipboard, or none (empty, or not text).
    virtual std::optional<QString> string() const = 0;
    // Grows whenever the contents may have changed (another owner, our own
    // writes), so an unchanged clipboard need not be read again.
    virtual std::uint64_t changeCount() const = 0;

    // Whether changes made by other applications reach the change listener
    // reliably. Where they do not, every polling pass has to look.
    virtual bool reportsChanges() const { return false; }
    // Called on the main thread on every change the platform reports.
    virtual void setChangeListener(std::function<void()> listener) { (void)listener; }
};

}  // namespace tarnwick
