// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <QMenu>
#include <QTest>

#include "support/Fakes.h"
#include "ui/CopiedTextField.h"
#include "ui/DocumentView.h"
#include "ui/FieldEditor.h"
#include "ui/IndexTextField.h"
#include "ui/Metrics.h"
#include "ui/MyExpandButton.h"
#include "ui/MyWindow.h"
#include "ui/UserInterface.h"

namespace tarnwick::test {

// The real window, after its first help, on the real engine over fakes; the
// test thread plays the main thread.
class WindowTest : public testing::Test {
protected:
    WindowTest() : ui({harness.engine, keySender, alert}) {}
    void SetUp() override { ui.help(); }

    BufferChecker& engine() { return harness.engine; }
    DocumentView& doc() { return *ui.documentView; }
    FieldEditor& editor() { return *doc().editor(); }
    std::optional<QString> clipboard() { return harness.pasteboard.string(); }

    // Adds texts as the polling step would, oldest first.
    void addRows(const QStringList& oldestFirst) {
        for (const QString& text : oldestFirst) engine().history().add(text);
        engine().publish();
    }
    CopiedTextField* copied(int row) { return doc().copiedAt(row); }
    IndexTextField* index(int row) { return doc().indexAt(row); }

    // Clicks whatever is drawn on top at the point, as the user would: the
    // field editor over the field being edited, the expand button above it.
    void clickAt(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QWidget* top = doc().childAt(at) ? doc().childAt(at) : &doc();
        QTest::mouseClick(top, button, Qt::NoModifier, top->mapFrom(&doc(), at));
    }
    void click(const RowField* field, Qt::MouseButton button = Qt::LeftButton) {
        clickAt(doc().qtRect(field).center(), button);
    }
    void clickOnWindow() {
        QTest::mouseClick(ui.helpWindow, Qt::LeftButton, Qt::NoModifier, QPoint(395, 10));
    }
    void pressExpandButton(CopiedTextField* field) {
        ASSERT_NE(field->expandButton(), nullptr);
        clickAt(doc().expandButtonRect(field).center());
    }
    bool isExpanded(CopiedTextField* field) {
        return field->expandButton() && field->expandButton()->expanded;
    }

    // Opens the field's menu with a right click and hides it again, as the user
    // would after choosing.
    QMenu& menuOf(RowField* field) {
        click(field, Qt::RightButton);
        field->menu()->hide();
        return *field->menu();
    }
    void choose(RowField* field, const QString& title) {
        for (QAction* action : menuOf(field).actions())
            if (action->text() == title) return action->trigger();
        ADD_FAILURE() << "no item " << title.toStdString();
    }

    // Types text into the field editor one key at a time, or selects from..to in it.
    void type(const QString& text) {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, &editor(), Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
    }
    void select(int from, int to) {
        QTextCursor cursor = editor().textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        editor().setTextCursor(cursor);
    }

    EngineHarness harness;
    FakeKeySender keySender;
    FakeAlert alert;
    UserInterface ui;
};

}  // namespace tarnwick::test
