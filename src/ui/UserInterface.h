#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QScrollArea;

namespace tarnwick {

class BufferChecker;
class KeySender;
class Alert;
class DocumentView;

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
    // Creates one row for text, on top (end) or at the bottom; no layout.
    void addTextField(const QString& text, bool end);

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
    DocumentView* documentView = nullptr;
    TopAnchorClipView* topAnchorClipView = nullptr;

private:
    void buildContent();
    void placeOnScreen();

    Services services_;
    std::function<void()> togglesChanged_;
};

}  // namespace tarnwick
