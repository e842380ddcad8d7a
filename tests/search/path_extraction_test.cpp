#include <gtest/gtest.h>

#include "search_fixture.h"

namespace {

// Writes points into PathPoints with the end entries after them, as extraction does.
void WritePath(GridSearch& search, const CellList& points) {
    for (uint32_t i = 0; i < points.size(); i++) {
        search.PathPoints[i] = {points[i].first, points[i].second};
    }
    for (uint32_t i = static_cast<uint32_t>(points.size());
         i < points.size() + 3 && i < PATH_CAPACITY; i++) {
        search.PathPoints[i].x = 0;
    }
}

// n distinct points on open ground, none in column 0, so every pair sees each other.
CellList OpenGroundPoints(uint32_t n) {
    CellList points;
    for (uint32_t i = 0; i < n; i++) {
        points.emplace_back(1 + i % 700, 1 + i / 700);
    }
    return points;
}

// A chain of nodes from the goal back to the start, taken from the search's pool.
SearchNode* MakeChain(GridSearch& search, const CellList& goalToStart) {
    SearchNode* child = nullptr;
    SearchNode* first = nullptr;
    for (const Cell& cell : goalToStart) {
        SearchNode* node = search.AllocNode();
        search.ClosedList.push_back(node);
        *node = {cell.first, cell.second, 0, 0, 0, nullptr};
        if (child != nullptr) {
            child->parent = node;
        } else {
            first = node;
        }
        child = node;
    }
    return first;
}

} // namespace

TEST(AdvancedFilter, PassesHalveAStraightRunUntilTwoPointsOrTenPasses) {
    SearchSettings settings(10);
    auto search = NewSearch();
    // Each starting size is the size after one pass of the size before it, so
    // the number of passes run (LoopJ) pins down every pass's result.
    struct Case {
        uint32_t points;
        uint32_t passes;
    };
    const Case cases[] = {{999, 10}, {500, 9}, {251, 8}, {126, 7}, {64, 6},
                          {33, 5},   {17, 4},  {9, 3},   {5, 2},   {3, 1},
                          {10, 4},   {6, 3},   {4, 2},   {2, 0},   {1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.points << " points");
        CellList points = OpenGroundPoints(c.points);
        WritePath(*search, points);
        search->AdvancedFilter();
        EXPECT_EQ(search->LoopJ, c.passes);
        CellList expected = {points.front()};
        if (c.points > 1) {
            expected.push_back(points.back()); // the ends are never dropped
        }
        EXPECT_EQ(ReadPath(*search), expected);
        // The end entry and the two after it read as ends.
        for (uint32_t i = static_cast<uint32_t>(expected.size()); i < expected.size() + 3; i++) {
            EXPECT_EQ(search->PathPoints[i].x, 0u) << "entry " << i;
        }
    }
}

TEST(AdvancedFilter, KeepsPointsThatDoNotSeeEachOtherThroughAllTenPasses) {
    SearchSettings settings(10);
    auto search = NewSearch();
    // (1,1) -> (3,1) -> (3,3): the first and the last are separated by a wall cell.
    search->Cells[2][2] = CELL_BLOCKED;
    WritePath(*search, {{1, 1}, {3, 1}, {3, 3}});
    search->AdvancedFilter();
    EXPECT_EQ(search->LoopJ, 10u);
    EXPECT_EQ(ReadPath(*search), (CellList{{1, 1}, {3, 1}, {3, 3}}));
}

TEST(AdvancedFilter, GoalInColumnZeroEmptiesTheList) {
    SearchSettings settings(10);
    auto search = NewSearch();
    WritePath(*search, {{0, 5}, {3, 5}, {4, 5}, {5, 5}});
    search->AdvancedFilter();
    EXPECT_TRUE(ReadPath(*search).empty());
    EXPECT_EQ(search->PathPoints[1].x, 0u);
    EXPECT_EQ(search->PathPoints[2].x, 0u);
}

TEST(ExtractPath, WritesTheChainGoalFirstWithThreeEndEntries) {
    SearchSettings settings(10);
    auto search = NewSearch();
    WritePath(*search, OpenGroundPoints(20)); // an older, longer path
    search->CurrentNode = MakeChain(*search, {{7, 3}, {6, 3}, {5, 4}});
    search->ExtractPath(7, 3);
    EXPECT_EQ(ReadPath(*search), (CellList{{7, 3}, {6, 3}, {5, 4}}));
    for (uint32_t i = 3; i < 6; i++) {
        EXPECT_EQ(search->PathPoints[i].x, 0u) << "entry " << i;
    }
    EXPECT_EQ(search->CurrentNode, nullptr);
}

TEST(ExtractPath, StraightLineFinishPutsTheGoalFirstAndClearsTheFlag) {
    SearchSettings settings(10);
    auto search = NewSearch();
    search->CurrentNode = MakeChain(*search, {{4, 4}, {3, 3}});
    search->StraightLineFound = true;
    search->ExtractPath(9, 4);
    EXPECT_EQ(ReadPath(*search), (CellList{{9, 4}, {4, 4}, {3, 3}}));
    EXPECT_FALSE(search->StraightLineFound);
}

TEST(ExtractPath, LongChainKeepsThe999PointsNearestTheGoal) {
    SearchSettings settings(1);
    auto search = NewSearch();
    CellList chain = OpenGroundPoints(1500);
    search->CurrentNode = MakeChain(*search, chain);
    search->ExtractPath(chain[0].first, chain[0].second);
    CellList kept = ReadPath(*search);
    ASSERT_EQ(kept.size(), 999u);
    EXPECT_EQ(kept.front(), chain.front());
    EXPECT_EQ(kept.back(), chain[998]);
    EXPECT_EQ(search->CurrentNode, nullptr);

    // The filter then works on the full list without reading past the array.
    UseAdvancedFiltering = SWITCH_ON;
    search->CurrentNode = MakeChain(*search, chain);
    search->ExtractPath(chain[0].first, chain[0].second);
    EXPECT_EQ(ReadPath(*search), (CellList{chain.front(), chain[998]}));
}
