// Whole frames rendered headless on the shipped maps and compared pixel for
// pixel with the pictures under tests/golden/.
//
// The digits of the search time on the first text line change from run to
// run, so before a frame is stored or compared the rectangle they occupy
// ("0.000" after "Path time: ", one pixel of margin around it for the
// anti-aliased edges) is painted black, the panel's colour; the rest of the
// line, "Path time: " and "sec", is compared like everything else. Stored
// frames therefore show the panel with a gap where the time was.
//
// Run with BRASSEL_UPDATE_GOLDEN=1 to write the frames instead of comparing
// them; look at every one before committing it.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/globals.h"
#include "render/render.h"
#include "render_fixture.h"
#include "search/grid_search.h"
#include "search/map_loader.h"

namespace {

struct FrameSettings {
    const char* map;
    uint32_t cellSize;
    uint32_t weight;
    float startX, startY;
    uint32_t mouseX, mouseY;
    Switch image, lines, waypoints, nodes, visited, straight, filter;
};

class GoldenFrame : public testing::Test {
  protected:
    void SetUp() override {
        SetPanelVertices();
        SetPointAndLineVertices();
        CounterFrequency = 1000000000;
    }
    void TearDown() override {
        Search.ReleaseMap();
        CellSize = 10;
        HeuristicWeight = 0;
        StartPointX = StartPointY = 0.0f;
        MouseX = MouseY = 0;
        UseStraightLineCheck = UseAdvancedFiltering = SWITCH_OFF;
    }

    // Loads the map with the settings and renders one frame.
    void RenderFrame(const FrameSettings& frame) {
        CellSize = frame.cellSize;
        HeuristicWeight = frame.weight;
        StartPointX = frame.startX;
        StartPointY = frame.startY;
        MouseX = frame.mouseX;
        MouseY = frame.mouseY;
        ShowImage = frame.image;
        ShowLines = frame.lines;
        ShowWaypoints = frame.waypoints;
        ShowNodes = frame.nodes;
        ShowVisitedNodes = frame.visited;
        UseStraightLineCheck = frame.straight;
        UseAdvancedFiltering = frame.filter;
        // Each frame starts from no earlier path.
        for (PathPoint& point : Search.PathPoints) {
            point = {0, 0};
        }
        Search.LoadMap(frame.map);
        Render();
    }

    // Paints the time digits of the first text line black in the back buffer.
    void MaskSearchTime() {
        const float prefix = TextWidth("Path time: ");
        const float digits = TextWidth("0.000");
        RECT mask{static_cast<LONG>(std::floor(4.0f + prefix)) - 1, 1,
                  static_cast<LONG>(std::ceil(4.0f + prefix + digits)) + 1, 17};
        IDirect3DSurface8* pBackBuffer = nullptr;
        ASSERT_EQ(D3DDevice->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer), S_OK);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(pBackBuffer->LockRect(&locked, &mask, 0), S_OK);
        for (LONG y = mask.top; y < mask.bottom; y++) {
            auto* row =
                reinterpret_cast<uint32_t*>(static_cast<BYTE*>(locked.pBits) +
                                            static_cast<size_t>(y - mask.top) * locked.Pitch);
            for (LONG x = 0; x < mask.right - mask.left; x++) {
                row[x] = 0;
            }
        }
        pBackBuffer->UnlockRect();
        pBackBuffer->Release();
    }

    float TextWidth(const char* text) const {
        float width = 0.0f;
        for (const char* c = text; *c != '\0'; c++) {
            const float* rect = fontScope.font.GlyphRects[*c - 32];
            width += (rect[2] - rect[0]) * static_cast<float>(fontScope.font.AtlasWidth);
        }
        return width;
    }

    // Compares the masked back buffer with the stored frame, or stores it.
    void ExpectGolden(const std::string& name) {
        MaskSearchTime();
        const std::string golden =
            std::string(BRASSEL_SOURCE_DIR) + "/tests/golden/" + name + ".png";
        const char* update = std::getenv("BRASSEL_UPDATE_GOLDEN");
        if (update != nullptr && std::string(update) == "1") {
            ASSERT_TRUE(WriteBackBufferPng(golden)) << golden;
            return;
        }
        std::vector<uint32_t> expected;
        UINT width = 0;
        UINT height = 0;
        ASSERT_TRUE(ReadPngPixels(golden.c_str(), expected, width, height)) << golden;
        ASSERT_EQ(width, FRAME_WIDTH);
        ASSERT_EQ(height, FRAME_HEIGHT);
        const std::vector<uint32_t> actual = ReadBackBuffer();
        size_t differing = 0;
        size_t first = 0;
        for (size_t i = 0; i < actual.size(); i++) {
            if (actual[i] != (expected[i] & 0x00FFFFFF)) {
                first = differing == 0 ? i : first;
                differing++;
            }
        }
        if (differing != 0) {
            const std::string written =
                (std::filesystem::temp_directory_path() / (name + "_actual.png")).string();
            WriteBackBufferPng(written);
            ADD_FAILURE() << differing << " pixels differ from " << golden << ", the first at ("
                          << first % FRAME_WIDTH << ", " << first / FRAME_WIDTH
                          << "); this frame is in " << written;
        }
    }

    HeadlessDevice device;
    OverlayFontScope fontScope;
};

constexpr Switch ON = SWITCH_ON;
constexpr Switch OFF = SWITCH_OFF;

} // namespace

// The golden frames, each a whole frame on a shipped map; every search in
// them finds its path.
TEST_F(GoldenFrame, FramesMatchTheStoredPictures) {
    struct Golden {
        const char* name;
        FrameSettings frame;
    };
    const Golden goldens[] = {
        // Start-up: the shapes map with the default settings, the start at the
        // top-left pixel and the mouse low on the right. The path is drawn white
        // at the goal, shading to blue towards the start, without its last
        // segment into cell (0, 0), which reads as the end of the list; the
        // panel shows the image and lines switches white, the other five grey,
        // weight x0.
        {"startup",
         {"images/hittest0.bmp", 10, 0, 0.0f, 0.0f, 600, 450, ON, ON, OFF, OFF, OFF, OFF, OFF}},
        // Every switch on, on the shapes map, from the left edge to the lower
        // right: grey points on every walkable cell, orange plus signs on the
        // cells the search reached (few, since the straight-line check stops it
        // once the goal is in sight), the filtered path with green crosses at
        // its points, and all nine text lines white.
        {"every_layer_on",
         {"images/hittest0.bmp", 10, 0, 35.0f, 430.0f, 700, 300, ON, ON, ON, ON, ON, ON, ON}},
        // The visited layer without the straight-line check, at weight 2, on
        // the maze: the search floods the corridors between the two points.
        {"visited_maze",
         {"images/hittest1.bmp", 10, 2, 75.0f, 75.0f, 725, 525, ON, ON, OFF, OFF, ON, OFF, OFF}},
        // A path through the maze with the filter on: points a straight line
        // can skip are dropped, so the segments cut corners, and green crosses
        // mark the points that are left.
        {"filtered_path",
         {"images/hittest1.bmp", 10, 0, 75.0f, 75.0f, 725, 525, ON, ON, ON, OFF, OFF, OFF, ON}},
        // Cell size 1 on the rooms map with the walkable layer: every free
        // pixel is grey, so the map's black floor turns grey and the walls keep
        // their colour; the path runs from one room through a doorway into the
        // next. Its segments are one pixel long and a segment leaves out its
        // last pixel, so each draws only its white goal-side end: the path is
        // white throughout.
        {"cell_size_1_walkable",
         {"images/hittest2.bmp", 1, 0, 230.0f, 300.0f, 40, 420, ON, ON, OFF, ON, OFF, OFF, OFF}},
        // A goal in column 0 on the last map. The search never steps into
        // column 0, so only the straight-line check reaches it, seeing the goal
        // from a node in the open; the goal's entry, first in the list, reads
        // as the end of the list, so no waypoint crosses are drawn, yet the
        // segments are, the first one starting at the goal on the screen's
        // left edge.
        {"goal_in_column_0",
         {"images/hittest3.bmp", 10, 0, 400.0f, 300.0f, 5, 250, ON, ON, ON, OFF, OFF, ON, OFF}},
    };
    for (const Golden& golden : goldens) {
        SCOPED_TRACE(golden.name);
        RenderFrame(golden.frame);
        EXPECT_EQ(Search.Outcome, SearchOutcome::FOUND);
        ExpectGolden(golden.name);
    }
}
