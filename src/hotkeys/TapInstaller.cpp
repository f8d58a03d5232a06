#include "hotkeys/TapInstaller.h"

#include <cstdio>

namespace tarnwick {

std::unique_ptr<KeyTap> installKeyTap(std::unique_ptr<KeyFilter> filter, MainThread& mainThread) {
    std::unique_ptr<KeyTap> tap = makeKeyTap(mainThread);
    if (!tap->create(std::move(filter))) {
        std::printf(
            "Failed to create the event tap. This program must be run with root privilage using "
            "the 'sudo' command in order to filter and modify key press events before the "
            "operating system passes them to other applications.\n");
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
