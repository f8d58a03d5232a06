// SPDX-License-Identifier: MIT
// paste_target OUTPUT: a window that writes its whole text to OUTPUT after every change, and
// appends each key press but lone modifiers and locks, as Qt names it ("Ctrl+V"), to OUTPUT.keys.
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QSaveFile>

namespace {

// Through a temporary file and a rename: a reader never sees half of a paste.
void record(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(bytes);
    file.commit();
}

class Target : public QPlainTextEdit {
public:
    explicit Target(const QString& path) : keys_(path + QStringLiteral(".keys")) {
        keys_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
        connect(this, &QPlainTextEdit::textChanged,
                [this, path] { record(path, toPlainText().toUtf8()); });
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        // Shift, Control, Meta, Alt, CapsLock, NumLock and ScrollLock are one run of codes.
        const int key = event->key();
        if ((key < Qt::Key_Shift || key > Qt::Key_ScrollLock) && key != Qt::Key_AltGr &&
            key != Qt::Key_Super_L && key != Qt::Key_Super_R)
            keys_.write(QKeySequence(event->keyCombination()).toString().toUtf8() + '\n');
        QPlainTextEdit::keyPressEvent(event);
    }

private:
    QFile keys_;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    record(path, {});
    Target editor(path);
    editor.setWindowTitle(QStringLiteral("Paste Target"));
    editor.resize(480, 320);
    editor.show();  // the tests hand it the focus
    return app.exec();
}
