#include <gtest/gtest.h>

#include <algorithm>

#include "search_fixture.h"

namespace {

// Sets all but `size` nodes of the pool aside for the life of the object, so
// the next search can make at most `size` nodes.
class PoolLimit {
  public:
    PoolLimit(GridSearch& search, uint32_t size) : search_(search) {
        search_.RecycleNodes();
        held_.assign(search_.FreeList.begin(), search_.FreeList.end() - size);
        search_.FreeList.erase(search_.FreeList.begin(), search_.FreeList.end() - size);
    }
    ~PoolLimit() {
        search_.RecycleNodes();
        search_.FreeList.insert(search_.FreeList.end(), held_.begin(), held_.end());
    }

  private:
    GridSearch& search_;
    std::vector<SearchNode*> held_;
};

struct NodeValues {
    uint32_t x, y, g, f;
    bool operator==(const NodeValues&) const = default;
};

NodeValues ValuesOf(const SearchNode* node) {
    return {node->x, node->y, node->g, node->f};
}

// Everything a search leaves behind for its readers.
struct SearchResult {
    std::vector<uint32_t> visited; // flattened marks of the active region
    std::vector<PathPoint> path;
    std::vector<SearchNode*> open, closed;
    size_t free;

    static SearchResult Of(const GridSearch& search) {
        SearchResult r;
        for (uint32_t x = 0; x < GRID_COLUMNS / CellSize; x++) {
            for (uint32_t y = 0; y < GRID_ROWS / CellSize; y++) {
                r.visited.push_back(search.Cells[x][y]);
            }
        }
        r.path.assign(std::begin(search.PathPoints), std::end(search.PathPoints));
        r.open.assign(search.OpenList.begin(), search.OpenList.end());
        r.closed.assign(search.ClosedList.begin(), search.ClosedList.end());
        r.free = search.FreeList.size();
        return r;
    }
    bool operator==(const SearchResult& o) const {
        return visited == o.visited && open == o.open && closed == o.closed && free == o.free &&
               std::equal(path.begin(), path.end(), o.path.begin(),
                          [](auto& a, auto& b) { return a.x == b.x && a.y == b.y; });
    }
};

size_t NodesInLists(const GridSearch& search) {
    return search.FreeList.size() + search.OpenList.size() + search.ClosedList.size();
}

} // namespace

TEST(FindPath, FirstExpansionMakesDiagonalsThenSidesAndTakesTheEarliestLeastF) {
    struct Case {
        uint32_t weight, goalX, goalY;
        std::vector<NodeValues> created; // the start's eight neighbours, in creation order
        Cell expandedNext;
    };
    const Case cases[] = {
        {0,
         50,
         50,
         {{6, 4, 4, 4},
          {6, 6, 4, 4},
          {4, 6, 4, 4},
          {4, 4, 4, 4},
          {5, 4, 3, 3},
          {6, 5, 3, 3},
          {5, 6, 3, 3},
          {4, 5, 3, 3}},
         {5, 4}},
        {1,
         9,
         5,
         {{6, 4, 4, 14},
          {6, 6, 4, 14},
          {4, 6, 4, 20},
          {4, 4, 4, 20},
          {5, 4, 3, 16},
          {6, 5, 3, 12},
          {5, 6, 3, 16},
          {4, 5, 3, 18}},
         {6, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "weight " << c.weight);
        SearchSettings settings(10, c.weight);
        auto search = NewSearch();
        // Room for the start and its eight neighbours: the search stops when
        // the second expansion asks for a node.
        PoolLimit limit(*search, 9);
        // The pool hands out its last node first, so creation order is the
        // pool's order reversed.
        std::vector<SearchNode*> pool = search->FreeList;
        search->FindPath(5, 5, c.goalX, c.goalY);

        EXPECT_EQ(ValuesOf(pool[8]), (NodeValues{5, 5, 0, pool[8]->h}));
        EXPECT_EQ(pool[8]->parent, nullptr);
        for (uint32_t k = 0; k < 8; k++) {
            SCOPED_TRACE(testing::Message() << "neighbour " << k);
            EXPECT_EQ(ValuesOf(pool[7 - k]), c.created[k]);
            EXPECT_EQ(pool[7 - k]->parent, pool[8]);
        }
        ASSERT_EQ(search->ClosedList.size(), 2u);
        EXPECT_EQ(search->ClosedList[1]->x, c.expandedNext.first);
        EXPECT_EQ(search->ClosedList[1]->y, c.expandedNext.second);
        EXPECT_EQ(search->OpenList.size(), 7u);
    }
}

TEST(FindPath, HeuristicIsTheOctileCostTimesTheWeight) {
    auto search = NewSearch();
    for (uint32_t weight : {0u, 1u, 10u}) {
        SearchSettings settings(10, weight);
        EXPECT_EQ(search->Heuristic(10, 4, 2, 9), static_cast<int32_t>(29 * weight));
        EXPECT_EQ(search->Heuristic(2, 9, 10, 4), static_cast<int32_t>(29 * weight));
        EXPECT_EQ(search->Heuristic(3, 3, 3, 3), 0);
    }
}

TEST(FindPath, PoolExhaustionKeepsTheListsWholeAndTheNextSearchWorks) {
    SearchSettings settings(1);
    auto search = NewSearch();
    search->FindPath(10, 10, 12, 10);
    const CellList previous = ReadPath(*search);
    ASSERT_EQ(previous, (CellList{{12, 10}, {11, 10}, {10, 10}}));

    // Open ground at cell size 1 and a far goal: more than 100000 nodes needed.
    search->FindPath(100, 100, 700, 500);
    EXPECT_EQ(search->Outcome, SearchOutcome::POOL_EXHAUSTED);
    EXPECT_EQ(NodesInLists(*search), NODE_POOL_SIZE);
    EXPECT_TRUE(search->FreeList.empty());
    EXPECT_FALSE(search->OpenList.empty());
    for (const auto* list : {&search->OpenList, &search->ClosedList}) {
        for (const SearchNode* node : *list) {
            ASSERT_NE(node, nullptr);
        }
    }
    EXPECT_EQ(ReadPath(*search), previous);

    search->FindPath(20, 20, 23, 21);
    EXPECT_EQ(ReadPath(*search), (CellList{{23, 21}, {22, 20}, {21, 20}, {20, 20}}));
    EXPECT_EQ(NodesInLists(*search), NODE_POOL_SIZE);
}

TEST(FindPath, RefusedSearchLeavesEverythingAsThePreviousSearchLeftIt) {
    SearchSettings settings(10);
    auto search = NewSearch();
    search->Cells[30][30] = CELL_BLOCKED;
    search->FindPath(5, 5, 9, 7);
    const SearchResult before = SearchResult::Of(*search);
    ASSERT_FALSE(ReadPath(*search).empty());

    struct Case {
        const char* what;
        uint32_t sx, sy, gx, gy;
    };
    const Case cases[] = {
        {"blocked goal", 5, 5, 30, 30},
        {"blocked start", 30, 30, 5, 5},
        {"goal outside the grid", 5, 5, 800, 10},
        {"start outside the grid", 5, 600, 5, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SearchEndCount = SearchStartCount = -1;
        search->FindPath(c.sx, c.sy, c.gx, c.gy);
        EXPECT_EQ(search->Outcome, SearchOutcome::REFUSED);
        EXPECT_TRUE(SearchResult::Of(*search) == before);
        EXPECT_GE(SearchEndCount, SearchStartCount);
        EXPECT_GE(SearchStartCount, 0);
    }
}

TEST(FindPath, ColumnZeroAndRowZeroAreNeverEntered) {
    SearchSettings settings(10);
    auto search = NewSearch();

    // A goal in column 0 (or row 0) cannot be reached by expansion: the search
    // explores every cell with both coordinates at least 1 and gives up.
    for (Cell goal : {Cell{0, 5}, Cell{5, 0}}) {
        SCOPED_TRACE(testing::Message() << "goal (" << goal.first << ", " << goal.second << ")");
        search->FindPath(5, 5, goal.first, goal.second);
        EXPECT_EQ(search->Outcome, SearchOutcome::NO_PATH);
        EXPECT_EQ(search->ClosedList.size(), 79u * 59u);
        EXPECT_TRUE(search->OpenList.empty());
        for (uint32_t i = 0; i < 80; i++) {
            EXPECT_EQ(search->Cells[i][0] & CELL_VISITED, 0u);
        }
        for (uint32_t j = 0; j < 60; j++) {
            EXPECT_EQ(search->Cells[0][j] & CELL_VISITED, 0u);
        }
    }

    // Seen in a straight line, it ends the search, but its entry reads as the
    // end of the list.
    UseStraightLineCheck = SWITCH_ON;
    search->FindPath(5, 5, 0, 5);
    EXPECT_TRUE(ReadPath(*search).empty());
    EXPECT_EQ(search->PathPoints[1].x, 5u);
    EXPECT_EQ(search->ClosedList.size(), 1u);
}

TEST(FindPath, StartInColumnZeroEndsTheListOnePointShort) {
    SearchSettings settings(10);
    auto search = NewSearch();
    // One free row: cells (0..10, 5).
    for (uint32_t x = 0; x < 80; x++) {
        for (uint32_t y = 0; y < 60; y++) {
            search->Cells[x][y] = (y == 5 && x <= 10) ? 0 : CELL_BLOCKED;
        }
    }
    search->FindPath(0, 5, 5, 5);
    EXPECT_EQ(ReadPath(*search), (CellList{{5, 5}, {4, 5}, {3, 5}, {2, 5}, {1, 5}}));
    EXPECT_EQ(search->PathPoints[5].y, 5u); // the start entry is still there, read as the end

    UseAdvancedFiltering = SWITCH_ON;
    search->FindPath(0, 5, 5, 5);
    EXPECT_EQ(ReadPath(*search), (CellList{{5, 5}, {1, 5}}));
}

TEST(FindPath, DiagonalStepPassesBetweenCellsTouchingAtACorner) {
    SearchSettings settings(10);
    auto search = NewSearch();
    DrawGrid(*search, {
                          "..........",
                          "..........",
                          "..........",
                          "..........",
                          ".....#....",
                          "......#...",
                          "..........",
                      });
    search->FindPath(5, 5, 6, 4);
    EXPECT_EQ(ReadPath(*search), (CellList{{6, 4}, {5, 5}}));
}

TEST(FindPath, StartAtTheGoal) {
    SearchSettings settings(10);
    auto search = NewSearch();
    search->FindPath(7, 7, 7, 7);
    EXPECT_EQ(search->Outcome, SearchOutcome::FOUND);
    EXPECT_EQ(ReadPath(*search), (CellList{{7, 7}}));
    EXPECT_EQ(search->ClosedList.size(), 1u);

    // A free cell is in sight of itself, so the goal is written twice.
    UseStraightLineCheck = SWITCH_ON;
    search->FindPath(7, 7, 7, 7);
    EXPECT_EQ(ReadPath(*search), (CellList{{7, 7}, {7, 7}}));
    EXPECT_FALSE(search->StraightLineFound);
}

TEST(FindPath, StraightLineCheckStopsAtTheFirstNodeThatSeesTheGoal) {
    SearchSettings settings(10, 0, SWITCH_ON);
    auto search = NewSearch();
    search->FindPath(3, 3, 40, 20);
    EXPECT_EQ(ReadPath(*search), (CellList{{40, 20}, {3, 3}}));
    EXPECT_EQ(search->ClosedList.size(), 1u);

    // With a wall in the way the search expands until a node sees past it.
    for (uint32_t y = 1; y < 60; y++) {
        search->Cells[20][y] = y == 30 ? 0 : CELL_BLOCKED;
    }
    search->FindPath(3, 30, 40, 30);
    CellList path = ReadPath(*search);
    ASSERT_GE(path.size(), 2u);
    EXPECT_EQ(path.front(), (Cell{40, 30}));
    EXPECT_EQ(path.back(), (Cell{3, 30}));
    EXPECT_TRUE(search->LineOfSight(path[1].first, path[1].second, 40, 30));
}

TEST(FindPath, HeavyWeightWithEveryFAboveTheScanStartStillFindsThePath) {
    // Weight 10 at cell size 1: the start's f is far above 10000.
    SearchSettings settings(1, 10);
    auto search = NewSearch();
    search->FindPath(1, 1, 700, 500);
    CellList path = ReadPath(*search);
    ASSERT_EQ(path.size(), 700u); // 499 diagonal and 200 straight steps
    EXPECT_EQ(path.front(), (Cell{700, 500}));
    EXPECT_EQ(path.back(), (Cell{1, 1}));
}

TEST(FindPath, WallWithAOneCellGap) {
    SearchSettings settings(10);
    auto search = NewSearch();
    DrawGrid(*search, {
                          ".........",
                          "....#....",
                          "....#....",
                          ".........",
                          "....#....",
                          "....#....",
                          "....#....",
                      });
    for (uint32_t y = 7; y < 60; y++) {
        search->Cells[4][y] = CELL_BLOCKED;
    }
    search->Cells[4][0] = CELL_BLOCKED;
    search->FindPath(2, 5, 7, 5);
    CellList path = ReadPath(*search);
    EXPECT_NE(std::find(path.begin(), path.end(), Cell{4, 3}), path.end());
    EXPECT_EQ(path.front(), (Cell{7, 5}));
    EXPECT_EQ(path.back(), (Cell{2, 5}));
}
