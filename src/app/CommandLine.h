// SPDX-License-Identifier: MIT
#pragma once

#include <optional>

namespace tarnwick {

// Reads the command line, which takes --help and --version and nothing else.
// Returns the exit status when the process ends here (help or version shown,
// or the command line refused); nothing when start-up goes on.
// Needs no application object, so it also answers without a display.
std::optional<int> readCommandLine(int argc, char* argv[]);

}  // namespace tarnwick
