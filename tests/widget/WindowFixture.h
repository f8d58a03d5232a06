#pragma once

#include <QMenu>

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>

#include "app/Globals.h"
#include "support/EngineHarness.h"
#include "support/FakeServices.h"
#include "ui/CopiedTextField.h"
#include "ui/DocumentView.h"
#include "ui/FieldEditor.h"
#include "ui/IndexTextField.h"
#include "ui/MyWindow.h"
#include "ui/RowModel.h"
#include "ui/UserInterface.h"

namespace tarnwick::test {

// The real window on the real engine, with fake clipboard, main-thread queue,
// key sender and alert. The test thread plays the main thread.
class WindowTest : public testing::Test {
protected:
    WindowTest() : ui({harness.engine, keySender, alert}) {
        bufferChecker = &harness.engine;
        tarnwick::ui = &ui;
        cutActionJustMade = false;
        harness.engine.setRowAdder([this](const QString& text) { return ui.addTextField(text); });
    }
    ~WindowTest() override {
        tarnwick::ui = nullptr;
        bufferChecker = nullptr;
    }

    BufferChecker& engine() { return harness.engine; }
    DocumentView& doc() { return *ui.documentView; }
    FieldEditor& editor() { return *doc().editor(); }

    // Adds texts as the polling step would, oldest first.
    void addRows(const QStringList& oldestFirst) {
        for (const QString& text : oldestFirst) engine().bufferArray = ui.addTextField(text);
        engine().publish();
    }

    UserInterface::CopiedTextField* copied(int row) {
        return static_cast<UserInterface::CopiedTextField*>(
            doc().at(rowmodel::copiedPosition(doc().count(), row)));
    }
    UserInterface::IndexTextField* index(int row) {
        return static_cast<UserInterface::IndexTextField*>(
            doc().at(rowmodel::indexPosition(doc().count(), row)));
    }
    QPoint centre(const RowField* field) { return doc().qtRect(field).center(); }

    void click(const RowField* field, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(&doc(), button, Qt::NoModifier, centre(field));
    }
    // Types text into the field editor one key at a time.
    void type(const QString& text) {
        for (const QChar c : text) QTest::keyClick(&editor(), c.toLatin1());
    }

    EngineHarness harness;
    FakeKeySender keySender;
    FakeAlert alert;
    UserInterface ui;
};

// A menu's item titles in order, "---" for a separator.
inline QStringList menuTitles(const QMenu& menu) {
    QStringList out;
    for (const QAction* action : menu.actions()) {
        out << (action->isSeparator() ? QStringLiteral("---") : action->text());
    }
    return out;
}

}  // namespace tarnwick::test
