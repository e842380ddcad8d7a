// The window procedure: function keys switch layers and search options, the
// arrows change the map and the cell size (reloading the map at once, behind a
// notice), Home and End the heuristic weight, the mouse the goal and, with the
// right button, the start. Everything else takes effect with the next frame.

#include <cstring>
#include <string>

#include "app/globals.h"
#include "app/shell.h"
#include "render/render.h"
#include "render/text_font.h"
#include "search/grid_search.h"

void DrawCalculatingFrame() {
    // The back buffer is not cleared: the notice goes over the last frame.
    D3DDevice->BeginScene();
    D3DDevice->SetVertexShader(SCREEN_VERTEX_FVF);
    D3DDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, PanelVertices, sizeof(ScreenVertex));
    std::strcpy(TextBuffer, "Calculating...");
    OverlayFont->DrawString(2.0f, 0.0f, 0xFFFFFFFF, TextBuffer);
    D3DDevice->Present(nullptr, nullptr, nullptr, nullptr);
    D3DDevice->EndScene();
}

void ReloadMap(MapChange change) {
    DrawCalculatingFrame();
    switch (change) {
    case MapChange::CELL_SIZE_UP:
        CellSize = CellSize + 1;
        break;
    case MapChange::CELL_SIZE_DOWN:
        CellSize = CellSize - 1;
        break;
    case MapChange::PREVIOUS_MAP:
        MapIndex = MapIndex - 1;
        break;
    case MapChange::NEXT_MAP:
        MapIndex = MapIndex + 1;
        break;
    }
    if (change == MapChange::PREVIOUS_MAP || change == MapChange::NEXT_MAP) {
        MapFileName = MAP_FILE_PREFIX;
        MapFileName += std::to_string(MapIndex);
        MapFileName += MAP_FILE_SUFFIX;
    }
    Search.LoadMap(MapFileName);
}

namespace {

void Toggle(Switch& value) {
    value = -value;
}

// Keys, auto-repeats included. Returns true for Esc, whose message is not
// passed on to the default handling.
bool HandleKey(HWND window, WPARAM key) {
    switch (key) {
    case VK_ESCAPE:
        PostMessageA(window, WM_CLOSE, 0, 0);
        return true;
    case VK_F1:
        Toggle(ShowImage);
        break;
    case VK_F2:
        Toggle(ShowLines);
        break;
    case VK_F3:
        Toggle(ShowWaypoints);
        break;
    case VK_F4:
        Toggle(ShowNodes);
        break;
    case VK_F5:
        Toggle(ShowVisitedNodes);
        break;
    case VK_F6:
        Toggle(UseStraightLineCheck);
        break;
    case VK_F7:
        Toggle(UseAdvancedFiltering);
        break;
    case VK_UP:
        if (CellSize < MAX_CELL_SIZE) {
            ReloadMap(MapChange::CELL_SIZE_UP);
        }
        break;
    case VK_DOWN:
        if (CellSize > 1) {
            ReloadMap(MapChange::CELL_SIZE_DOWN);
        }
        break;
    case VK_LEFT:
        if (MapIndex > 0) {
            ReloadMap(MapChange::PREVIOUS_MAP);
        }
        break;
    case VK_RIGHT:
        if (MapIndex < MAX_MAP_INDEX) {
            ReloadMap(MapChange::NEXT_MAP);
        }
        break;
    case VK_HOME:
        if (HeuristicWeight < MAX_HEURISTIC_WEIGHT) {
            HeuristicWeight = HeuristicWeight + 1;
        }
        break;
    case VK_END:
        if (HeuristicWeight > 0) {
            HeuristicWeight = HeuristicWeight - 1;
        }
        break;
    default:
        break;
    }
    return false;
}

} // namespace

LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        if (HandleKey(window, wParam)) {
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        MouseX = LOWORD(static_cast<uintptr_t>(lParam));
        MouseY = HIWORD(static_cast<uintptr_t>(lParam));
        break;
    case WM_RBUTTONDOWN:
        // The start is where the mouse last moved to, not where the button
        // message says it is.
        StartPointX = static_cast<float>(MouseX);
        StartPointY = static_cast<float>(MouseY);
        break;
    case WM_DESTROY:
        AppRunning = false;
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
