// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QIcon>

#include "app/CommandLine.h"
#include "app/CompositionRoot.h"
#include "app/EndingSignals.h"
#include "app/HandOverServer.h"
#include "app/LogoPath.h"
#include "app/SingleInstance.h"
#include "platform/Platform.h"

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
    int pasteRow = 0;
    if (const std::optional<int> status = readCommandLine(argc, argv, pasteRow)) return *status;
    prepareApplication();
    SingleInstance instance(displaySession());
    if (pasteRow != 0) return instance.askToPaste(pasteRow);
    if (!instance.claim()) return instance.handOver();
    QApplication app(argc, argv);
    // Ties the windows to the installed desktop entry (its name and icon).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tarnwick.Tarnwick"));
    app.setQuitOnLastWindowClosed(false);
    finishApplicationStartup();

    const QIcon logo = loadLogo(argv[0]);
    app.setWindowIcon(logo);
    // Declared after the application: they go before it, the server taking
    // its socket file with it.
    CompositionRoot root(logo);
    const auto server = instance.listen([&root] { root.bringWindowForward(); },
                                        [&root](int row) { root.pasteRow(row); });
    const EndingSignals endings([&root] { root.quit(); });
    if (!root.start()) return 1;
    return app.exec();
}
