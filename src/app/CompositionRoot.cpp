// SPDX-License-Identifier: MIT
#include "app/CompositionRoot.h"

#include <QGuiApplication>
#include <cstdio>
#include <string>

#include "hotkeys/HotKeyFilter.h"
#include "hotkeys/TapInstaller.h"
#include "platform/Platform.h"
#include "ui/MyToggleButton.h"

namespace tarnwick {

namespace {

ModifierToggles togglesOf(const UserInterface& ui) {
    return {ui.fnEnabled(), ui.ctrlEnabled(), ui.cmdEnabled()};
}

}  // namespace

CompositionRoot::CompositionRoot(const QIcon& logo)
    : pasteboard_(makePasteboard()),
      keySender_(makeKeySender()),
      engine_(*pasteboard_, mainThread_),
      ui_({engine_, *keySender_, alert_}),
      statusItem_(logo),
      menu_(QStringLiteral("Tarnwick")) {
    buildStatusItem();
}

CompositionRoot::~CompositionRoot() = default;

void CompositionRoot::buildStatusItem() {
    // Lines the platform has for the user (a missing permission, secure input,
    // a denied clipboard) head the menu while they apply: a menu-bar program
    // started from the Finder has no terminal to print them to.
    for (QAction** line : {&tapLine_, &pasteboardLine_}) {
        *line = menu_.addAction(QString());
        (*line)->setEnabled(false);
        (*line)->setVisible(false);
    }
    noticeSeparator_ = menu_.addSeparator();
    noticeSeparator_->setVisible(false);
    QObject::connect(menu_.addAction(QStringLiteral("Settings")), &QAction::triggered,
                     [this] { ui_.help(); });
    QObject::connect(menu_.addAction(QStringLiteral("Quit")), &QAction::triggered,
                     [this] { quit(); });
    statusItem_.setContextMenu(&menu_);
    statusItem_.setToolTip(QStringLiteral("Tarnwick"));
    QObject::connect(&statusItem_, &QSystemTrayIcon::activated, [this](auto reason) {
        // A left click opens the same menu as a right click, as a status item does.
        if (reason == QSystemTrayIcon::Trigger) menu_.popup(statusItem_.geometry().center());
    });
    statusItem_.show();
    // Without a status item, closing the window would leave no way back into
    // the program: then closing it quits, as "Quit" does.
    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, [this] {
        if (!QSystemTrayIcon::isSystemTrayAvailable()) quit();
    });
}

bool CompositionRoot::start() {
    auto filter = std::make_unique<HotKeyFilter>(engine_);
    HotKeyFilter& toggleMirror = *filter;
    toggleMirror.setToggles(togglesOf(ui_));
    pasteboard_->setNoticeListener(
        [this](const std::string& line) { showNotice(*pasteboardLine_, line); });
    // Both tap failures end with status 1: a failure must not report success.
    tap_ = installKeyTap(std::move(filter), mainThread_, [this](const TapNotice& notice) {
        showNotice(*tapLine_, notice.line);
        if (!notice.fatal) return;
        std::printf("%s\n", notice.line.c_str());
        std::fflush(stdout);
        QCoreApplication::exit(1);
    });
    if (!tap_) return false;
    // The tap owns the filter from here on and outlives every toggle change.
    ui_.setTogglesChangedListener(
        [this, &toggleMirror] { toggleMirror.setToggles(togglesOf(ui_)); });

    // Without any status area the window is the only way in: open it now.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) ui_.help();
    engine_.startPolling();
    return true;
}

void CompositionRoot::showNotice(QAction& line, const std::string& text) {
    line.setText(QString::fromStdString(text));
    line.setVisible(!text.empty());
    noticeSeparator_->setVisible(tapLine_->isVisible() || pasteboardLine_->isVisible());
}

void CompositionRoot::bringWindowForward() {
    ui_.help();
}

void CompositionRoot::pasteRow(int row) {
    if (tap_) tap_->pasteEntry(row - 1);
}

void CompositionRoot::quit() {
    ui_.quit();
}

}  // namespace tarnwick
