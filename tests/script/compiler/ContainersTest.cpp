// TIfList growth and compaction at the step boundaries, bad indexes, and TIfStringList's
// ownership of its strings (the sanitizer build checks that deletion frees them).
#include "script/compiler/Containers.h"

#include <gtest/gtest.h>

using namespace lumivar::script;

namespace {

void* Tag(std::uintptr_t i) {
    return reinterpret_cast<void*>(i + 1);
}

struct GrowthCase {
    std::uint32_t adds;
    std::uint32_t deletes; // from the front, after the additions
    std::uint32_t capacity;
};

void PrintTo(const GrowthCase& c, std::ostream* os) { *os << c.adds << " adds, " << c.deletes << " deletes"; }

class ListGrowth : public testing::TestWithParam<GrowthCase> {};

TEST_P(ListGrowth, Capacity) {
    const GrowthCase& c = GetParam();
    TIfList list;
    for (std::uint32_t i = 0; i < c.adds; ++i)
        list.Add(Tag(i));
    for (std::uint32_t i = 0; i < c.deletes; ++i)
        list.Delete(0);
    EXPECT_EQ(list.Capacity(), c.capacity);
    ASSERT_EQ(list.Count(), c.adds - c.deletes);
    for (std::uint32_t i = 0; i < list.Count(); ++i)
        ASSERT_EQ(list.GetItem(i), Tag(i + c.deletes));
}

INSTANTIATE_TEST_SUITE_P(Containers, ListGrowth,
                         testing::Values(GrowthCase{0, 0, 16}, GrowthCase{16, 0, 16},
                                         GrowthCase{17, 0, 48}, GrowthCase{48, 0, 48},
                                         GrowthCase{49, 0, 80},
                                         // 128 changes keep the grown array; the 129th compacts
                                         GrowthCase{128, 0, 144}, GrowthCase{129, 0, 160},
                                         GrowthCase{100, 28, 112}, GrowthCase{100, 29, 96},
                                         // compaction keeps at least 64 slots
                                         GrowthCase{65, 64, 64},
                                         // after a compaction the change count starts again
                                         GrowthCase{129, 128, 160}, GrowthCase{129, 129, 64}));

TEST(Containers, DeletingFromAnEmptyListCountsNoChange) {
    TIfList list;
    for (int i = 0; i < 200; ++i)
        list.Delete(0);
    EXPECT_EQ(list.Capacity(), 16u);
}

TEST(Containers, ClearLeavesSixtyFourSlots) {
    TIfList list;
    for (std::uint32_t i = 0; i < 100; ++i)
        list.Add(Tag(i));
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(list.Capacity(), 64u);
    EXPECT_EQ(list.GetItem(0), nullptr);
}

TEST(Containers, BadIndexesReadNullAndChangeNothing) {
    TIfList list;
    list.Add(Tag(0));
    list.Add(Tag(1));
    EXPECT_EQ(list.GetItem(2), nullptr);
    EXPECT_EQ(list.GetItem(std::uint32_t(-1)), nullptr);
    list.SetItem(2, Tag(9));
    list.Delete(2);
    list.Delete(std::uint32_t(-1));
    ASSERT_EQ(list.Count(), 2u);
    list.SetItem(1, Tag(7));
    EXPECT_EQ(list.GetItem(0), Tag(0));
    EXPECT_EQ(list.GetItem(1), Tag(7));
    list.Delete(0);
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.GetItem(0), Tag(7));
}

TEST(Containers, StringList) {
    TIfStringList list;
    list.Add("one");
    list.Add("two");
    list.Add("three");
    EXPECT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.GetItem(3), "");
    list.SetItem(3, "ignored");
    list.SetItem(1, "TWO");
    list.Delete(0);
    list.Delete(5);
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.GetItem(0), "TWO");
    EXPECT_EQ(list.GetItem(1), "three");
    for (int i = 0; i < 300; ++i)
        list.Add(std::string(40, char('a' + i % 26)));
    EXPECT_EQ(list.Count(), 302u);
    EXPECT_EQ(list.GetItem(301), std::string(40, char('a' + 299 % 26)));
}

} // namespace
