// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <memory>
#include <string>

#include "history/BufferChecker.h"
#include "platform/KeySender.h"
#include "platform/KeyTap.h"
#include "platform/Pasteboard.h"
#include "platform/qt/QtAlert.h"
#include "platform/qt/QtMainThread.h"
#include "ui/UserInterface.h"

namespace tarnwick {

class HotKeyFilter;

// Creates the platform services, the history engine, the window, the key
// filter with its tap and the status item, and wires them together. The only
// place that knows every layer; lives for the whole run.
class CompositionRoot {
public:
    explicit CompositionRoot(const QIcon& logo);
    ~CompositionRoot();
    CompositionRoot(const CompositionRoot&) = delete;
    CompositionRoot& operator=(const CompositionRoot&) = delete;

    // Installs the key tap and starts polling; false (its message printed)
    // when there can be no tap.
    bool start();
    // Shows the window in front (a second start of the program asks for it).
    void bringWindowForward();
    // Pastes row (1 to 10) as its hot key does (a --paste from outside).
    void pasteRow(int row);
    // Ends the program as the status menu's Quit does.
    void quit();

private:
    void buildStatusItem();
    void showNotice(QAction& line, const std::string& text);

    const std::unique_ptr<Pasteboard> pasteboard_;
    QtMainThread mainThread_;
    QtAlert alert_;
    const std::unique_ptr<KeySender> keySender_;
    BufferChecker engine_;
    UserInterface ui_;
    QSystemTrayIcon statusItem_;
    QMenu menu_;
    QAction* tapLine_ = nullptr;  // the key tap's notice, hidden while empty
    QAction* pasteboardLine_ = nullptr;
    QAction* noticeSeparator_ = nullptr;
    std::unique_ptr<KeyTap> tap_;  // owns the filter; goes first
};

}  // namespace tarnwick
