// Map loading: a map bitmap becomes the occupancy grid at the current cell
// size, each cell classified by its top-left pixel alone (only exact black is
// free ground), and the map picture is made for the frame.

#include "search/map_loader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/globals.h"
#include "platform/gdi.h"
#include "search/grid_search.h"
#include "search/map_surface.h"

IDirect3DSurface8* MapSurface = nullptr;
RECT MapCopyRect = {};

namespace {

// Says on standard error why a map file gave no bitmap.
void ReportUnreadableMap(const std::string& fileName) {
    std::string reason;
    if (FILE* file = std::fopen(fileName.c_str(), "rb")) {
        std::fclose(file);
        reason = GetLastImageLoadError();
        if (reason.empty()) {
            reason = "not a readable bitmap";
        }
    } else {
        reason = std::strerror(errno);
    }
    std::fprintf(stderr, "brassel: cannot load map %s: %s; every cell is blocked\n",
                 fileName.c_str(), reason.c_str());
}

} // namespace

bool GridSearch::IsPixelSet(int32_t x, int32_t y) {
    return GetPixel(MapDC, x, y) != 0;
}

void GridSearch::ReleaseMap() {
    if (MapDC != nullptr) {
        DeleteDC(MapDC);
        MapDC = nullptr;
    }
    if (MapBitmap != nullptr) {
        DeleteObject(MapBitmap);
        MapBitmap = nullptr;
    }
    if (MapSurface != nullptr) {
        MapSurface->Release();
        MapSurface = nullptr;
    }
}

void GridSearch::LoadMap(std::string fileName) {
    // Nothing uses the earlier load's objects once a new load replaces them.
    ReleaseMap();

    MapDC = CreateCompatibleDC(nullptr);
    MapBitmap = static_cast<HBITMAP>(
        LoadImageA(nullptr, fileName.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (MapBitmap != nullptr) {
        SelectObject(MapDC, MapBitmap);
        MapSurface = LoadImageSurface(D3DDevice, fileName.c_str(), DisplayMode.Format);
    } else {
        // With no bitmap selected every pixel reads as invalid, which is not
        // black, so the classification below blocks every cell.
        ReportUnreadableMap(fileName);
    }
    MapCopyRect = {0, 0, static_cast<LONG>(GRID_COLUMNS), static_cast<LONG>(GRID_ROWS)};

    const uint32_t columns = GRID_COLUMNS / CellSize;
    const uint32_t rows = GRID_ROWS / CellSize;
    for (uint32_t i = 0; i < columns; i++) {
        for (uint32_t j = 0; j < rows; j++) {
            uint32_t& cell = Cells[i][j];
            cell &= ~CELL_VISITED;
            if (IsPixelSet(static_cast<int32_t>(i * CellSize),
                           static_cast<int32_t>(j * CellSize))) {
                cell |= CELL_BLOCKED;
            } else {
                cell &= ~CELL_BLOCKED;
            }
        }
    }
}
