// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "harness/Process.h"
#include "harness/XConnection.h"

namespace tarnwick::e2e {

// A private X server (Xvfb on a free display), optionally with trayer as the
// system tray that holds status icons. Everything it started ends with it.
//
//   XvfbSession x({.tray = true});
//   ASSERT_TRUE(x.ok()) << x.error();
//   auto app = x.start({"/path/to/program"});
class XvfbSession {
public:
    struct Options {
        bool tray = false;  // start trayer and wait until it owns the tray
        int width = 1280;
        int height = 1024;
    };

    explicit XvfbSession(Options options);
    XvfbSession() : XvfbSession(Options{}) {}
    ~XvfbSession();
    XvfbSession(const XvfbSession&) = delete;
    XvfbSession& operator=(const XvfbSession&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    // ":N", for DISPLAY.
    const std::string& display() const { return display_; }
    bool hasTray() const { return tray_ != nullptr; }

    // Starts a program on this display (DISPLAY set, plus extra changes).
    std::unique_ptr<Process> start(
        std::vector<std::string> argv,
        std::map<std::string, std::optional<std::string>> env = {}) const;
    // Runs a command on this display to its end.
    CommandResult run(std::vector<std::string> argv,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

    const XConnection& x() const { return *connection_; }

    // What Xvfb itself printed, for failure messages.
    std::string serverLog() const { return server_ ? server_->standardError() : std::string(); }

private:
    bool startServer(const Options& options);
    bool startTray();

    std::unique_ptr<Process> server_;
    std::unique_ptr<Process> tray_;
    std::unique_ptr<XConnection> connection_;
    std::string display_;
    std::string runtimeDir_;
    std::string error_;
};

}  // namespace tarnwick::e2e
