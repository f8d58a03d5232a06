// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "harness/Process.h"

namespace tarnwick::e2e {
class XvfbSession;
}

namespace tarnwick::bench {

// The peer clipboard manager (CopyQ) on a session's display, with a private
// home and XDG folders so that nothing of a real user's setup takes part.
// Driven only through its command line.
class PeerSession {
public:
    explicit PeerSession(const e2e::XvfbSession& session);
    ~PeerSession();
    PeerSession(const PeerSession&) = delete;
    PeerSession& operator=(const PeerSession&) = delete;

    // Starts the server and waits until it answers.
    bool start();
    const std::string& error() const { return error_; }

    // Runs "copyq eval -" with script on standard input.
    std::unique_ptr<e2e::Process> eval(const std::string& script) const;
    // Runs "copyq <args>" to its end.
    e2e::CommandResult run(std::vector<std::string> args) const;

private:
    e2e::Process::Options options(std::vector<std::string> argv) const;

    const e2e::XvfbSession& session_;
    std::string home_;
    std::unique_ptr<e2e::Process> server_;
    std::string error_;
};

}  // namespace tarnwick::bench
