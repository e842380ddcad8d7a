#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/globals.h"
#include "render/render.h"
#include "render_fixture.h"
#include "search/grid_search.h"
#include "search/map_loader.h"

namespace {

constexpr uint32_t GREEN = 0x00FF00;

// Frames over an open grid at cell size 10 with the start cell blocked, so
// the search is refused and the frame draws the path list the test wrote.
class RenderTest : public testing::Test {
  protected:
    void SetUp() override {
        SetPanelVertices();
        SetPointAndLineVertices();
        CellSize = 10;
        StartPointX = StartPointY = 0.0f;
        MouseX = 400;
        MouseY = 300;
        ShowImage = ShowNodes = ShowVisitedNodes = SWITCH_OFF;
        ShowLines = ShowWaypoints = SWITCH_ON;
        UseStraightLineCheck = UseAdvancedFiltering = SWITCH_OFF;
        for (auto& column : Search.Cells) {
            std::fill(std::begin(column), std::end(column), 0u);
        }
        Search.Cells[0][0] = CELL_BLOCKED;
        ClearPath();
    }
    void TearDown() override {
        ClearPath();
        Search.Cells[0][0] = 0;
    }

    static void ClearPath() {
        for (PathPoint& point : Search.PathPoints) {
            point = {0, 0};
        }
        for (PathPoint& point : Search.FilterPoints) {
            point = {0, 0};
        }
    }
    static void SetPath(const std::vector<PathPoint>& points) {
        std::copy(points.begin(), points.end(), Search.PathPoints);
    }

    HeadlessDevice device;
    OverlayFontScope fontScope;
};

long CountColour(const std::vector<uint32_t>& pixels, uint32_t colour) {
    return static_cast<long>(std::count(pixels.begin(), pixels.end(), colour));
}

} // namespace

// The segment loop tests only the entry after the current one for the end of
// the list, the mark loop the current one; entries with x = 0 end the lists.
TEST_F(RenderTest, PathLoopsStopAtTheEndEntry) {
    struct Case {
        const char* name;
        std::vector<PathPoint> points;
        long greenPixels;                      // 9 per mark
        std::vector<std::pair<int, int>> lit;  // pixels a segment draws
        std::vector<std::pair<int, int>> dark; // pixels nothing draws
    };
    const Case cases[] = {
        {"goal in column 0: segments from it, no marks",
         {{0, 30}, {30, 30}, {30, 40}},
         0,
         {{1, 300}, {150, 300}, {300, 305}},
         {}},
        {"one point: a mark and no segment", {{30, 30}}, 9, {}, {{150, 150}, {290, 290}}},
        {"start in column 0: no segment into it, no mark on it",
         {{50, 30}, {30, 30}, {0, 30}},
         18,
         {{400, 300}},
         {{150, 300}, {10, 300}}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ClearPath();
        SetPath(test.points);
        Render();
        EXPECT_EQ(Search.Outcome, SearchOutcome::REFUSED);
        const std::vector<uint32_t> pixels = ReadBackBuffer();
        EXPECT_EQ(CountColour(pixels, GREEN), test.greenPixels);
        for (auto [x, y] : test.lit) {
            EXPECT_NE(PixelAt(pixels, x, y), 0u) << x << "," << y;
        }
        for (auto [x, y] : test.dark) {
            EXPECT_EQ(PixelAt(pixels, x, y), 0u) << x << "," << y;
        }
    }
}

// A list with no end entry in its 1000 entries: both loops stop at the last
// entry and never read the scratch list stored right after it.
TEST_F(RenderTest, PathLoopsStayInsideAFullList) {
    for (uint32_t i = 0; i < PATH_CAPACITY; i++) {
        Search.PathPoints[i] = {20 + i % 2, 30};
    }
    Search.FilterPoints[0] = {70, 50};
    Search.FilterPoints[1] = {70, 55};
    Render();
    const std::vector<uint32_t> pixels = ReadBackBuffer();
    // A segment to (700, 500) would cross (450, 400); a mark would sit on it.
    EXPECT_EQ(PixelAt(pixels, 450, 400), 0u);
    EXPECT_EQ(PixelAt(pixels, 700, 500), 0u);
    EXPECT_EQ(PixelAt(pixels, 701, 501), 0u);
    EXPECT_NE(PixelAt(pixels, 205, 300), 0u);
}

// Segments shade from white at the earlier entry (goal side) to blue at the
// later one (start side).
TEST_F(RenderTest, SegmentsShadeFromWhiteToBlue) {
    ShowWaypoints = SWITCH_OFF;
    SetPath({{20, 30}, {60, 30}});
    Render();
    const std::vector<uint32_t> pixels = ReadBackBuffer();
    EXPECT_EQ(PixelAt(pixels, 200, 300), 0xFFFFFFu);
    const uint32_t nearStart = PixelAt(pixels, 599, 300);
    EXPECT_EQ(nearStart & 0xFF, 0xFFu);
    EXPECT_LT((nearStart >> 16) & 0xFF, 0x10u);
    EXPECT_EQ(PixelAt(pixels, 600, 300), 0u) << "a segment leaves out its last pixel";
}

// Without a map picture (the map could not be read) the frame skips the copy
// and still draws everything else.
TEST_F(RenderTest, FrameWithoutMapPicture) {
    ShowImage = SWITCH_ON;
    Search.LoadMap("images/no_such_map.bmp");
    ASSERT_EQ(MapSurface, nullptr);
    Render();
    const std::vector<uint32_t> pixels = ReadBackBuffer();
    EXPECT_EQ(PixelAt(pixels, 400, 300), 0u);
    EXPECT_EQ(PixelAt(pixels, 799, 300), 0xFFFFFFu) << "the border";
    EXPECT_EQ(PixelAt(pixels, 128, 50), 0xFFFFFFu) << "the panel's edge";
    Search.ReleaseMap();
}
