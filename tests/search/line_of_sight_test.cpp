#include <gtest/gtest.h>

#include <algorithm>

#include "search_fixture.h"

namespace {

struct SampleCase {
    int32_t x1, y1, x2, y2;
    CellList sampled; // every cell the walk tests
};

// Which cells a walk tests, found by blocking each cell of the spanned
// rectangle (and its ring of neighbours) on its own.
CellList SampledCells(GridSearch& search, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    CellList cells;
    int32_t left = std::max(0, std::min(x1, x2) - 1);
    int32_t top = std::max(0, std::min(y1, y2) - 1);
    for (int32_t x = left; x <= std::max(x1, x2) + 1; x++) {
        for (int32_t y = top; y <= std::max(y1, y2) + 1; y++) {
            search.Cells[x][y] = CELL_BLOCKED;
            if (!search.LineOfSight(x1, y1, x2, y2)) {
                cells.emplace_back(x, y);
            }
            search.Cells[x][y] = 0;
        }
    }
    std::sort(cells.begin(), cells.end());
    return cells;
}

} // namespace

TEST(LineOfSight, TestsExactlyTheCellsOfTheWalk) {
    auto search = NewSearch();
    const SampleCase cases[] = {
        {10, 10, 10, 10, {{10, 10}}},           // same cell: one sample
        {10, 10, 11, 10, {{10, 10}, {11, 10}}}, // side neighbours
        {5, 5, 6, 6, {{5, 5}, {6, 6}}},         // half-way sample rounds up
        {5, 5, 4, 4, {{4, 4}, {5, 5}}},         // ... on both axes
        {5, 5, 6, 4, {{5, 5}, {6, 4}, {6, 5}}}, // the side cell (6, 5) counts
        {5, 5, 4, 6, {{4, 6}, {5, 5}, {5, 6}}}, // the side cell (5, 6) counts
        {2, 2, 5, 4, {{2, 2}, {3, 2}, {3, 3}, {4, 3}, {4, 4}, {5, 4}}},
        {0, 0, 3, 1, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}}, // (2, 1) is sampled twice
        {10,
         10,
         20,
         10, // t overshoots: (20, 10) untested
         {{10, 10},
          {11, 10},
          {12, 10},
          {13, 10},
          {14, 10},
          {15, 10},
          {16, 10},
          {17, 10},
          {18, 10},
          {19, 10}}},
    };
    for (const SampleCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "(" << c.x1 << ", " << c.y1 << ") to (" << c.x2 << ", " << c.y2 << ")");
        CellList expected = c.sampled;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(SampledCells(*search, c.x1, c.y1, c.x2, c.y2), expected);
    }
}

TEST(LineOfSight, SecondCellIsMissedWhereTheSumOfStepsPassesOne) {
    auto search = NewSearch();
    // dx + dy for which the accumulated parameter exceeds 1 one sample early.
    const int32_t missed[] = {10, 11, 14, 18, 20};
    for (int32_t d = 1; d <= 20; d++) {
        SCOPED_TRACE(testing::Message() << "dx + dy = " << d);
        bool expectMissed = std::find(std::begin(missed), std::end(missed), d) != std::end(missed);
        // Horizontal and vertical walks alike.
        search->Cells[10 + d][10] = CELL_BLOCKED;
        EXPECT_EQ(search->LineOfSight(10, 10, 10 + d, 10), expectMissed);
        search->Cells[10 + d][10] = 0;
        search->Cells[10][10 + d] = CELL_BLOCKED;
        EXPECT_EQ(search->LineOfSight(10, 10 + d, 10, 10), false); // the first cell always counts
        EXPECT_EQ(search->LineOfSight(10, 10, 10, 10 + d), expectMissed);
        search->Cells[10][10 + d] = 0;
    }
}

TEST(LineOfSight, OnlyTheBlockedBitCounts) {
    auto search = NewSearch();
    search->Cells[3][3] = CELL_VISITED;
    EXPECT_TRUE(search->LineOfSight(3, 3, 3, 3));
    EXPECT_TRUE(search->LineOfSight(1, 3, 5, 3));
    search->Cells[3][3] = CELL_VISITED | CELL_BLOCKED;
    EXPECT_FALSE(search->LineOfSight(3, 3, 3, 3));
    EXPECT_FALSE(search->LineOfSight(3, 3, 7, 3)); // a blocked first cell always fails
}

TEST(LineOfSight, RoundToCellRoundsHalvesUpAndTruncatesNegatives) {
    auto search = NewSearch();
    const std::pair<float, int32_t> cases[] = {
        {0.0f, 0}, {2.49f, 2}, {2.5f, 3}, {2.51f, 3}, {799.4f, 799}, {-1.7f, -1}, {-0.2f, 0},
    };
    for (auto [v, expected] : cases) {
        SCOPED_TRACE(v);
        EXPECT_EQ(search->RoundToCell(v), expected);
    }
}

namespace {

// The walk as a plain loop: samples in order, the parameter accumulated as it
// goes. The search's test looks its parameters up and tests the samples in
// another order, which must not change any answer.
bool WalkInOrder(GridSearch& search, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    int32_t n = std::abs(x1 - x2) + std::abs(y1 - y2);
    if (n == 0) {
        return (search.Cells[x1][y1] & CELL_BLOCKED) == 0;
    }
    float step = 1.0f / static_cast<float>(n);
    for (float t = 0.0f; t <= 1.0f;) {
        float a = 1.0f - t;
        float sx = a * static_cast<float>(x1) + static_cast<float>(x2) * t;
        float sy = a * static_cast<float>(y1) + static_cast<float>(y2) * t;
        t = t + step;
        if ((search.Cells[search.RoundToCell(sx)][search.RoundToCell(sy)] & CELL_BLOCKED) != 0) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(LineOfSight, AgreesWithTheWalkInOrderOnRandomSegments) {
    auto search = NewSearch();
    uint64_t state = 0x9E3779B97F4A7C15ull;
    auto next = [&state](uint32_t below) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<int32_t>((state >> 33) % below);
    };
    // Sparse single cells and a few long walls, so walks end early and late.
    for (int i = 0; i < 4000; i++) {
        search->Cells[next(800)][next(600)] = CELL_BLOCKED;
    }
    for (int x = 100; x < 700; x += 150) {
        for (int y = 50; y < 550; y++) {
            search->Cells[x][y] = CELL_BLOCKED;
        }
    }
    int clear = 0;
    for (int i = 0; i < 20000; i++) {
        int32_t x1 = next(800), y1 = next(600);
        // Short segments as often as long ones.
        int32_t x2 = i % 2 == 0 ? next(800) : std::min(799, x1 + next(20));
        int32_t y2 = i % 2 == 0 ? next(600) : std::min(599, y1 + next(20));
        bool expected = WalkInOrder(*search, x1, y1, x2, y2);
        clear += expected;
        ASSERT_EQ(search->LineOfSight(x1, y1, x2, y2), expected)
            << "(" << x1 << ", " << y1 << ") to (" << x2 << ", " << y2 << ")";
    }
    EXPECT_GT(clear, 1000); // both answers are well represented
    EXPECT_LT(clear, 19000);
}
