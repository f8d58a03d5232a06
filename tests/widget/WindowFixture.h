#pragma once

#include <QMenu>

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>
#include <optional>

#include "support/EngineHarness.h"
#include "support/FakeServices.h"
#include "ui/CopiedTextField.h"
#include "ui/DocumentView.h"
#include "ui/FieldEditor.h"
#include "ui/IndexTextField.h"
#include "ui/Metrics.h"
#include "ui/MyWindow.h"
#include "ui/UserInterface.h"

namespace tarnwick::test {

// The real window on the real engine, with fake clipboard, main-thread queue,
// key sender and alert. The test thread plays the main thread.
class WindowTest : public testing::Test {
protected:
    WindowTest() : ui({harness.engine, keySender, alert}) {}
    void SetUp() override { ui.help(); }

    BufferChecker& engine() { return harness.engine; }
    DocumentView& doc() { return *ui.documentView; }
    FieldEditor& editor() { return *doc().editor(); }

    // Adds texts as the polling step would, oldest first.
    void addRows(const QStringList& oldestFirst) {
        for (const QString& text : oldestFirst) engine().history().add(text);
        engine().publish();
    }

    CopiedTextField* copied(int row) { return doc().copiedAt(row); }
    IndexTextField* index(int row) { return doc().indexAt(row); }
    QPoint centre(const RowField* field) { return doc().qtRect(field).center(); }

    void click(const RowField* field, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(&doc(), button, Qt::NoModifier, centre(field));
    }

    // One row per history entry, entry i the text of row i + 1; every index
    // field showing its row number.
    void expectInvariants() {
        const int n = doc().rowCount();
        EXPECT_EQ(engine().bufferArray, doc().rowTexts());
        for (int row = 1; row <= n; ++row) {
            if (doc().editingField() == index(row)) continue;
            EXPECT_EQ(index(row)->stringValue(), QString::number(row));
        }
        double rowsHeight = 0;
        for (int row = 1; row <= n; ++row) rowsHeight += copied(row)->frame.height;
        EXPECT_EQ(doc().frameHeight(), 2 * gapAroundCopiedText + rowsHeight);
    }

    std::optional<QString> clipboard() { return harness.pasteboard.string(); }

    // Opens the field's menu with a real right click and hides it again, as
    // the user would after choosing; the caller triggers the chosen action.
    QMenu& menuOf(RowField* field) {
        click(field, Qt::RightButton);
        QMenu* menu = field->menu();
        EXPECT_NE(menu, nullptr);
        menu->hide();
        return *menu;
    }
    void choose(RowField* field, const QString& title) {
        for (QAction* action : menuOf(field).actions())
            if (action->text() == title) return action->trigger();
        ADD_FAILURE() << "no item " << title.toStdString();
    }

    // Types text into the field editor one key at a time.
    void type(const QString& text) {
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Click, &editor(), Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        }
    }

    void clickOnWindow() {
        QTest::mouseClick(ui.helpWindow, Qt::LeftButton, Qt::NoModifier, QPoint(395, 10));
    }
    // A press and release on the row's expand button.
    void pressExpandButton(CopiedTextField* field) {
        ASSERT_NE(field->expandButton(), nullptr);
        QTest::mouseClick(&doc(), Qt::LeftButton, Qt::NoModifier,
                          doc().expandButtonRect(field).center());
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
