#pragma once

#include <memory>
#include <optional>
#include <string>

#include "harness/Desktop.h"
#include "harness/Process.h"

namespace tarnwick::e2e {

class XvfbSession;

// The "Paste Target" window: a plain text editor that records its whole text
// after every change, so a test can see what a paste delivered.
class PasteTarget {
public:
    explicit PasteTarget(const XvfbSession& session);
    ~PasteTarget();
    PasteTarget(const PasteTarget&) = delete;
    PasteTarget& operator=(const PasteTarget&) = delete;

    // Waits for the window and gives it the keyboard focus.
    bool ready(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Gives it the keyboard focus again (after another window took it).
    bool focus();
    // The editor's whole text as last recorded.
    std::string text() const;
    // Waits until the editor holds exactly expected.
    bool waitForText(const std::string& expected,
                     std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

    std::optional<WindowId> window() const { return window_; }
    Process& process() { return *process_; }

private:
    Desktop desktop_;
    std::string path_;
    std::unique_ptr<Process> process_;
    std::optional<WindowId> window_;
};

}  // namespace tarnwick::e2e
