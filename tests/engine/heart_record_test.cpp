#include "engine/heart_record.h"

#include <gtest/gtest.h>

#include "tests/engine/heart_fixture.h"

namespace vantrel {
namespace {

TEST(HeartRecord, FindCellIsExactAndReturnsFirstMatch) {
    auto heart = testing::MakeHeart(3);
    heart->cells[1].SetName("His");
    heart->cells[2].SetName("His");
    EXPECT_EQ(heart->FindCell("His"), 1);
    EXPECT_EQ(heart->FindCell("his"), -1);
    EXPECT_EQ(heart->FindCell("Hi"), -1);
    EXPECT_EQ(heart->FindCell(nullptr), -1);
}
}  // namespace
}  // namespace vantrel
