// The rows a database list hands over to its menu and editor.
#include "ui/database/HandedOverRows.h"

#include <gtest/gtest.h>

namespace kovo {
namespace {

TEST(HandedOverRows, AreSortedUniqueNonNegativeAndBounded) {
    std::vector<int> rows;
    for (int r = 6000; r >= -5; --r)
        rows.push_back(r % 7000);
    rows.push_back(3);
    HandedOverRows handed;
    handed.set(rows);
    ASSERT_EQ(handed.rows().size(), HandedOverRows::kMaxRows);
    EXPECT_EQ(handed.rows().front(), 0);
    EXPECT_EQ(handed.rows().back(), 4999);
    EXPECT_EQ(handed.below(10), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_TRUE(handed.below(0).empty());

    handed.set({});
    EXPECT_TRUE(handed.rows().empty());
}

} // namespace
} // namespace kovo
