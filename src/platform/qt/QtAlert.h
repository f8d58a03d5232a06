// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Alert.h"

namespace tarnwick {

class QtAlert final : public Alert {
public:
    void beep() override;
};

}  // namespace tarnwick
