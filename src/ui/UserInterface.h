#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QScrollArea;

namespace tarnwick {

class BufferChecker;
class KeySender;
class Alert;

// The controller of the one window: the modifier toggles and the history rows.
class UserInterface {
public:
    class MyWindow;
    class MyToggleButton;
    class TopAnchorClipView;
    class IndexTextField;
    class CopiedTextField;
    class MyExpandButton;

    struct Services {
        BufferChecker& engine;
        KeySender& keySender;
        Alert& alert;
    };

    explicit UserInterface(Services services);
    ~UserInterface();
    UserInterface(const UserInterface&) = delete;
    UserInterface& operator=(const UserInterface&) = delete;

    // Shows the window; the first call builds its content.
    void help();
    // Ends the process at once with status 0.
    [[noreturn]] void quit();

    // Adds text as the newest entry; returns the history in row order.
    QStringList addTextField(const QString& text);

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
    QScrollArea* scrollView = nullptr;

private:
    Services services_;
    QStringList rows_;  // stand-in until the rows land
    std::function<void()> togglesChanged_;
};

}  // namespace tarnwick
