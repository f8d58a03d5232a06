#include "app/CompositionRoot.h"

#include <QGuiApplication>

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
    // Both tap failures end with status 1: a failure must not report success.
    tap_ = installKeyTap(std::move(filter), mainThread_);
    if (!tap_) return false;
    // The tap owns the filter from here on and outlives every toggle change.
    ui_.setTogglesChangedListener(
        [this, &toggleMirror] { toggleMirror.setToggles(togglesOf(ui_)); });

    // Without any status area the window is the only way in: open it now.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) ui_.help();
    engine_.startPolling();
    return true;
}

void CompositionRoot::bringWindowForward() {
    ui_.help();
}

void CompositionRoot::quit() {
    ui_.quit();
}

}  // namespace tarnwick
