#pragma once
// The user's settings, the picked points, the timing of the last search and the
// overlay's text buffer: plain globals that every layer reads and writes
// directly, on the program's one thread.

#include <string>

#include "platform/direct3d.h"
#include "platform/win_types.h"

class TextFont;

// A switch holds 1 (on) or -1 (off); a key negates it and readers test for 1.
using Switch = int32_t;
constexpr Switch SWITCH_ON = 1;
constexpr Switch SWITCH_OFF = -1;

// Pixels per cell edge, 1 to 800: the active grid is 800 / CellSize columns by
// 600 / CellSize rows.
extern uint32_t CellSize;
// Factor of the heuristic estimate, 0 to 10.
extern uint32_t HeuristicWeight;
// Number of the current map image, 0 to 3.
extern uint32_t MapIndex;
// Path of the current map bitmap, relative to the working directory.
extern std::string MapFileName;

extern Switch ShowImage;            // F1: copy the map picture to the back buffer
extern Switch ShowLines;            // F2: draw the path as line segments
extern Switch ShowWaypoints;        // F3: mark every path point
extern Switch ShowNodes;            // F4: mark every walkable cell
extern Switch ShowVisitedNodes;     // F5: mark every cell the search reached
extern Switch UseStraightLineCheck; // F6: stop once the goal is in straight sight
extern Switch UseAdvancedFiltering; // F7: thin the found path

// Last mouse position in client pixels: the search goal.
extern uint32_t MouseX;
extern uint32_t MouseY;
// Last point picked with the right button, in client pixels: the search start.
extern float StartPointX;
extern float StartPointY;

// The main loop runs while this is true; the window's destruction clears it.
extern bool AppRunning;

// Performance-counter ticks per second, and the readings around the last search.
extern LONGLONG CounterFrequency;
extern LONGLONG SearchStartCount;
extern LONGLONG SearchEndCount;

// Every overlay text line is formatted into this buffer, then drawn from it.
// The longest line is "F6: Straight line check"; the time line is formatted
// with snprintf, so even an absurd time cannot overrun it.
constexpr size_t TEXT_BUFFER_SIZE = 128;
extern char TextBuffer[TEXT_BUFFER_SIZE];

// The platform objects, made and owned by the shell.
extern HWND MainWindow;
extern IDirect3D8* D3DObject;
extern IDirect3DDevice8* D3DDevice;
// The desktop's mode, read once at device set-up: its format is the back
// buffer's and the map picture's.
extern D3DDISPLAYMODE DisplayMode;
extern D3DPRESENT_PARAMETERS PresentParams;
extern D3DVIEWPORT8 Viewport;
// The one font of all overlay text.
extern TextFont* OverlayFont;
