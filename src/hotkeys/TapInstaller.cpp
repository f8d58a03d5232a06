#include "hotkeys/TapInstaller.h"

#include <cstdio>

#include "app/Globals.h"
#include "hotkeys/HotKeyFilter.h"
#include "ui/UserInterface.h"

namespace tarnwick {

namespace {

ModifierToggles windowToggles() {
    return {ui->fnEnabled(), ui->ctrlEnabled(), ui->cmdEnabled()};
}

}  // namespace

std::unique_ptr<KeyTap> installKeyTap() {
    auto filter = std::make_unique<HotKeyFilter>(*bufferChecker);
    HotKeyFilter* toggleMirror = filter.get();
    toggleMirror->setToggles(windowToggles());

    std::unique_ptr<KeyTap> tap = makeKeyTap();
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
    // The tap owns the filter from here on and outlives every toggle change.
    ui->setTogglesChangedListener([toggleMirror] { toggleMirror->setToggles(windowToggles()); });
    return tap;
}

}  // namespace tarnwick
