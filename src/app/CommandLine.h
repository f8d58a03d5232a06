// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <optional>

namespace tarnwick {

// Reads the command line, which takes --help, --version and --paste N and
// nothing else. Returns the exit status when the process ends here (help or
// version shown, or the command line refused); nothing when start-up goes on,
// with pasteRow the row --paste asks for (1 to 10), 0 without it.
// Needs no application object, so it also answers without a display.
std::optional<int> readCommandLine(int argc, char* argv[], int& pasteRow);

// The row a --paste value names: 1 to 10, the digit 0 for 10; none otherwise.
std::optional<int> pasteRowOf(const QString& value);

}  // namespace tarnwick
