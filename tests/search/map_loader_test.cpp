#include <gtest/gtest.h>

#include "search/map_loader.h"
#include "search_fixture.h"
#include "tests/fixtures/bitmap_files.h"
#include "tests/fixtures/headless_device.h"

namespace {

// A scattered pattern with a few very dark, not-quite-black pixels.
uint32_t Pattern(int x, int y) {
    switch ((x * 7 + y * 13) % 11) {
    case 0:
        return 0x010000; // red 1: an obstacle all the same
    case 3:
        return 0x000001;
    case 5:
        return 0x808080;
    default:
        return 0;
    }
}

class MapLoader : public testing::Test {
  protected:
    void SetUp() override {
        mapFile = folder.File("pattern.bmp");
        WriteBitmap24(mapFile, 800, 600, Pattern);
    }
    void TearDown() override { search->ReleaseMap(); }

    HeadlessDevice device;
    TempFolder folder;
    std::string mapFile;
    std::unique_ptr<GridSearch> search = NewSearch();
};

} // namespace

TEST_F(MapLoader, ClassifiesEachCellByItsTopLeftPixel) {
    for (uint32_t cellSize : {10u, 7u, 1u}) {
        SCOPED_TRACE(testing::Message() << "cell size " << cellSize);
        SearchSettings settings(cellSize);
        search->LoadMap(mapFile);
        const uint32_t columns = 800 / cellSize;
        const uint32_t rows = 600 / cellSize;
        uint32_t wrong = 0;
        for (uint32_t i = 0; i < columns; i++) {
            for (uint32_t j = 0; j < rows; j++) {
                bool blocked =
                    Pattern(static_cast<int>(i * cellSize), static_cast<int>(j * cellSize)) != 0;
                wrong += ((search->Cells[i][j] & CELL_BLOCKED) != 0) != blocked;
            }
        }
        EXPECT_EQ(wrong, 0u);
        ASSERT_NE(MapSurface, nullptr);
        EXPECT_EQ(MapCopyRect.right, 800);
        EXPECT_EQ(MapCopyRect.bottom, 600);
    }
}

TEST_F(MapLoader, TouchesOnlyTheExtentAndClearsVisitedMarksThere) {
    SearchSettings fine(5);
    search->LoadMap(mapFile);
    search->Cells[100][100] |= CELL_VISITED; // outside the coarser extent below
    search->Cells[10][10] |= CELL_VISITED;
    const uint32_t staleOutside = search->Cells[100][100];

    SearchSettings coarse(10);
    search->LoadMap(mapFile);
    EXPECT_EQ(search->Cells[100][100], staleOutside);
    EXPECT_EQ(search->Cells[10][10] & CELL_VISITED, 0u);

    // Above 600 pixels a cell the grid has no rows: nothing is touched at all.
    SearchSettings huge(700);
    search->Cells[0][0] = CELL_VISITED | CELL_BLOCKED;
    search->LoadMap(mapFile);
    EXPECT_EQ(search->Cells[0][0], CELL_VISITED | CELL_BLOCKED);
}

TEST_F(MapLoader, CellsBeyondASmallBitmapAreBlocked) {
    const std::string small = folder.File("small.bmp");
    WriteBitmap24(small, 300, 200, [](int, int) { return 0u; });
    SearchSettings settings(10);
    search->LoadMap(small);
    for (uint32_t i = 0; i < 80; i++) {
        for (uint32_t j = 0; j < 60; j++) {
            ASSERT_EQ((search->Cells[i][j] & CELL_BLOCKED) != 0, i >= 30 || j >= 20)
                << "cell " << i << ", " << j;
        }
    }
    ASSERT_NE(MapSurface, nullptr);
    D3DSURFACE_DESC desc{};
    MapSurface->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 300u);
    EXPECT_EQ(desc.Height, 200u);
}

TEST_F(MapLoader, UnreadableMapBlocksTheExtentLeavesNoPictureAndSaysWhy) {
    WriteBytes(folder.File("garbage.bmp"), std::string("BM") + std::string(100, '\x7f'));
    WriteBitmap24(folder.File("truncated.bmp"), 64, 64, [](int, int) { return 0u; });
    std::filesystem::resize_file(folder.File("truncated.bmp"), 200);
    SearchSettings settings(10);
    for (const char* name : {"missing.bmp", "garbage.bmp", "truncated.bmp"}) {
        SCOPED_TRACE(name);
        search->LoadMap(mapFile);
        ASSERT_NE(MapSurface, nullptr);
        search->Cells[85][70] = 0; // outside the extent: left alone

        testing::internal::CaptureStderr();
        search->LoadMap(folder.File(name));
        std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find(folder.File(name)), std::string::npos) << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;

        EXPECT_EQ(MapSurface, nullptr);
        uint32_t free = 0;
        for (uint32_t i = 0; i < 80; i++) {
            for (uint32_t j = 0; j < 60; j++) {
                free += (search->Cells[i][j] & CELL_BLOCKED) == 0;
            }
        }
        EXPECT_EQ(free, 0u);
        EXPECT_EQ(search->Cells[85][70], 0u);
    }
}

TEST_F(MapLoader, ManyReloadsReleaseWhatTheyReplace) {
    // Run under the leak checker: every replaced device context, bitmap and
    // surface must be released, including after failed loads.
    SearchSettings settings(10);
    for (int i = 0; i < 200; i++) {
        search->LoadMap(i % 10 == 9 ? folder.File("missing.bmp") : mapFile);
    }
    testing::internal::CaptureStderr();
    search->LoadMap(mapFile);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(MapSurface, nullptr);
}
