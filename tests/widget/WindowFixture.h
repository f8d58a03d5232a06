// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <QMenu>
#include <QTest>

#include "support/Fakes.h"
#include "ui/FieldEditor.h"
#include "ui/HistoryView.h"
#include "ui/Metrics.h"
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
    HistoryView& view() { return *ui.historyView; }
    FieldEditor& editor() { return *view().editor(); }
    std::optional<QString> clipboard() { return harness.pasteboard.string(); }
    using Part = HistoryView::Part;

    // Adds texts as the polling step would, oldest first.
    void addRows(const QStringList& oldestFirst) {
        for (const QString& text : oldestFirst) engine().history().add(text);
        engine().publish();
    }

    // Clicks whatever is drawn on top at the point, as the user would: the
    // editor over the part being edited, the expand button above it.
    void clickAt(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QWidget* rows = view().viewport();
        QWidget* top = rows->childAt(at) ? rows->childAt(at) : rows;
        QTest::mouseClick(top, button, Qt::NoModifier, top->mapFrom(rows, at));
    }
    void click(int row, Part part, Qt::MouseButton button = Qt::LeftButton) {
        const QRect box = part == Part::number ? view().numberRect(row) : view().textRect(row);
        clickAt(box.center(), button);
    }
    void clickOnWindow() {
        QTest::mouseClick(ui.helpWindow, Qt::LeftButton, Qt::NoModifier, QPoint(395, 10));
    }
    void pressExpandButton(int row) {
        ASSERT_TRUE(view().hasButton(row));
        clickAt(view().buttonRect(row).center());
    }

    // Opens the row's menu with a right click and hides it, as choosing would.
    QMenu& menuOf(int row, Part part) {
        click(row, part, Qt::RightButton);
        QMenu* menu = part == Part::number ? view().numberMenu(row) : view().textMenu(row);
        menu->hide();
        return *menu;
    }
    void choose(int row, Part part, const QString& title) {
        for (QAction* action : menuOf(row, part).actions())
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
