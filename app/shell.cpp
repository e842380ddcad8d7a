// The program entry: the window, the device and the font are made, the first
// map is loaded, and the loop handles at most one message and renders one
// frame per pass until the window is destroyed.

#include <cstdio>

#include "app/globals.h"
#include "app/shell.h"
#include "platform/perf_counter.h"
#include "render/render.h"
#include "render/text_font.h"
#include "search/grid_search.h"

namespace {

constexpr const char* WINDOW_CLASS_NAME = "Wayfinch";
constexpr const char* WINDOW_TITLE = "Wayfinch";
constexpr UINT CLASS_STYLE = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
constexpr LONG CLIENT_WIDTH = 800;
constexpr LONG CLIENT_HEIGHT = 600;
constexpr const char* FIRST_MAP = "images/hittest0.bmp";

} // namespace

void ShutDown() {
    Search.ReleaseMap();
    if (OverlayFont != nullptr) {
        OverlayFont->ReleaseDeviceObjects();
        delete OverlayFont;
        OverlayFont = nullptr;
    }
    if (D3DDevice != nullptr) {
        D3DDevice->Release();
        D3DDevice = nullptr;
    }
    if (D3DObject != nullptr) {
        D3DObject->Release();
        D3DObject = nullptr;
    }
    if (MainWindow != nullptr) {
        DestroyWindow(MainWindow);
        MainWindow = nullptr;
    }
    UnregisterClassA(WINDOW_CLASS_NAME, GetModuleHandleA(nullptr));
}

bool InitWindow() {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.style = CLASS_STYLE;
    windowClass.lpfnWndProc = WndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(PROGRAM_ICON_ID));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_CROSS);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = WINDOW_CLASS_NAME;
    windowClass.hIconSm = nullptr;
    if (RegisterClassExA(&windowClass) == 0) {
        std::fprintf(stderr, "brassel: cannot register the window class: %s\n",
                     GetWindowSystemError());
        return false;
    }

    // The window is as large as it must be for a client area of exactly 800 x 600.
    RECT rect = {0, 0, CLIENT_WIDTH, CLIENT_HEIGHT};
    AdjustWindowRect(&rect, WS_SYSMENU, FALSE);
    MainWindow = CreateWindowExA(0, WINDOW_CLASS_NAME, WINDOW_TITLE, WS_SYSMENU, CW_USEDEFAULT,
                                 CW_USEDEFAULT, rect.right - rect.left, rect.bottom - rect.top,
                                 nullptr, nullptr, windowClass.hInstance, nullptr);
    if (MainWindow == nullptr) {
        std::fprintf(stderr, "brassel: cannot open the window: %s\n", GetWindowSystemError());
        return false;
    }
    return true;
}

bool InitD3D() {
    D3DObject = Direct3DCreate8(D3D_SDK_VERSION);
    if (D3DObject == nullptr) {
        std::fprintf(stderr, "brassel: cannot create the Direct3D object\n");
        return false;
    }
    D3DObject->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &DisplayMode);

    PresentParams = {};
    PresentParams.BackBufferWidth = CLIENT_WIDTH;
    PresentParams.BackBufferHeight = CLIENT_HEIGHT;
    PresentParams.BackBufferFormat = DisplayMode.Format;
    PresentParams.BackBufferCount = 1;
    PresentParams.MultiSampleType = D3DMULTISAMPLE_NONE;
    PresentParams.SwapEffect = D3DSWAPEFFECT_COPY;
    PresentParams.hDeviceWindow = MainWindow;
    PresentParams.Windowed = WINDOWED_BUILD;
    PresentParams.EnableAutoDepthStencil = FALSE;
    PresentParams.AutoDepthStencilFormat = D3DFMT_UNKNOWN;
    PresentParams.Flags = 0;
    PresentParams.FullScreen_RefreshRateInHz = D3DPRESENT_RATE_DEFAULT;
    PresentParams.FullScreen_PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
    if (FAILED(D3DObject->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, MainWindow,
                                       D3DCREATE_SOFTWARE_VERTEXPROCESSING, &PresentParams,
                                       &D3DDevice))) {
        D3DDevice = nullptr;
        std::fprintf(stderr, "brassel: cannot create the Direct3D device\n");
        return false;
    }

    // The usual depth range is 0 to 1; this program's is -5 to 5.
    Viewport = {0, 0, CLIENT_WIDTH, CLIENT_HEIGHT, -5.0f, 5.0f};
    D3DDevice->SetViewport(&Viewport);

    OverlayFont = new TextFont("Arial", 8);
    if (FAILED(OverlayFont->CreateGlyphAtlas(D3DDevice)) ||
        FAILED(OverlayFont->CreateDrawResources())) {
        std::fprintf(stderr, "brassel: cannot create the overlay font\n");
        return false;
    }

    ShowImage = SWITCH_ON;
    ShowLines = SWITCH_ON;
    ShowWaypoints = SWITCH_OFF;
    ShowNodes = SWITCH_OFF;
    ShowVisitedNodes = SWITCH_OFF;
    UseStraightLineCheck = SWITCH_OFF;
    UseAdvancedFiltering = SWITCH_OFF;

    SetPanelVertices();
    return true;
}

int WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    StartPointX = 0.0f;
    StartPointY = 0.0f;
    if (!InitWindow() || !InitD3D()) {
        ShutDown();
        return 1;
    }
    ShowWindow(MainWindow, showCommand);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    CounterFrequency = frequency.QuadPart;
    MapFileName = FIRST_MAP;
    Search.LoadMap(MapFileName);
    SetPointAndLineVertices();

    // One message at most and one frame per pass; the loop never waits.
    while (AppRunning) {
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Render();
    }

    // The window is gone by now; its handle is no longer valid.
    MainWindow = nullptr;
    ShutDown();
    return 0;
}
