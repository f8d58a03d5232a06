// SPDX-License-Identifier: MIT
#include "harness/Process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "harness/Wait.h"

extern char** environ;

namespace tarnwick::e2e {

namespace {

// Everything the child needs, prepared before fork: after fork only
// async-signal-safe calls are allowed, and the test process may run threads.
struct ExecImage {
    std::vector<std::string> strings;
    std::vector<char*> argv;
    std::vector<std::string> envStrings;
    std::vector<char*> envp;
};

ExecImage prepareExec(const Process::Options& options) {
    ExecImage image;
    image.strings = options.argv;
    for (auto& arg : image.strings) image.argv.push_back(arg.data());
    image.argv.push_back(nullptr);
    std::map<std::string, std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string pair(*entry);
        const auto eq = pair.find('=');
        if (eq != std::string::npos) env[pair.substr(0, eq)] = pair.substr(eq + 1);
    }
    for (const auto& [name, value] : options.env) {
        if (value) {
            env[name] = *value;
        } else {
            env.erase(name);
        }
    }
    for (const auto& [name, value] : env) image.envStrings.push_back(name + "=" + value);
    for (auto& pair : image.envStrings) image.envp.push_back(pair.data());
    image.envp.push_back(nullptr);
    return image;
}

std::string makeCaptureFile(int& fd) {
    std::string path = "/tmp/tarnwick-e2e-XXXXXX";
    fd = mkostemp(path.data(), O_CLOEXEC);
    return fd >= 0 ? path : std::string();
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;  // the child closed its input early: nothing to do
        done += static_cast<std::size_t>(n);
    }
}

[[noreturn]] void execChild(ExecImage& image, int in, int out, int err, int keep, int report) {
    setpgid(0, 0);
    dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    if (keep >= 0) fcntl(keep, F_SETFD, 0);
    execvpe(image.argv[0], image.argv.data(), image.envp.data());
    const int code = errno;
    (void)!::write(report, &code, sizeof code);
    _exit(127);
}

}  // namespace

Process::Process(Options options) {
    // A child that exits before reading its input must not kill the test.
    std::signal(SIGPIPE, SIG_IGN);
    spawn(options);
}

Process::~Process() {
    if (!started()) return;
    stop();
    // Whatever the program left in its group (helpers it forked) goes too.
    ::kill(-pid_, SIGKILL);
    if (!outPath_.empty()) ::unlink(outPath_.c_str());
    if (!errPath_.empty()) ::unlink(errPath_.c_str());
}

void Process::spawn(const Options& options) {
    if (options.argv.empty()) {
        error_ = "no program given";
        return;
    }
    ExecImage image = prepareExec(options);
    int outFd = -1, errFd = -1, inPipe[2] = {-1, -1}, report[2] = {-1, -1};
    outPath_ = makeCaptureFile(outFd);
    errPath_ = makeCaptureFile(errFd);
    const int devNull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (options.input && pipe2(inPipe, O_CLOEXEC) != 0) inPipe[0] = inPipe[1] = -1;
    if (pipe2(report, O_CLOEXEC) != 0 || outFd < 0 || errFd < 0) {
        error_ = "cannot prepare the child's files";
        return;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        execChild(image, options.input ? inPipe[0] : devNull, outFd, errFd, options.inheritFd,
                  report[1]);
    }
    for (int fd : {outFd, errFd, devNull, inPipe[0], report[1]}) {
        if (fd >= 0) ::close(fd);
    }
    int code = 0;
    const bool execFailed = pid > 0 && ::read(report[0], &code, sizeof code) == sizeof code;
    ::close(report[0]);
    if (pid < 0 || execFailed) {
        error_ = options.argv[0] + ": " + std::strerror(pid < 0 ? errno : code);
        if (pid > 0) waitpid(pid, nullptr, 0);
        if (inPipe[1] >= 0) ::close(inPipe[1]);
        return;
    }
    pid_ = pid;
    if (inPipe[1] >= 0) {
        writeAll(inPipe[1], *options.input);
        ::close(inPipe[1]);
    }
}

bool Process::reap(bool block) {
    if (status_ || !started()) return true;
    int raw = 0;
    pid_t got;
    do {
        got = waitpid(pid_, &raw, block ? 0 : WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got != pid_) return false;
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return true;
}

bool Process::running() {
    return started() && !reap(false);
}

std::optional<int> Process::waitForExit(std::chrono::milliseconds timeout) {
    if (!started()) return std::nullopt;
    waitUntil([this] { return reap(false); }, timeout,
              [] { std::this_thread::sleep_for(std::chrono::milliseconds(5)); });
    return status_;
}

void Process::signal(int signalNumber) {
    if (running()) ::kill(pid_, signalNumber);
}

int Process::stop(std::chrono::milliseconds grace) {
    if (!started()) return -1;
    if (running()) {
        ::kill(-pid_, SIGTERM);
        if (!waitForExit(grace)) {
            ::kill(-pid_, SIGKILL);
            reap(true);
        }
    }
    return *status_;
}

std::string Process::standardOutput() const {
    return readFile(outPath_);
}
std::string Process::standardError() const {
    return readFile(errPath_);
}

CommandResult runCommand(Process::Options options, std::chrono::milliseconds timeout) {
    Process process(std::move(options));
    CommandResult result;
    if (!process.started()) {
        result.errors = process.error();
        return result;
    }
    result.status = process.waitForExit(timeout);
    if (!result.status) process.stop();
    result.output = process.standardOutput();
    result.errors = process.standardError();
    return result;
}

}  // namespace tarnwick::e2e
