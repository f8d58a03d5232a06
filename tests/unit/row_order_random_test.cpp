// Random sequences of adds, pins, moves and deletes, each result checked against
// a model that applies the rules as they are stated in words, never the swaps
// the window performs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "ui/RowOrder.h"

namespace tarnwick {
namespace {

struct Row {
    int id = 0;  // fillerId for a new empty row
    bool pinned = false;
    bool operator==(const Row&) const = default;
};
constexpr int fillerId = -1;
using Rows = std::vector<Row>;  // by row number: element 0 is row 1 (history index 0)

std::string show(const Rows& rows) {
    std::string out;
    for (const Row& r : rows)
        out +=
            (r.id == fillerId ? std::string("_") : std::to_string(r.id)) + (r.pinned ? "* " : " ");
    return out;
}

std::vector<bool> pinnedBySlot(const Rows& rows) {
    std::vector<bool> pinned;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) pinned.push_back(it->pinned);
    return pinned;
}

Rows applyOrder(const Rows& rows, const rows::SlotOrder& order) {
    const int count = static_cast<int>(rows.size());
    Rows out(order.size());
    for (std::size_t s = 0; s < order.size(); ++s) {
        const int old = order[s];
        const bool valid = old >= 0 && old < count;
        out[order.size() - 1 - s] =
            valid ? rows[static_cast<std::size_t>(count - 1 - old)] : Row{fillerId, false};
    }
    return out;
}

// Places the rows of queue, in order, into the positions of out from first to
// last that are still free.
void fillFree(Rows& out, std::vector<bool>& taken, const Rows& queue, std::size_t first,
              std::size_t last) {
    auto next = queue.begin();
    for (std::size_t i = first; i <= last && next != queue.end(); ++i)
        if (!taken[i]) out[i] = *next++, taken[i] = true;
}

// After an add: pinned rows keep their row numbers; the new row, then the
// unpinned rows in their order, fill the other row numbers from row 1.
Rows modelAdd(const Rows& rows, int id) {
    Rows out(rows.size() + 1);
    std::vector<bool> taken(out.size(), false);
    Rows queue{{id, false}};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].pinned)
            out[i] = rows[i], taken[i] = true;
        else
            queue.push_back(rows[i]);
    }
    fillFree(out, taken, queue, 0, out.size() - 1);
    return out;
}

// After a move from row a to row k: M at k, pinned rows between keep their
// numbers, the unpinned ones between fill the rest in their order, rows
// outside the range stay.
Rows modelMove(const Rows& rows, int a, int k) {
    const auto lo = static_cast<std::size_t>(std::min(a, k) - 1);
    const auto hi = static_cast<std::size_t>(std::max(a, k) - 1);
    Rows out = rows;
    std::vector<bool> taken(rows.size(), true);
    Rows queue;
    for (std::size_t i = lo; i <= hi; ++i) {
        if (i == static_cast<std::size_t>(a - 1) || !rows[i].pinned) taken[i] = false;
        if (i != static_cast<std::size_t>(a - 1) && !rows[i].pinned) queue.push_back(rows[i]);
    }
    out[static_cast<std::size_t>(k - 1)] = rows[static_cast<std::size_t>(a - 1)];
    taken[static_cast<std::size_t>(k - 1)] = true;
    fillFree(out, taken, queue, lo, hi);
    return out;
}

// After deleting history index d: newer entries stay, older pinned entries keep
// their index, older unpinned ones fill the free indices from d upward, and a
// filler takes the highest free index when the oldest entry is pinned and is
// not the deleted one.
Rows modelDelete(const Rows& rows, std::size_t d) {
    const std::size_t n = rows.size();
    const bool withFiller = rows[n - 1].pinned && d != n - 1;
    Rows out(withFiller ? n : n - 1);
    std::vector<bool> taken(out.size(), false);
    Rows queue;
    for (std::size_t i = 0; i < n; ++i) {
        if (i < d || (i > d && rows[i].pinned))
            out[i] = rows[i], taken[i] = true;
        else if (i > d)
            queue.push_back(rows[i]);
    }
    if (withFiller) queue.push_back({fillerId, false});
    if (!out.empty()) fillFree(out, taken, queue, 0, out.size() - 1);
    return out;
}

struct Counts {
    int adds = 0, pinnedAdds = 0, moves = 0, movesAcrossPins = 0, rejected = 0, deletes = 0,
        fillers = 0;
};

// One random sequence: each step applies the rules to rows and compares the
// result with the model; seen counts the cases the sequence reached.
class RandomSession {
public:
    explicit RandomSession(std::uint32_t seed) : rng_(seed) {}

    void step() {
        const int n = static_cast<int>(rows_.size());
        const int op = n == 0 ? 0 : (n >= 9 ? 1 + pick(4) : pick(5));
        SCOPED_TRACE("rows " + show(rows_));
        if (op == 0)
            add();
        else if (op <= 2)
            rows_[static_cast<std::size_t>(pick(n))].pinned ^= true;
        else if (op == 3)
            typeRowNumber();
        else
            deleteRow();
    }

    Counts seen;

private:
    int pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }

    void add() {
        Rows withNew = rows_;
        withNew.insert(withNew.begin(), Row{nextId_, false});
        const Rows after = applyOrder(withNew, rows::afterAdd(pinnedBySlot(withNew)));
        ASSERT_EQ(after, modelAdd(rows_, nextId_)) << "add " << nextId_;
        if (std::any_of(rows_.begin(), rows_.end(), [](Row r) { return r.pinned; }))
            ++seen.pinnedAdds;
        rows_ = after, ++nextId_, ++seen.adds;
    }

    void typeRowNumber() {
        using Kind = rows::OrderCommit::Kind;
        const int n = static_cast<int>(rows_.size());
        const int own = 1 + pick(n);
        const int typed = pick(n + 6) - 3;
        const int k = std::clamp(typed, 1, n);
        const auto commit =
            rows::decideOrderCommit(QString::number(typed), pinnedBySlot(rows_), own);
        if (rows_[static_cast<std::size_t>(k - 1)].pinned) {
            ASSERT_EQ(commit.kind, k == own ? Kind::unchanged : Kind::rejected)
                << own << " to " << typed;
            ++seen.rejected;
            return;
        }
        ASSERT_EQ(commit.kind, Kind::move) << own << " to " << typed;
        ASSERT_EQ(commit.fromRow, own);
        ASSERT_EQ(commit.toRow, k);
        const Rows after = applyOrder(rows_, rows::afterMove(pinnedBySlot(rows_), own, k));
        ASSERT_EQ(after, modelMove(rows_, own, k)) << "move " << own << " to " << k;
        for (int r = std::min(own, k) + 1; r < std::max(own, k); ++r)
            if (rows_[static_cast<std::size_t>(r - 1)].pinned) {
                ++seen.movesAcrossPins;
                break;
            }
        rows_ = after, ++seen.moves;
    }

    void deleteRow() {
        const int n = static_cast<int>(rows_.size());
        const int d = pick(n);
        const Rows after = applyOrder(rows_, rows::afterDelete(pinnedBySlot(rows_), n - 1 - d));
        ASSERT_EQ(after, modelDelete(rows_, static_cast<std::size_t>(d))) << "delete index " << d;
        rows_ = after, ++seen.deletes;
        for (Row& r : rows_)
            if (r.id == fillerId) r.id = nextId_++, ++seen.fillers;
    }

    std::mt19937 rng_;
    Rows rows_;
    int nextId_ = 1;
};

class RandomRowOperations : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(RandomRowOperations, AgreeWithTheRulesInWords) {
    RandomSession session(GetParam());
    for (int step = 0; step < 5000; ++step) {
        SCOPED_TRACE("seed " + std::to_string(GetParam()) + " step " + std::to_string(step));
        session.step();
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
    }
    // The sequence must have reached the interesting cases, or it proves little.
    const Counts& seen = session.seen;
    EXPECT_GT(seen.pinnedAdds, 100);
    EXPECT_GT(seen.movesAcrossPins, 100);
    EXPECT_GT(seen.rejected, 50);
    EXPECT_GT(seen.fillers, 50);
    EXPECT_GT(seen.deletes, 500);
}

// Every pin pattern of up to eight rows, with every add, move and delete.
TEST(AllSmallRowLists, AgreeWithTheRulesInWords) {
    for (int n = 0; n <= 8; ++n)
        for (unsigned mask = 0; mask < (1u << n); ++mask) {
            Rows rows;
            for (int i = 0; i < n; ++i) rows.push_back({i + 1, (mask >> i & 1u) != 0});
            SCOPED_TRACE(show(rows));
            Rows withNew = rows;
            withNew.insert(withNew.begin(), Row{0, false});
            ASSERT_EQ(applyOrder(withNew, rows::afterAdd(pinnedBySlot(withNew))),
                      modelAdd(rows, 0));
            for (int a = 1; a <= n; ++a) {
                for (int k = 1; k <= n; ++k) {
                    if (k != a && rows[static_cast<std::size_t>(k - 1)].pinned) continue;
                    ASSERT_EQ(applyOrder(rows, rows::afterMove(pinnedBySlot(rows), a, k)),
                              modelMove(rows, a, k))
                        << a << " to " << k;
                }
                const auto d = static_cast<std::size_t>(a - 1);
                ASSERT_EQ(applyOrder(rows, rows::afterDelete(pinnedBySlot(rows), n - a)),
                          modelDelete(rows, d))
                    << "delete index " << d;
            }
        }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomRowOperations, ::testing::Values(1u, 7u, 42u, 2026u, 99991u));

}  // namespace
}  // namespace tarnwick
