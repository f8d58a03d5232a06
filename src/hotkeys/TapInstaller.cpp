// SPDX-License-Identifier: MIT
#include "hotkeys/TapInstaller.h"

#include <cstdio>

namespace tarnwick {

std::unique_ptr<KeyTap> installKeyTap(std::unique_ptr<KeyFilter> filter, MainThread& mainThread,
                                      std::function<void(const TapNotice&)> onNotice) {
    std::unique_ptr<KeyTap> tap = makeKeyTap(mainThread);
    tap->setNoticeListener(std::move(onNotice));
    if (!tap->create(std::move(filter))) {
        std::printf("%s\n", tap->failureMessage().c_str());
        std::fflush(stdout);
        return nullptr;
    }
    tap->enable();
    if (!tap->isEnabled()) {
        std::printf("Error: The event tap could not be enabled for some reason.\n");
        std::fflush(stdout);
        return nullptr;
    }
    return tap;
}

}  // namespace tarnwick
