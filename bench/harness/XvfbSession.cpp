// SPDX-License-Identifier: MIT
#include "harness/XvfbSession.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "harness/Wait.h"

namespace tarnwick::e2e {

namespace {

// Reads the display number that Xvfb writes to its -displayfd once it accepts
// connections.
std::string readDisplayNumber(int fd, std::chrono::milliseconds timeout) {
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd wait{fd, POLLIN, 0};
        if (poll(&wait, 1, 50) <= 0) continue;
        char c = 0;
        const ssize_t n = ::read(fd, &c, 1);
        if (n <= 0) break;  // Xvfb ended without a display
        if (c == '\n') return number;
        number += c;
    }
    return {};
}

}  // namespace

XvfbSession::XvfbSession(Options options) {
    char dirTemplate[] = "/tmp/tarnwick-xdg-XXXXXX";
    if (mkdtemp(dirTemplate) != nullptr) runtimeDir_ = dirTemplate;
    if (!startServer(options)) return;
    connection_ = std::make_unique<XConnection>(display_);
    if (!connection_->ok()) {
        error_ = "cannot connect to the new X server " + display_;
        return;
    }
    if (options.tray && !startTray()) return;
}

XvfbSession::~XvfbSession() {
    // Clients first, so none of them sees its server vanish.
    tray_.reset();
    connection_.reset();
    server_.reset();
    if (!runtimeDir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(runtimeDir_, ignored);
    }
}

bool XvfbSession::startServer(const Options& options) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error_ = "pipe failed";
        return false;
    }
    const std::string screen =
        std::to_string(options.width) + "x" + std::to_string(options.height) + "x24";
    server_ = std::make_unique<Process>(
        Process::Options{.argv = {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                  screen, "-nolisten", "tcp", "-noreset"},
                         .inheritFd = fds[1]});
    ::close(fds[1]);
    const std::string number = server_->started() ? readDisplayNumber(fds[0], 20s) : "";
    ::close(fds[0]);
    if (number.empty()) {
        error_ = "Xvfb did not start: " +
                 (server_->started() ? server_->standardError() : server_->error());
        return false;
    }
    display_ = ":" + number;
    return true;
}

bool XvfbSession::startTray() {
    tray_ = start({"trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                   "--heighttype", "pixel", "--height", "32"});
    const bool ready =
        tray_->started() &&
        waitUntil([this] { return x().selectionOwner("_NET_SYSTEM_TRAY_S0") != 0; }, 10s);
    if (!ready) {
        error_ = "trayer did not take the system tray: " +
                 (tray_->started() ? tray_->standardError() : tray_->error());
        tray_.reset();
    }
    return ready;
}

std::unique_ptr<Process> XvfbSession::start(
    std::vector<std::string> argv, std::map<std::string, std::optional<std::string>> env) const {
    env.emplace("DISPLAY", display_);
    // Qt complains on every start without one.
    if (!runtimeDir_.empty()) env.emplace("XDG_RUNTIME_DIR", runtimeDir_);
    // Programs on this display must not fall back to another platform plugin.
    env.emplace("QT_QPA_PLATFORM", "xcb");
    return std::make_unique<Process>(Process::Options{.argv = std::move(argv), .env = env});
}

CommandResult XvfbSession::run(std::vector<std::string> argv,
                               std::chrono::milliseconds timeout) const {
    return runCommand({.argv = std::move(argv), .env = {{"DISPLAY", display_}}}, timeout);
}

}  // namespace tarnwick::e2e
