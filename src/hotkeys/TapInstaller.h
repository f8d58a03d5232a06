#pragma once

#include <memory>

#include "platform/KeyTap.h"

namespace tarnwick {

// Creates and enables the system-wide key tap around filter. Prints the reason
// and returns none when that is impossible.
std::unique_ptr<KeyTap> installKeyTap(std::unique_ptr<KeyFilter> filter, MainThread& mainThread);

}  // namespace tarnwick
