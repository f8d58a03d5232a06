// SPDX-License-Identifier: MIT
// Random user operations on the real window and engine, checked after every
// step against the row rules' reference and what the window adds around them.
#include <QRegularExpression>
#include <random>

#include "WindowFixture.h"
#include "support/RowRules.h"
#include "ui/RowHeights.h"

namespace tarnwick::test {
namespace {

struct Row {
    int id = 0;  // stays with the row while it moves
    QString text;
    bool pinned = false, menuBuilt = false, pinItem = false;
};

// What the user sees: rows, clipboard, pending index edit, menus and sounds.
struct Model {
    std::vector<Row> rows;  // row 1 first
    std::optional<QString> clipboard;
    QString lastAdded;
    std::optional<int> pending;  // id of the index field whose edit is pending
    int beeps = 0, nextId = 0;

    int rowOf(int id) const {
        const auto row = std::ranges::find(rows, id, &Row::id);
        return row == rows.end() ? 0 : static_cast<int>(row - rows.begin()) + 1;
    }
    // A polling pass takes a text that is neither entry 0 nor the last one taken.
    void poll() {
        if (!clipboard) return;
        if (!rows.empty() && (*clipboard == rows.front().text || *clipboard == lastAdded)) return;
        rows = reference::added(rows, Row{nextId++, *clipboard});
        lastAdded = *clipboard;
    }
    // A click commits the pending edit, which by then shows its own number:
    // nothing moves, but an unpinned row 1 puts entry 0 on the clipboard again.
    void commitPending() {
        if (pending && rowOf(*pending) == 1 && !rows.front().pinned) clipboard = rows.front().text;
    }
    void endPending() { commitPending(), pending.reset(); }
    void rightClickIndex(int id) {
        commitPending();
        pending = id;
        Row& row = rows[rowOf(id) - 1];
        if (!row.menuBuilt) row.pinItem = rowOf(id) <= 10;
        row.menuBuilt = true;
    }
    void commitTyped(int id, const QString& typed) {
        static const QRegularExpression form(QStringLiteral("^[+-]?[0-9]{1,18}$"));
        if (!form.match(typed).hasMatch()) return void(++beeps);
        const int from = rowOf(id);
        const int to = int(std::clamp<long long>(typed.toLongLong(), 1, (long long)rows.size()));
        if (rows[to - 1].pinned) return void(beeps += to != from);
        rows = reference::moved(rows, from, to);
        if (from == 1 || to == 1) clipboard = rows.front().text;
    }
    void deleteRow(int id) {
        pending.reset();
        rows = reference::deleted(rows, rowOf(id), Row{nextId++, QString()});
        clipboard = rows.empty() ? std::nullopt : std::optional(rows.front().text);
    }
};

class RandomOperations : public WindowTest, public testing::WithParamInterface<unsigned> {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        harness.start();
    }
    int randomInt(int low, int high) { return std::uniform_int_distribution(low, high)(random); }
    int randomRow() { return randomInt(1, static_cast<int>(ref.rows.size())); }

    // Each operation acts on the window and on the model.
    void copy() {
        static const char* const pool[] = {"a", "b", "c", "d", "e", "f", "m\nn", "p\nq\nr"};
        QString text = pool[randomInt(0, 7)];
        if (randomInt(0, 3) == 0) text = QStringLiteral("u%1").arg(randomInt(0, 99));
        step = "copy " + text;
        harness.pasteboard.copyFromOtherApp(text);
        ASSERT_TRUE(harness.pumpUntil([&] { return !engine().publishedMayHaveUnpolledCopy(); }));
        ref.clipboard = text;
        ref.poll();
    }
    void moveByTypedNumber(int row, int id) {
        static const char* const odd[] = {"", "x", " 1", "2 ", "+2", "007", "-1", "1e3"};
        QString typed = QString::number(randomInt(-1, static_cast<int>(ref.rows.size()) + 2));
        if (randomInt(0, 4) == 0) typed = odd[randomInt(0, 7)];
        const bool viaReturn = randomInt(0, 1) == 0;
        step = QString("row %1 typed '%2' %3").arg(row).arg(typed, viaReturn ? "Return" : "click");
        click(row, Part::number);
        ref.commitPending();
        ref.pending = id;
        QTest::keyClick(&editor(), Qt::Key_Backspace);
        type(typed);
        if (viaReturn)
            QTest::keyClick(&editor(), Qt::Key_Return);  // the edit stays pending
        else
            clickOnWindow(), ref.pending.reset();
        ref.commitTyped(id, typed);
    }
    void togglePin(int row, int id) {
        step = QStringLiteral("pin menu of row %1").arg(row);
        QMenu& menu = menuOf(row, Part::number);
        ref.rightClickIndex(id);
        Row& modelRow = ref.rows[row - 1];
        QStringList titles, expected{"Delete", "Delete All"};
        for (QAction* action : menu.actions()) titles << action->text();
        if (modelRow.pinItem) expected << "" << (modelRow.pinned ? "Unpin" : "Pin");
        ASSERT_EQ(titles, expected);
        if (!modelRow.pinItem) return;
        menu.actions().back()->trigger();
        modelRow.pinned = !modelRow.pinned;
    }
    void deleteOne(int row, int id) {
        const bool fromIndex = randomInt(0, 1) == 0;
        step = QString("delete row %1 from the %2 menu").arg(row).arg(fromIndex ? "index" : "text");
        choose(row, fromIndex ? Part::number : Part::text, QStringLiteral("Delete"));
        fromIndex ? ref.rightClickIndex(id) : ref.commitPending();
        ref.deleteRow(id);
    }
    void deleteAll(int row) {
        step = QStringLiteral("delete all from row %1").arg(row);
        choose(row, Part::text, QStringLiteral("Delete All"));
        ref.commitPending();
        ref = Model{{}, {}, ref.lastAdded, {}, ref.beeps, ref.nextId};
    }
    void edit(int row) {
        static const char* const pool[] = {"a", "b", "x", "y\nz", "", "c\n", "\n\n"};
        const QString text = pool[randomInt(0, 6)];
        step = QString("edit row %1 to '%2'").arg(QString::number(row), text);
        // Every key that changes the text writes the history; none may.
        const bool changes = !engine().history().text(row).isEmpty() || !text.isEmpty();
        click(row, Part::text);
        ref.endPending();
        // A click in a row already edited only places the caret.
        QTest::keyClick(&editor(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&editor(), Qt::Key_Backspace);
        for (const QChar c : text) c == '\n' ? QTest::keyClick(&editor(), Qt::Key_Return) : type(c);
        if (!changes) return;
        ref.rows[row - 1].text = text;
        if (row == 1) ref.clipboard = text;
    }

    void randomOperation() {
        if (ref.rows.empty()) return copy();
        const int pick = randomInt(0, 99), row = randomRow(), id = ref.rows[row - 1].id;
        // Mostly short histories, so that the bottom row often offers the pin.
        if (pick < (ref.rows.size() < 8 ? 30 : 8)) return copy();
        if (pick < 50) return moveByTypedNumber(row, id);
        if (pick < 65) return togglePin(row, id);
        if (pick < 75) return deleteOne(row, id);
        if (pick < 76) return deleteAll(row);
        if (pick < 88) return edit(row);
        if (pick < 95) {
            step = QStringLiteral("expand button of row %1").arg(row);
            if (view().hasButton(row)) pressExpandButton(row);
            return;
        }
        step = "click on the window";
        clickOnWindow();
        ref.endPending();
    }

    // Menus and expansion stay with their rows.
    void expectMatchesModel() {
        harness.mainThread.runPending();  // a polling step that is due
        const HistoryModel& history = engine().history();
        ASSERT_EQ(history.count(), static_cast<int>(ref.rows.size()));
        int rowsHeight = 0;
        for (int row = 1; row <= history.count(); ++row) {
            SCOPED_TRACE(row);
            const Row& expected = ref.rows[row - 1];
            ASSERT_EQ(history.text(row), expected.text);
            ASSERT_EQ(history.pinned(row), expected.pinned);
            ASSERT_EQ(view().numberMenu(row) != nullptr, expected.menuBuilt);
            const int height = view().rowRect(row).height();
            ASSERT_EQ(height,
                      view().isExpanded(row) ? rows::expandedRowHeight(expected.text) : tfHt);
            rowsHeight += height;
        }
        ASSERT_EQ(view().documentHeight(), 2 * gapAroundCopiedText + rowsHeight);
        ASSERT_EQ(clipboard(), ref.clipboard);
        ASSERT_EQ(alert.beeps, ref.beeps);
        ASSERT_EQ(view().pendingRow(), ref.pending ? ref.rowOf(*ref.pending) : 0);
        ASSERT_TRUE(engine().updateBuffer.value());
    }

    std::mt19937 random{GetParam()};
    Model ref;
    QString step;
};

TEST_P(RandomOperations, RowsHistoryAndClipboardFollowTheRules) {
    for (int i = 0; i < 1200; ++i) {
        randomOperation();
        const std::string done = QStringLiteral("step %1: %2").arg(i).arg(step).toStdString();
        if (HasFatalFailure()) FAIL() << done;
        SCOPED_TRACE(done);
        expectMatchesModel();
        if (HasFailure()) return;
    }
}

INSTANTIATE_TEST_SUITE_P(FixedSeeds, RandomOperations, testing::Values(1u, 2u, 3u));

}  // namespace
}  // namespace tarnwick::test
