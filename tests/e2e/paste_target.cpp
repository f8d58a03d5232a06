// A window that records what is pasted or typed into it: after every change it
// writes the whole text to the file named on the command line, so an
// end-to-end test can read what arrived.
//
//   paste_target /tmp/out.txt
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <cstdio>

namespace {

// Written through a temporary file and a rename, so a reader never sees half
// of a large paste.
void record(const QString& path, const QString& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(text.toUtf8());
    file.commit();
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: paste_target OUTPUT_FILE\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    record(path, QString());

    QPlainTextEdit editor;
    editor.setWindowTitle(QStringLiteral("Paste Target"));
    editor.resize(480, 320);
    QObject::connect(&editor, &QPlainTextEdit::textChanged,
                     [&] { record(path, editor.toPlainText()); });
    editor.show();
    // Without a window manager nobody hands out focus: take it.
    editor.activateWindow();
    editor.setFocus();
    return app.exec();
}
