// SPDX-License-Identifier: MIT
#include "common/PeerSession.h"

#include <cstdlib>
#include <filesystem>

#include "harness/Wait.h"
#include "harness/XvfbSession.h"

namespace tarnwick::bench {

PeerSession::PeerSession(const e2e::XvfbSession& session) : session_(session) {
    char dirTemplate[] = "/tmp/tarnwick-peer-XXXXXX";
    if (mkdtemp(dirTemplate) != nullptr) home_ = dirTemplate;
}

PeerSession::~PeerSession() {
    if (server_ && server_->running()) run({"exit"});
    server_.reset();
    if (!home_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(home_, ignored);
    }
}

e2e::Process::Options PeerSession::options(std::vector<std::string> argv) const {
    return {.argv = std::move(argv),
            .env = {{"DISPLAY", session_.display()},
                    {"HOME", home_},
                    {"XDG_CONFIG_HOME", home_ + "/config"},
                    {"XDG_DATA_HOME", home_ + "/data"},
                    {"XDG_CACHE_HOME", home_ + "/cache"},
                    {"XDG_RUNTIME_DIR", home_ + "/runtime"},
                    {"QT_QPA_PLATFORM", "xcb"}}};
}

bool PeerSession::start() {
    if (home_.empty()) {
        error_ = "no private home";
        return false;
    }
    std::filesystem::create_directories(home_ + "/runtime");
    std::filesystem::permissions(home_ + "/runtime", std::filesystem::perms::owner_all);
    server_ = std::make_unique<e2e::Process>(options({"copyq"}));
    if (!server_->started()) {
        error_ = server_->error();
        return false;
    }
    const bool answers =
        e2e::waitUntil([this] { return run({"count"}).ok(); }, std::chrono::seconds(30),
                       [] { std::this_thread::sleep_for(std::chrono::milliseconds(200)); });
    if (!answers) error_ = "no answer from the server: " + server_->standardError();
    return answers;
}

std::unique_ptr<e2e::Process> PeerSession::eval(const std::string& script) const {
    e2e::Process::Options o = options({"copyq", "eval", "-"});
    o.input = script;
    return std::make_unique<e2e::Process>(std::move(o));
}

e2e::CommandResult PeerSession::run(std::vector<std::string> args) const {
    args.insert(args.begin(), "copyq");
    return e2e::runCommand(options(std::move(args)), std::chrono::seconds(20));
}

}  // namespace tarnwick::bench
