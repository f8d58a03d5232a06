#pragma once

#include <vector>

#include "platform/Alert.h"
#include "platform/KeySender.h"

namespace tarnwick::test {

class FakeKeySender final : public KeySender {
public:
    void postCommandKey(int keyCode) override { posted.push_back(keyCode); }
    std::vector<int> posted;
};

class FakeAlert final : public Alert {
public:
    void beep() override { ++beeps; }
    int beeps = 0;
};

}  // namespace tarnwick::test
