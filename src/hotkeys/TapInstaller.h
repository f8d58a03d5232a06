#pragma once

#include <memory>

#include "platform/KeyTap.h"

namespace tarnwick {

// Creates and enables the system-wide key tap with the hot-key filter as its
// callback. Prints the reason and returns none when that is impossible.
std::unique_ptr<KeyTap> installKeyTap();

}  // namespace tarnwick
