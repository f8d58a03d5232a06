// A window that records what is pasted or typed into it, for the end-to-end
// tests: after every change it writes the whole text to OUTPUT, and it appends
// each key press but lone modifiers and locks, as Qt names it ("Ctrl+V"), to
// OUTPUT.keys.
//
//   paste_target /tmp/out.txt
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <cstdio>

namespace {

// Written through a temporary file and a rename, so a reader never sees half
// of a paste.
void record(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(bytes);
    file.commit();
}

bool isModifierOrLock(int key) {
    // Shift, Control, Meta, Alt, CapsLock, NumLock and ScrollLock are one run of codes.
    return (key >= Qt::Key_Shift && key <= Qt::Key_ScrollLock) || key == Qt::Key_AltGr ||
           key == Qt::Key_Super_L || key == Qt::Key_Super_R;
}

class KeyLog : public QObject {
public:
    explicit KeyLog(const QString& path) : file_(path) {
        file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (event->type() == QEvent::KeyPress && !isModifierOrLock(key->key())) {
            file_.write(QKeySequence(key->keyCombination()).toString().toUtf8() + '\n');
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QFile file_;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: paste_target OUTPUT_FILE\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    KeyLog keys(path + QStringLiteral(".keys"));
    record(path, {});

    QPlainTextEdit editor;
    editor.setWindowTitle(QStringLiteral("Paste Target"));
    editor.resize(480, 320);
    editor.installEventFilter(&keys);
    QObject::connect(&editor, &QPlainTextEdit::textChanged,
                     [&] { record(path, editor.toPlainText().toUtf8()); });
    editor.show();
    // Without a window manager nobody hands out focus: take it.
    editor.activateWindow();
    editor.setFocus();
    return app.exec();
}
