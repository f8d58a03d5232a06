// SPDX-License-Identifier: MIT
#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace tarnwick {

namespace {

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

}  // namespace

std::optional<int> pasteRowOf(const QString& value) {
    if (value.isEmpty() || value.size() > 2) return std::nullopt;
    for (const QChar c : value) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    }
    const int row = value.toInt();
    if (row > 10 || (row == 0 && value.size() != 1)) return std::nullopt;
    // The digit 0 is the tenth row, as on the keyboard.
    return row == 0 ? 10 : row;
}

std::optional<int> readCommandLine(int argc, char* argv[], int& pasteRow) {
    pasteRow = 0;
    QCoreApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARNWICK_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Keeps the plain texts you copy and pastes the Nth most recent one with an enabled "
        "modifier key + a number key (1 the newest, 0 the tenth)."));
    // "-style" reads as one unknown option, not as six unknown letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // Not addHelpOption(): its --help-all lists Qt's own options, which this
    // command line refuses.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption paste(
        QStringLiteral("paste"),
        QStringLiteral("Asks the running Tarnwick to paste row N (1 the newest, 0 the tenth), "
                       "as its hot key does; for a desktop's own keyboard shortcuts."),
        QStringLiteral("N"));
    parser.addOption(paste);

    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    if (!parser.parse(arguments)) {
        print(stderr, parser.errorText() + QLatin1Char('\n'));
        return 1;
    }
    if (!parser.positionalArguments().isEmpty()) {
        print(stderr, QStringLiteral("Unexpected argument '%1'.\n")
                          .arg(parser.positionalArguments().constFirst()));
        return 1;
    }
    if (parser.isSet(help)) {
        // The usage line names the executable as launched, which only an
        // application object knows.
        const QCoreApplication named(argc, argv);
        print(stdout, parser.helpText());
        return 0;
    }
    if (parser.isSet(version)) {
        print(stdout, QCoreApplication::applicationName() + QLatin1Char(' ') +
                          QCoreApplication::applicationVersion() + QLatin1Char('\n'));
        return 0;
    }
    if (parser.isSet(paste)) {
        const std::optional<int> row = pasteRowOf(parser.value(paste));
        if (!row) {
            print(stderr, QStringLiteral("--paste takes a row number from 0 to 10.\n"));
            return 1;
        }
        pasteRow = *row;
    }
    return std::nullopt;
}

}  // namespace tarnwick
