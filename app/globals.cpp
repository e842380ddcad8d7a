#include "app/globals.h"

uint32_t CellSize = 10;
uint32_t HeuristicWeight = 0;
uint32_t MapIndex = 0;
std::string MapFileName;

// The switches are zero until device set-up gives them their start-up values.
Switch ShowImage = 0;
Switch ShowLines = 0;
Switch ShowWaypoints = 0;
Switch ShowNodes = 0;
Switch ShowVisitedNodes = 0;
Switch UseStraightLineCheck = 0;
Switch UseAdvancedFiltering = 0;

uint32_t MouseX = 0;
uint32_t MouseY = 0;
float StartPointX = 0.0f;
float StartPointY = 0.0f;

bool AppRunning = true;

LONGLONG CounterFrequency = 0;
LONGLONG SearchStartCount = 0;
LONGLONG SearchEndCount = 0;

char TextBuffer[TEXT_BUFFER_SIZE] = {};

HWND MainWindow = nullptr;
IDirect3D8* D3DObject = nullptr;
IDirect3DDevice8* D3DDevice = nullptr;
D3DDISPLAYMODE DisplayMode = {};
D3DPRESENT_PARAMETERS PresentParams = {};
D3DVIEWPORT8 Viewport = {};
TextFont* OverlayFont = nullptr;
