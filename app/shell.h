#pragma once
// The shell: the window, the device and the overlay font, the main loop, and
// the window procedure that turns keys and mouse messages into settings.

#include "platform/window_system.h"

// The map file name of a map number: "images/hittest<N>.bmp".
constexpr const char* MAP_FILE_PREFIX = "images/hittest";
constexpr const char* MAP_FILE_SUFFIX = ".bmp";
constexpr UINT MAX_CELL_SIZE = 800;
constexpr UINT MAX_MAP_INDEX = 3;
constexpr UINT MAX_HEURISTIC_WEIGHT = 10;

// Chosen when the workbench is built: TRUE presents into an 800 x 600 window,
// FALSE covers the display. The two executables differ only in this.
constexpr BOOL WINDOWED_BUILD = BRASSEL_WINDOWED;

// Registers the window class and opens MainWindow; false (with one line on
// standard error) when the window cannot be had.
bool InitWindow();
// Makes the Direct3D object, the device and the overlay font and gives the
// switches and the panel their start-up values; false (with one line on
// standard error) when any of them cannot be had.
bool InitD3D();

// Releases what start-up made, the device's dependants (map picture, font)
// before the device, then the window and its class. Safe to call whatever
// start-up got as far as.
void ShutDown();

LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The one change an arrow key makes before the map is loaded again.
enum class MapChange { CELL_SIZE_UP, CELL_SIZE_DOWN, PREVIOUS_MAP, NEXT_MAP };
void ReloadMap(MapChange change);
// The last frame with the panel and "Calculating..." drawn over it, shown while a map loads.
void DrawCalculatingFrame();
