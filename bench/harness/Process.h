// SPDX-License-Identifier: MIT
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::e2e {

// A child process in its own process group, with standard output and error
// captured to files. The destructor ends it (TERM, then KILL) if it still runs,
// so a failing test leaves nothing behind.
class Process {
public:
    struct Options {
        std::vector<std::string> argv{};  // argv[0] is looked up in PATH
        // Changes to the inherited environment: a value sets, none unsets.
        std::map<std::string, std::optional<std::string>> env{};
        // Written to standard input, which is then closed (default: /dev/null).
        std::optional<std::string> input{};
        // A descriptor the child keeps open under the same number (Xvfb -displayfd).
        int inheritFd = -1;
    };

    explicit Process(Options options);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // False when the program could not be executed at all; error() says why.
    bool started() const { return pid_ > 0; }
    const std::string& error() const { return error_; }
    pid_t pid() const { return pid_; }

    bool running();
    // The exit status (128 + signal number for a signal), or none when the
    // process is still running at the deadline.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    std::optional<int> exitStatus() const { return status_; }
    // TERM to the whole group, KILL after grace; returns the exit status.
    int stop(std::chrono::milliseconds grace = std::chrono::milliseconds(2000));
    void signal(int signalNumber);

    // What the process has written so far.
    std::string standardOutput() const;
    std::string standardError() const;

private:
    void spawn(const Options& options);
    bool reap(bool block);

    pid_t pid_ = -1;
    std::optional<int> status_;
    std::string error_;
    std::string outPath_;
    std::string errPath_;
};

// Runs a command to its end (killed at the deadline); status none on timeout.
struct CommandResult {
    std::optional<int> status;
    std::string output;  // standard output
    std::string errors;  // standard error
    bool ok() const { return status == 0; }
};
CommandResult runCommand(Process::Options options,
                         std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace tarnwick::e2e
