// Thousands of random user operations on the real window, with copies arriving
// through the real engine and its polling thread, checked after every step
// against the reference of the row rules and what the window adds around them.
#include <QRegularExpression>
#include <map>
#include <random>

#include "WindowFixture.h"
#include "support/RowRules.h"
#include "ui/MyExpandButton.h"

namespace tarnwick::test {
namespace {

using IndexTextField = IndexTextField;

namespace model {

struct Row {
    int id = 0;  // stays with the row while it moves
    QString text;
    bool pinned = false;
    bool menuBuilt = false;
    bool pinItem = false;
};

// What the user sees: the rows by the shared reference, plus the clipboard,
// the pending index edit, the menus and the alert sounds around them.
class Reference {
public:
    std::vector<Row> rows;  // row 1 first
    std::optional<QString> clipboard;
    QString lastAdded;
    std::optional<int> pending;  // id of the index field whose edit is pending
    int beeps = 0;
    int nextId = 0;

    int rowOf(int id) const {
        for (std::size_t r = 0; r < rows.size(); ++r)
            if (rows[r].id == id) return static_cast<int>(r) + 1;
        return 0;
    }

    // A polling pass takes a clipboard text that is neither entry 0 nor the
    // last text taken.
    void poll() {
        if (!clipboard) return;
        if (!rows.empty() && (*clipboard == rows.front().text || *clipboard == lastAdded)) return;
        rows = reference::added(rows, Row{nextId++, *clipboard});
        lastAdded = *clipboard;
    }

    // Every click in the rows or on the window first commits the pending edit,
    // which by then shows its own row number: nothing moves, but a row 1 that
    // is not pinned puts entry 0 on the clipboard again.
    void commitPending() {
        if (pending && rowOf(*pending) == 1 && !rows.front().pinned) clipboard = rows.front().text;
    }

    void rightClickIndex(int id) {
        commitPending();
        pending = id;
        Row& row = rows[rowOf(id) - 1];
        if (row.menuBuilt) return;
        row.menuBuilt = true;
        row.pinItem = rowOf(id) <= 10;
    }

    void commitTyped(int id, const QString& typed) {
        static const QRegularExpression form(QStringLiteral("^[+-]?[0-9]{1,18}$"));
        if (!form.match(typed).hasMatch()) {
            ++beeps;
            return;
        }
        const int count = static_cast<int>(rows.size());
        const int from = rowOf(id);
        const int to = static_cast<int>(std::clamp<long long>(typed.toLongLong(), 1, count));
        if (rows[to - 1].pinned) {
            if (to != from) ++beeps;
            return;
        }
        rows = reference::moved(rows, from, to);
        if (from == 1 || to == 1) clipboard = rows.front().text;
    }

    void deleteRow(int id) {
        pending.reset();
        rows = reference::deleted(rows, rowOf(id), Row{nextId++, QString()});
        clipboard = rows.empty() ? std::nullopt : std::optional<QString>(rows.front().text);
    }

    void deleteAll() {
        pending.reset();
        rows.clear();
        clipboard.reset();
    }

    void edit(int id, const QString& text) {
        const int row = rowOf(id);
        rows[row - 1].text = text;
        if (row == 1) clipboard = text;
    }
};

}  // namespace model

class RandomOperations : public WindowTest, public testing::WithParamInterface<unsigned> {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        harness.start();
    }

    int randomInt(int low, int high) { return std::uniform_int_distribution(low, high)(random); }
    int randomRow() { return randomInt(1, static_cast<int>(ref.rows.size())); }
    int idOf(int row) const { return ref.rows[row - 1].id; }

    // One function per operation: each does it in the window and in the model.
    void copy() {
        static const char* const pool[] = {"a", "b", "c", "d", "e", "f", "m\nn", "p\nq\nr"};
        QString text = QString::fromUtf8(pool[randomInt(0, 7)]);
        if (randomInt(0, 3) == 0) text = QStringLiteral("u%1").arg(randomInt(0, 99));
        step = QStringLiteral("copy \"%1\"").arg(text);
        harness.pasteboard.copyFromOtherApp(text);
        engine().clipboardMayHaveChanged();  // as the platform reports it
        ASSERT_TRUE(harness.pumpUntil([&] { return !engine().publishedMayHaveUnpolledCopy(); }));
        ref.clipboard = text;
        ref.poll();
    }

    void moveByTypedNumber() {
        static const char* const odd[] = {"", "x", " 1", "2 ", "+2", "007", "-1", "1e3"};
        const int row = randomRow();
        QString typed = QString::number(randomInt(-1, static_cast<int>(ref.rows.size()) + 2));
        if (randomInt(0, 4) == 0) typed = QString::fromUtf8(odd[randomInt(0, 7)]);
        const bool viaReturn = randomInt(0, 1) == 0;
        step = QStringLiteral("row %1 typed \"%2\" %3")
                   .arg(row)
                   .arg(typed, viaReturn ? "Return" : "click");
        const int id = idOf(row);
        click(index(row));
        ref.commitPending();
        ref.pending = id;
        QTest::keyClick(&editor(), Qt::Key_Backspace);
        type(typed);
        if (viaReturn) {
            QTest::keyClick(&editor(), Qt::Key_Return);
        } else {
            clickOnWindow();
            ref.pending.reset();
        }
        ref.commitTyped(id, typed);
    }

    void togglePin() {
        const int row = randomRow();
        step = QStringLiteral("pin menu of row %1").arg(row);
        const int id = idOf(row);
        QMenu& menu = menuOf(index(row));
        ref.rightClickIndex(id);
        model::Row& modelRow = ref.rows[row - 1];
        const QString title = modelRow.pinned ? QStringLiteral("Unpin") : QStringLiteral("Pin");
        QAction* pin = nullptr;
        for (QAction* action : menu.actions()) {
            if (action->text() == title) pin = action;
        }
        ASSERT_EQ(pin != nullptr, modelRow.pinItem) << "pin item";
        if (!pin) return;
        pin->trigger();
        modelRow.pinned = !modelRow.pinned;
    }

    void deleteOne() {
        const int row = randomRow();
        const bool fromIndex = randomInt(0, 1) == 0;
        step = QStringLiteral("delete row %1 from the %2 menu")
                   .arg(row)
                   .arg(fromIndex ? "index" : "text");
        const int id = idOf(row);
        if (fromIndex) {
            choose(index(row), QStringLiteral("Delete"));
            ref.rightClickIndex(id);
        } else {
            choose(copied(row), QStringLiteral("Delete"));
            ref.commitPending();
        }
        ref.deleteRow(id);
        fields.erase(id);
    }

    void deleteEverything() {
        const int row = randomRow();
        step = QStringLiteral("delete all from row %1").arg(row);
        choose(copied(row), QStringLiteral("Delete All"));
        ref.commitPending();
        ref.deleteAll();
        fields.clear();
    }

    void edit() {
        static const char* const pool[] = {"a", "b", "x", "y\nz", "", "c\n", "\n\n"};
        const int row = randomRow();
        const QString text = QString::fromUtf8(pool[randomInt(0, 6)]);
        step = QStringLiteral("edit row %1 to \"%2\"").arg(row).arg(text);
        // Every key that changes the text writes the history; none may.
        const bool changes = !copied(row)->stringValue().isEmpty() || !text.isEmpty();
        click(copied(row));
        ref.commitPending();
        ref.pending.reset();
        QTest::keyClick(&editor(), Qt::Key_Backspace);
        for (const QChar c : text) {
            if (c == QLatin1Char('\n')) {
                QTest::keyClick(&editor(), Qt::Key_Return);
            } else {
                type(QString(c));
            }
        }
        if (changes) ref.edit(idOf(row), text);
    }

    void pressExpand() {
        const int row = randomRow();
        step = QStringLiteral("expand button of row %1").arg(row);
        if (copied(row)->expandButton()) pressExpandButton(copied(row));
    }

    void clickWindow() {
        step = QStringLiteral("click on the window");
        clickOnWindow();
        ref.commitPending();
        ref.pending.reset();
    }

    void randomOperation() {
        if (ref.rows.empty()) return copy();
        const int pick = randomInt(0, 99);
        // Short histories most of the time, so that the bottom row is often
        // one that can be pinned (rows up to 10 offer the pin).
        const bool few = ref.rows.size() < 8;
        if (pick < (few ? 30 : 8)) return copy();
        if (pick < 50) return moveByTypedNumber();
        if (pick < 65) return togglePin();
        if (pick < 75) return deleteOne();
        if (pick < 76) return deleteEverything();
        if (pick < 88) return edit();
        if (pick < 95) return pressExpand();
        return clickWindow();
    }

    // Rows, history, clipboard, sounds, the pending edit and the menus as the
    // reference has them; rows keep their own fields while they move.
    void expectMatchesReference() {
        mainThreadRuns();
        const int rows = doc().rowCount();
        ASSERT_EQ(rows, static_cast<int>(ref.rows.size()));
        for (int row = 1; row <= rows; ++row) {
            const model::Row& expected = ref.rows[row - 1];
            ASSERT_EQ(copied(row)->stringValue(), expected.text) << "row " << row;
            ASSERT_EQ(index(row)->pinned(), expected.pinned) << "row " << row;
            const auto known = fields.find(expected.id);
            if (known == fields.end()) {
                fields[expected.id] = index(row);
            } else {
                ASSERT_EQ(index(row), known->second) << "row " << row << " is another row";
            }
            ASSERT_EQ(index(row)->myMenu != nullptr, expected.menuBuilt) << "row " << row;
        }
        ASSERT_EQ(engine().bufferArray, doc().rowTexts());
        ASSERT_EQ(clipboard(), ref.clipboard);
        ASSERT_EQ(alert.beeps, ref.beeps);
        IndexTextField* pending = ref.pending ? fields.at(*ref.pending) : nullptr;
        ASSERT_EQ(ui.helpWindow->prevIndexTextFieldWithFocus, pending);
        expectInvariants();
        ASSERT_TRUE(engine().updateBuffer.value());
    }

    // Lets a polling step that is due run, as the event loop would.
    void mainThreadRuns() { harness.mainThread.runPending(); }

    std::mt19937 random{GetParam()};
    model::Reference ref;
    std::map<int, IndexTextField*> fields;  // the index field of each row id
    QString step;
};

TEST_P(RandomOperations, RowsHistoryAndClipboardFollowTheRules) {
    constexpr int steps = 1200;
    for (int i = 0; i < steps; ++i) {
        randomOperation();
        const std::string done = QStringLiteral("step %1: %2").arg(i).arg(step).toStdString();
        if (HasFatalFailure()) FAIL() << done;
        SCOPED_TRACE(done);
        expectMatchesReference();
        if (HasFailure()) return;
    }
}

INSTANTIATE_TEST_SUITE_P(FixedSeeds, RandomOperations, testing::Values(1u, 2u, 3u));

}  // namespace
}  // namespace tarnwick::test
