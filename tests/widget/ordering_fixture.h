#pragma once

#include <QMenu>
#include <QStringList>

#include "WindowFixture.h"

namespace tarnwick::test {

// Rows written as in the tables of row moves: texts from row 1 down, a star
// after a pinned row's text, "_" for an empty text ("A B* _ C").
struct RowsNotation {
    QStringList texts;
    std::vector<bool> pinned;  // by row, row 1 first
};

inline RowsNotation parseRows(const QString& notation) {
    RowsNotation rows;
    for (QString word : notation.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const bool pinned = word.endsWith(QLatin1Char('*'));
        if (pinned) word.chop(1);
        rows.texts << (word == QLatin1String("_") ? QString() : word);
        rows.pinned.push_back(pinned);
    }
    return rows;
}

// The window with rows set up from the notation, through the same row adding
// that copies take, and the clipboard holding entry 0 as after a real copy.
class RowsTest : public WindowTest {
protected:
    void SetUp() override { ui.help(); }

    void setRows(const QString& notation) {
        const RowsNotation rows = parseRows(notation);
        QStringList oldestFirst = rows.texts;
        std::reverse(oldestFirst.begin(), oldestFirst.end());
        addRows(oldestFirst);
        for (std::size_t r = 0; r < rows.pinned.size(); ++r) {
            if (rows.pinned[r]) index(static_cast<int>(r) + 1)->togglePinned();
        }
        if (!rows.texts.isEmpty()) harness.pasteboard.copyFromOtherApp(rows.texts.first());
        writesBefore = harness.pasteboard.writes.size();
    }

    // The rows in the notation, read from the window.
    QString shownRows() {
        QStringList words;
        for (int row = 1; row <= doc().count() / 2; ++row) {
            const QString text = copied(row)->stringValue();
            words << (text.isEmpty() ? QStringLiteral("_") : text) +
                         (index(row)->pinned ? QStringLiteral("*") : QString());
        }
        return words.join(QLatin1Char(' '));
    }

    // Rows in pairs, copied field first; one row per history entry, entry i
    // the text of row i + 1; every index field showing its row number.
    void expectInvariants() {
        const int n = doc().count();
        ASSERT_EQ(n % 2, 0);
        for (int p = 0; p < n; ++p) {
            const bool isIndex = dynamic_cast<UserInterface::IndexTextField*>(doc().at(p));
            const bool isCopied = dynamic_cast<UserInterface::CopiedTextField*>(doc().at(p));
            ASSERT_TRUE(p % 2 == 1 ? isIndex : isCopied) << "position " << p;
        }
        EXPECT_EQ(engine().bufferArray, doc().rowTexts());
        for (int row = 1; row <= n / 2; ++row) {
            if (doc().editingField() == index(row)) continue;
            EXPECT_EQ(index(row)->stringValue(), QString::number(row));
        }
        double rowsHeight = 0;
        for (int row = 1; row <= n / 2; ++row) rowsHeight += copied(row)->frame.height;
        EXPECT_EQ(doc().frameHeight(), 2 * gapAroundCopiedText + rowsHeight);
    }

    std::optional<QString> clipboard() { return harness.pasteboard.string(); }
    int clipboardWrites() const { return harness.pasteboard.writes.size() - writesBefore; }

    // Opens the field's menu with a real right click and hides it again, as
    // the user would after choosing; the caller triggers the chosen action.
    QMenu& menuOf(RowField* field) {
        click(field, Qt::RightButton);
        QMenu* menu = nullptr;
        if (auto* i = dynamic_cast<UserInterface::IndexTextField*>(field)) menu = i->myMenu.get();
        if (auto* c = dynamic_cast<UserInterface::CopiedTextField*>(field)) menu = c->myMenu.get();
        EXPECT_NE(menu, nullptr);
        menu->hide();
        return *menu;
    }
    QAction* item(QMenu& menu, const QString& title) {
        for (QAction* action : menu.actions()) {
            if (action->text() == title) return action;
        }
        ADD_FAILURE() << "no item " << title.toStdString();
        return nullptr;
    }
    void choose(RowField* field, const QString& title) {
        QAction* action = item(menuOf(field), title);
        if (action) action->trigger();
    }

    // Types into the field editor as keys, any character.
    void typeKeys(const QString& text) {
        for (const QChar c : text) {
            QTest::sendKeyEvent(QTest::Click, &editor(), Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        }
    }

    void clickOnWindow() {
        QTest::mouseClick(ui.helpWindow, Qt::LeftButton, Qt::NoModifier, QPoint(395, 10));
    }
    // Another application copies text; waits until it is the newest entry.
    bool copyToRowOne(const QString& text) {
        harness.pasteboard.copyFromOtherApp(text);
        return harness.pumpUntil([&] {
            return !engine().bufferArray.isEmpty() && engine().bufferArray.first() == text;
        });
    }

    // A press and release on the row's expand button.
    void pressExpandButton(UserInterface::CopiedTextField* field) {
        ASSERT_NE(field->expandButton, nullptr);
        QTest::mouseClick(&doc(), Qt::LeftButton, Qt::NoModifier,
                          doc().expandButtonRect(field).center());
    }

    int writesBefore = 0;
};

}  // namespace tarnwick::test
