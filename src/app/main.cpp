#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <cstdio>

#include "app/Globals.h"
#include "app/LogoPath.h"
#include "history/BufferChecker.h"
#include "hotkeys/TapInstaller.h"
#include "platform/KeySender.h"
#include "platform/Pasteboard.h"
#include "platform/Platform.h"
#include "platform/qt/QtAlert.h"
#include "platform/qt/QtMainThread.h"
#include "ui/UserInterface.h"

using namespace tarnwick;

namespace {

QIcon loadLogo(const char* executablePath) {
    const QIcon fromBundle(logoPath(QString::fromLocal8Bit(executablePath)));
    if (!fromBundle.availableSizes().isEmpty()) return fromBundle;
    // Without a readable logo beside the executable, use the built-in copy.
    return QIcon(QStringLiteral(":/logo.png"));
}

}  // namespace

int main(int argc, char* argv[]) {
    // The resources live in the core library, a static library: without this
    // the linker drops them, and the built-in logo with them.
    Q_INIT_RESOURCE(assets);
    prepareApplication();
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    finishApplicationStartup();

    const std::unique_ptr<Pasteboard> pasteboard = makePasteboard();
    QtMainThread mainThread;
    QtAlert alert;
    auto keySender = makeKeySender();

    BufferChecker engine(*pasteboard, mainThread);
    bufferChecker = &engine;

    const QIcon logo = loadLogo(argv[0]);
    app.setWindowIcon(logo);

    UserInterface userInterface({engine, *keySender, alert});
    ui = &userInterface;
    engine.setRowAdder([](const QString& text) { return ui->addTextField(text); });

    QSystemTrayIcon statusItem(logo);
    QMenu menu(QStringLiteral("Tarnwick"));
    QObject::connect(menu.addAction(QStringLiteral("Settings")), &QAction::triggered,
                     [] { ui->help(); });
    QObject::connect(menu.addAction(QStringLiteral("Quit")), &QAction::triggered,
                     [] { ui->quit(); });
    statusItem.setContextMenu(&menu);
    statusItem.setToolTip(QStringLiteral("Tarnwick"));
    QObject::connect(&statusItem, &QSystemTrayIcon::activated, [&menu, &statusItem](auto reason) {
        // A left click opens the same menu as a right click, as a status item does.
        if (reason == QSystemTrayIcon::Trigger) menu.popup(statusItem.geometry().center());
    });
    statusItem.show();

    // Both tap failures end with status 1: a failure must not report success.
    const std::unique_ptr<KeyTap> tap = installKeyTap();
    if (!tap) return 1;

    // Without any status area the window is the only way in: open it now.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) ui->help();

    engine.startPolling();
    return app.exec();
}
