// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>

#include "platform/KeyTap.h"

namespace tarnwick {

// Creates and enables the system-wide key tap around filter, whose notices go
// to onNotice. Prints the reason and returns none when that is impossible.
std::unique_ptr<KeyTap> installKeyTap(std::unique_ptr<KeyFilter> filter, MainThread& mainThread,
                                      std::function<void(const TapNotice&)> onNotice);

}  // namespace tarnwick
