#include "harness/PasteTarget.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "harness/Wait.h"
#include "harness/XvfbSession.h"

namespace tarnwick::e2e {

namespace {

std::string makeOutputPath() {
    std::string path = "/tmp/tarnwick-paste-XXXXXX";
    const int fd = mkstemp(path.data());
    if (fd >= 0) ::close(fd);
    return path;
}

}  // namespace

PasteTarget::PasteTarget(const XvfbSession& session)
    : desktop_(session),
      path_(makeOutputPath()),
      process_(session.start({TARNWICK_PASTE_TARGET, path_})) {}

PasteTarget::~PasteTarget() {
    process_.reset();
    ::unlink(path_.c_str());
}

bool PasteTarget::ready(std::chrono::milliseconds timeout) {
    window_ = desktop_.waitForWindow("^Paste Target$", timeout);
    return window_ && focus();
}

bool PasteTarget::focus() {
    return window_ && desktop_.focus(*window_);
}

std::string PasteTarget::text() const {
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool PasteTarget::waitForText(const std::string& expected,
                              std::chrono::milliseconds timeout) const {
    return waitUntil([&] { return text() == expected; }, timeout);
}

}  // namespace tarnwick::e2e
