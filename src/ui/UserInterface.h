// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace tarnwick {

class Alert;
class BufferChecker;
class HistoryView;
class KeySender;
class MyToggleButton;
class MyWindow;

// The controller of the one window: the modifier toggles and the history rows,
// which are a view of the engine's history model.
class UserInterface {
public:
    struct Services {
        BufferChecker& engine;
        KeySender& keySender;
        Alert& alert;
    };

    explicit UserInterface(Services services);
    ~UserInterface();
    UserInterface(const UserInterface&) = delete;
    UserInterface& operator=(const UserInterface&) = delete;

    // Shows the window in front, active; the first call builds its content.
    void help();
    // Ends the program with status 0 once the event loop is back.
    void quit();

    // Toggle states as the key filter reads them.
    bool fnEnabled() const;
    bool ctrlEnabled() const;
    bool cmdEnabled() const;
    // Called on the main thread whenever a toggle changes.
    void setTogglesChangedListener(std::function<void()> listener);

    MyWindow* helpWindow = nullptr;
    MyToggleButton* fnButton = nullptr;
    MyToggleButton* ctrlButton = nullptr;
    MyToggleButton* cmdButton = nullptr;
    HistoryView* historyView = nullptr;

private:
    void buildContent();

    Services services_;
    std::function<void()> togglesChanged_;
};

}  // namespace tarnwick
