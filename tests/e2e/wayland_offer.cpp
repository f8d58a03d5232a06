// SPDX-License-Identifier: MIT
// Another program's copy through data-control, printing "asked TYPE" for each request:
//   wayland_offer secret TEXT   TEXT marked secret by a password manager
//   wayland_offer hang TEXT     TEXT never sent
#include <unistd.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "wlr-data-control-unstable-v1-client.h"

namespace {

wl_seat* seat = nullptr;
zwlr_data_control_manager_v1* manager = nullptr;
bool hang = false;
std::string text;

void global(void*, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t) {
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && seat == nullptr) {
        seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0) {
        manager = static_cast<zwlr_data_control_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
    }
}

void send(void*, zwlr_data_control_source_v1*, const char* type, int fd) {
    std::printf("asked %s\n", type);
    std::fflush(stdout);
    if (hang) return;  // the descriptor left open: the reader waits for more
    const std::string data = std::strcmp(type, "x-kde-passwordManagerHint") == 0 ? "Secret" : text;
    (void)!write(fd, data.data(), data.size());
    close(fd);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) return 2;
    hang = std::strcmp(argv[1], "hang") == 0;
    text = argv[2];
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) return 1;
    const wl_registry_listener registryListener{global, [](void*, wl_registry*, std::uint32_t) {}};
    wl_registry_add_listener(wl_display_get_registry(display), &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (seat == nullptr || manager == nullptr) return 1;
    zwlr_data_control_source_v1* source = zwlr_data_control_manager_v1_create_data_source(manager);
    const zwlr_data_control_source_v1_listener sourceListener{
        send, [](void*, zwlr_data_control_source_v1*) {}};
    zwlr_data_control_source_v1_add_listener(source, &sourceListener, nullptr);
    zwlr_data_control_source_v1_offer(source, "text/plain;charset=utf-8");
    if (!hang) zwlr_data_control_source_v1_offer(source, "x-kde-passwordManagerHint");
    zwlr_data_control_device_v1* device =
        zwlr_data_control_manager_v1_get_data_device(manager, seat);
    zwlr_data_control_device_v1_set_selection(device, source);
    while (wl_display_dispatch(display) >= 0) {
    }
    return 0;
}
