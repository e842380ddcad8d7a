// One frame: the search runs first, so its time is part of the frame, then
// every layer is drawn over the map picture one point or segment per draw
// call, with the device's default states; only the overlay font changes
// states, and it puts them back.

#include "render/render.h"

#include <cstdio>

#include "app/globals.h"
#include "render/text_font.h"
#include "search/grid_search.h"
#include "search/map_loader.h"

namespace {

constexpr DWORD CLEAR_COLOUR = 0x00000000;
constexpr DWORD WALKABLE_COLOUR = 0xFF646464;
constexpr DWORD VISITED_CENTRE_COLOUR = 0xFFFF6428;
constexpr DWORD VISITED_ARM_COLOUR = 0xFF8C1400;
constexpr DWORD SEGMENT_GOAL_SIDE_COLOUR = 0xFFFFFFFF;
constexpr DWORD SEGMENT_START_SIDE_COLOUR = 0xFF0000FF;
constexpr DWORD WAYPOINT_COLOUR = 0xFF00FF00;
constexpr DWORD BORDER_COLOUR = 0xFFFFFFFF;
constexpr DWORD TEXT_ON_COLOUR = 0xFFFFFFFF;
constexpr DWORD TEXT_OFF_COLOUR = 0xFF787878;

constexpr float TEXT_X = 4.0f;

struct BorderLine {
    float x1, y1, x2, y2;
};
// The panel's right and bottom edges, two pixels inside its quad, then the
// screen's outline clockwise from the top-left corner.
constexpr BorderLine BORDER_LINES[] = {
    {128.0f, 0.0f, 128.0f, 153.0f}, {128.0f, 153.0f, 0.0f, 153.0f}, {0.0f, 0.0f, 799.0f, 0.0f},
    {799.0f, 0.0f, 799.0f, 599.0f}, {799.0f, 599.0f, 0.0f, 599.0f}, {0.0f, 599.0f, 0.0f, 0.0f},
};

struct SwitchLine {
    const char* text;
    float y;
    const Switch* setting;
};
const SwitchLine SWITCH_LINES[] = {
    {"F1: Image", 22.0f, &ShowImage},
    {"F2: Lines", 37.0f, &ShowLines},
    {"F3: Waypoints", 52.0f, &ShowWaypoints},
    {"F4: Nodes", 67.0f, &ShowNodes},
    {"F5: Visited Nodes", 82.0f, &ShowVisitedNodes},
    {"F6: Straight line check", 97.0f, &UseStraightLineCheck},
    {"F7: Advandced Filtering", 112.0f, &UseAdvancedFiltering},
};
constexpr float TIME_LINE_Y = 2.0f;
constexpr float WEIGHT_LINE_Y = 132.0f;

void DrawPoint(float x, float y, DWORD colour) {
    PointVertex.x = x;
    PointVertex.y = y;
    PointVertex.diffuse = colour;
    D3DDevice->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &PointVertex, sizeof(ScreenVertex));
}

void DrawLine(float x1, float y1, DWORD colour1, float x2, float y2, DWORD colour2) {
    LineVertices[0].x = x1;
    LineVertices[0].y = y1;
    LineVertices[0].diffuse = colour1;
    LineVertices[1].x = x2;
    LineVertices[1].y = y2;
    LineVertices[1].diffuse = colour2;
    D3DDevice->DrawPrimitiveUP(D3DPT_LINELIST, 1, LineVertices, sizeof(ScreenVertex));
}

void DrawMapPicture() {
    if (MapSurface == nullptr) {
        return;
    }
    IDirect3DSurface8* pBackBuffer = nullptr;
    if (FAILED(D3DDevice->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer))) {
        return;
    }
    D3DDevice->CopyRects(MapSurface, &MapCopyRect, 1, pBackBuffer, nullptr);
    pBackBuffer->Release();
}

// A grey point on every walkable cell and a plus sign on every cell the
// search reached, at the cell's top-left pixel.
void DrawGridLayers() {
    const uint32_t columns = GRID_COLUMNS / CellSize;
    const uint32_t rows = GRID_ROWS / CellSize;
    for (uint32_t i = 0; i < columns; i++) {
        for (uint32_t j = 0; j < rows; j++) {
            const uint32_t cell = Search.Cells[i][j];
            if (cell & CELL_BLOCKED) {
                continue;
            }
            const float x = static_cast<float>(i * CellSize);
            const float y = static_cast<float>(j * CellSize);
            if (ShowNodes == SWITCH_ON) {
                DrawPoint(x, y, WALKABLE_COLOUR);
            }
            if ((cell & CELL_VISITED) && ShowVisitedNodes == SWITCH_ON) {
                DrawPoint(x, y, VISITED_CENTRE_COLOUR);
                DrawPoint(x + 1.0f, y, VISITED_ARM_COLOUR);
                DrawPoint(x - 1.0f, y, VISITED_ARM_COLOUR);
                DrawPoint(x, y + 1.0f, VISITED_ARM_COLOUR);
                DrawPoint(x, y - 1.0f, VISITED_ARM_COLOUR);
            }
        }
    }
}

float PixelOf(uint32_t cellCoordinate) {
    return static_cast<float>(cellCoordinate * CellSize);
}

// Segments between neighbouring list entries, white at the goal side and blue
// at the start side. Only the later entry is tested for the end of the list,
// so a first entry in column 0 (a goal in column 0) still starts a segment.
void DrawPathSegments() {
    const PathPoint* points = Search.PathPoints;
    for (uint32_t i = 0; i + 1 < PATH_CAPACITY && points[i + 1].x != 0; i++) {
        DrawLine(PixelOf(points[i].x), PixelOf(points[i].y), SEGMENT_GOAL_SIDE_COLOUR,
                 PixelOf(points[i + 1].x), PixelOf(points[i + 1].y), SEGMENT_START_SIDE_COLOUR);
    }
}

// A diagonal cross of nine green pixels on every path point.
void DrawWaypointMarks() {
    const PathPoint* points = Search.PathPoints;
    for (uint32_t i = 0; i < PATH_CAPACITY && points[i].x != 0; i++) {
        const float x = PixelOf(points[i].x);
        const float y = PixelOf(points[i].y);
        DrawPoint(x, y, WAYPOINT_COLOUR);
        DrawPoint(x + 1.0f, y + 1.0f, WAYPOINT_COLOUR);
        DrawPoint(x + 1.0f, y - 1.0f, WAYPOINT_COLOUR);
        DrawPoint(x - 1.0f, y - 1.0f, WAYPOINT_COLOUR);
        DrawPoint(x - 1.0f, y + 1.0f, WAYPOINT_COLOUR);
        DrawPoint(x + 2.0f, y + 2.0f, WAYPOINT_COLOUR);
        DrawPoint(x + 2.0f, y - 2.0f, WAYPOINT_COLOUR);
        DrawPoint(x - 2.0f, y - 2.0f, WAYPOINT_COLOUR);
        DrawPoint(x - 2.0f, y + 2.0f, WAYPOINT_COLOUR);
    }
}

// Seconds the last search took. Before the counter's frequency is known
// there is no time to show.
float SearchSeconds() {
    if (CounterFrequency == 0) {
        return 0.0f;
    }
    return static_cast<float>(SearchEndCount - SearchStartCount) /
           static_cast<float>(CounterFrequency);
}

void DrawTextLine(float y, DWORD colour) {
    if (OverlayFont != nullptr) {
        OverlayFont->DrawString(TEXT_X, y, colour, TextBuffer);
    }
}

void DrawPanelText() {
    snprintf(TextBuffer, TEXT_BUFFER_SIZE, "Path time: %0.3fsec",
             static_cast<double>(SearchSeconds()));
    DrawTextLine(TIME_LINE_Y, TEXT_ON_COLOUR);
    for (const SwitchLine& line : SWITCH_LINES) {
        snprintf(TextBuffer, TEXT_BUFFER_SIZE, "%s", line.text);
        DrawTextLine(line.y, *line.setting == SWITCH_ON ? TEXT_ON_COLOUR : TEXT_OFF_COLOUR);
    }
    snprintf(TextBuffer, TEXT_BUFFER_SIZE, "Heuristic Weight x%u", HeuristicWeight);
    DrawTextLine(WEIGHT_LINE_Y, TEXT_ON_COLOUR);
}

} // namespace

void Render() {
    // 1-2. A cleared back buffer and an open scene.
    D3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET, CLEAR_COLOUR, 0.0f, 0);
    D3DDevice->BeginScene();

    // 3. The search, from the picked point to the mouse, in cells.
    const uint32_t startX = static_cast<uint32_t>(static_cast<int32_t>(StartPointX)) / CellSize;
    const uint32_t startY = static_cast<uint32_t>(static_cast<int32_t>(StartPointY)) / CellSize;
    Search.FindPath(startX, startY, MouseX / CellSize, MouseY / CellSize);

    // 4. Every primitive below is a ScreenVertex.
    D3DDevice->SetVertexShader(SCREEN_VERTEX_FVF);

    // 5. The map picture.
    if (ShowImage == SWITCH_ON) {
        DrawMapPicture();
    }

    // 6. Walkable and reached cells.
    if (ShowNodes == SWITCH_ON || ShowVisitedNodes == SWITCH_ON) {
        DrawGridLayers();
    }

    // 7-8. The path.
    if (ShowLines == SWITCH_ON) {
        DrawPathSegments();
    }
    if (ShowWaypoints == SWITCH_ON) {
        DrawWaypointMarks();
    }

    // 9. The panel behind the text; with the default states it is opaque.
    D3DDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, PanelVertices, sizeof(ScreenVertex));

    // 10. The panel's edges and the screen's outline.
    for (const BorderLine& line : BORDER_LINES) {
        DrawLine(line.x1, line.y1, BORDER_COLOUR, line.x2, line.y2, BORDER_COLOUR);
    }

    // 11. The search time, the seven switches and the heuristic weight.
    DrawPanelText();

    // 12-13. The scene ends after the present.
    D3DDevice->Present(nullptr, nullptr, nullptr, nullptr);
    D3DDevice->EndScene();
}
