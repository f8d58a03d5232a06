#include <gtest/gtest.h>

#include "ui/RowModel.h"

namespace tarnwick::rowmodel {
namespace {

// Three rows: positions 0..5 hold C3 I3 C2 I2 C1 I1 (slot 0 is the bottom row).
TEST(RowModel, PositionsMapToHistoryIndexAndRowNumber) {
    struct Case {
        int position;
        int index;
        int row;
        int slot;
    };
    const Case cases[] = {{0, 2, 3, 0}, {1, 2, 3, 0}, {2, 1, 2, 1},
                          {3, 1, 2, 1}, {4, 0, 1, 2}, {5, 0, 1, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(historyIndex(6, c.position), c.index);
        EXPECT_EQ(rowNumber(6, c.position), c.row);
        EXPECT_EQ(slotOf(c.position), c.slot);
        EXPECT_EQ(rowNumberOfSlot(3, c.slot), c.row);
    }
}

TEST(RowModel, RowNumbersLeadBackToTheirFields) {
    for (int rows = 1; rows <= 12; ++rows) {
        const int n = 2 * rows;
        for (int row = 1; row <= rows; ++row) {
            SCOPED_TRACE(testing::Message() << rows << " rows, row " << row);
            EXPECT_EQ(indexPosition(n, row), copiedPosition(n, row) + 1);
            EXPECT_EQ(copiedPosition(n, row) % 2, 0);
            EXPECT_EQ(rowNumber(n, copiedPosition(n, row)), row);
            EXPECT_EQ(rowNumber(n, indexPosition(n, row)), row);
        }
    }
}

}  // namespace
}  // namespace tarnwick::rowmodel
