// Windows: virtual records in headless mode, SDL windows otherwise, each with
// the presenter that shows its device's back buffer. Video starts with the
// first SDL window and stops when the last one is gone.

#include <strings.h>

#include <cstdlib>
#include <map>

#include "platform/sdl_presenter.h"
#include "platform/window_registry.h"

namespace {

// Client sizes outside this range are refused instead of handed to SDL.
constexpr int MAX_CLIENT_SIDE = 16384;
// The client area a window gets when its size is left to the system.
constexpr int DEFAULT_CLIENT_WIDTH = 800;
constexpr int DEFAULT_CLIENT_HEIGHT = 600;

// Handles are numbers that are never reused, so a stale handle finds nothing
// instead of a newer window.
constexpr uintptr_t FIRST_WINDOW_HANDLE = 0x10010;
constexpr uintptr_t WINDOW_HANDLE_STEP = 0x10;

std::map<uintptr_t, std::unique_ptr<WindowRecord>>& Windows() {
    static std::map<uintptr_t, std::unique_ptr<WindowRecord>> windows;
    return windows;
}

std::string& LastError() {
    static std::string error;
    return error;
}

bool VideoStarted = false;

bool HasEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

bool StartVideo() {
    if (VideoStarted) {
        return true;
    }
    // Without a display SDL would fall back to drawing off screen, and the
    // user would see nothing at all; say so instead, before any driver is
    // tried (a failing driver may print to standard error on its own).
    // SDL_VIDEODRIVER still picks any driver on purpose.
    if (!HasEnvironment("DISPLAY") && !HasEnvironment("WAYLAND_DISPLAY") &&
        !HasEnvironment("SDL_VIDEODRIVER")) {
        SetWindowSystemError("no display to open a window on (neither DISPLAY nor "
                             "WAYLAND_DISPLAY is set)");
        return false;
    }
    // Without auto-capture a drag that leaves the window reports nothing from
    // outside it. Ctrl+C in the terminal ends the program as usual.
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The picture is drawn in software already; presenting it through the
    // window's own surface keeps a GPU driver (tens of megabytes) out of the
    // process. The environment can still ask for another renderer.
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        SetWindowSystemError(std::string("no display to open a window on (") + SDL_GetError() +
                             ")");
        return false;
    }
    VideoStarted = true;
    return true;
}

void StopVideoWhenUnused() {
    if (!VideoStarted) {
        return;
    }
    for (const auto& [handle, record] : Windows()) {
        if (record->sdlWindow != nullptr) {
            return;
        }
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    VideoStarted = false;
    // Nothing else of SDL in use: let it release what video brought along.
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) {
        SDL_Quit();
    }
}

// The SDL side of a new window: the window itself (hidden until ShowWindow),
// its icon and cursor, and its presenter.
bool OpenSdlWindow(WindowRecord& record, const WindowClassRecord& windowClass, LPCSTR title, int x,
                   int y) {
    if (!StartVideo()) {
        return false;
    }
    int left = x == CW_USEDEFAULT ? SDL_WINDOWPOS_CENTERED : x + WINDOW_BORDER;
    int top = y == CW_USEDEFAULT ? SDL_WINDOWPOS_CENTERED : y + WINDOW_BORDER + WINDOW_TITLE_BAR;
    record.sdlWindow = SDL_CreateWindow(title != nullptr ? title : "", left, top,
                                        record.clientWidth, record.clientHeight, SDL_WINDOW_HIDDEN);
    if (record.sdlWindow == nullptr) {
        SetWindowSystemError(std::string("cannot open a window (") + SDL_GetError() + ")");
        return false;
    }
    if (windowClass.icon == ProgramIconHandle()) {
        if (SDL_Surface* icon = MakeProgramIcon()) {
            SDL_SetWindowIcon(record.sdlWindow, icon);
            SDL_FreeSurface(icon);
        }
    }
    if (windowClass.cursor == CrossCursorHandle()) {
        record.cursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_CROSSHAIR);
        if (record.cursor != nullptr) {
            SDL_SetCursor(record.cursor);
        }
    }
    record.presenter = std::make_unique<SdlPresenter>(record.sdlWindow);
    std::string error;
    if (!record.presenter->Start(&error)) {
        SetWindowSystemError(error);
        return false;
    }
    return true;
}

} // namespace

WindowRecord::WindowRecord() = default;

WindowRecord::~WindowRecord() {
    // The renderer goes before the window it draws into.
    presenter.reset();
    if (cursor != nullptr) {
        SDL_SetCursor(SDL_GetDefaultCursor());
        SDL_FreeCursor(cursor);
    }
    if (sdlWindow != nullptr) {
        SDL_DestroyWindow(sdlWindow);
    }
}

void SetWindowSystemError(const std::string& reason) {
    LastError() = reason;
}

const char* GetWindowSystemError() {
    return LastError().c_str();
}

WindowRecord* FindWindowRecord(HWND window) {
    auto found = Windows().find(reinterpret_cast<uintptr_t>(window));
    return found == Windows().end() ? nullptr : found->second.get();
}

WindowRecord* FindWindowBySdlId(Uint32 sdlWindowId) {
    for (const auto& [handle, record] : Windows()) {
        if (record->sdlWindow != nullptr && SDL_GetWindowID(record->sdlWindow) == sdlWindowId) {
            return record.get();
        }
    }
    return nullptr;
}

HWND FirstWindow() {
    return Windows().empty() ? nullptr : Windows().begin()->second->handle;
}

bool ClassHasWindows(const std::string& className) {
    for (const auto& [handle, record] : Windows()) {
        if (strcasecmp(record->className.c_str(), className.c_str()) == 0) {
            return true;
        }
    }
    return false;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    (void)exStyle;
    (void)style;
    (void)parent;
    (void)instance;
    (void)param;
    const WindowClassRecord* windowClass = FindWindowClass(className);
    if (windowClass == nullptr) {
        SetWindowSystemError("cannot open a window: its class is not registered");
        return nullptr;
    }

    // The client area is what is left inside the frame AdjustWindowRect added.
    int64_t clientWidth = DEFAULT_CLIENT_WIDTH;
    int64_t clientHeight = DEFAULT_CLIENT_HEIGHT;
    if (width != CW_USEDEFAULT) {
        clientWidth = int64_t{width} - 2 * WINDOW_BORDER;
        clientHeight = int64_t{height} - 2 * WINDOW_BORDER - WINDOW_TITLE_BAR -
                       (menu != nullptr ? WINDOW_MENU_BAR : 0);
    }
    if (clientWidth < 1 || clientHeight < 1 || clientWidth > MAX_CLIENT_SIDE ||
        clientHeight > MAX_CLIENT_SIDE) {
        SetWindowSystemError("cannot open a window of " + std::to_string(clientWidth) + " x " +
                             std::to_string(clientHeight) + " client pixels");
        return nullptr;
    }

    static uintptr_t nextHandle = FIRST_WINDOW_HANDLE;
    auto record = std::make_unique<WindowRecord>();
    record->handle = reinterpret_cast<HWND>(nextHandle);
    record->className = windowClass->name;
    record->classStyle = windowClass->style;
    record->procedure = windowClass->procedure;
    record->clientWidth = static_cast<int>(clientWidth);
    record->clientHeight = static_cast<int>(clientHeight);
    if (!IsHeadless() && !OpenSdlWindow(*record, *windowClass, windowName, x, y)) {
        record.reset();
        StopVideoWhenUnused();
        return nullptr;
    }
    nextHandle += WINDOW_HANDLE_STEP;
    HWND handle = record->handle;
    if (record->presenter != nullptr) {
        SetWindowPresenter(handle, record->presenter.get());
    }
    Windows()[reinterpret_cast<uintptr_t>(handle)] = std::move(record);
    return handle;
}

BOOL ShowWindow(HWND window, int showCommand) {
    WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr) {
        return FALSE;
    }
    BOOL wasVisible = record->visible ? TRUE : FALSE;
    record->visible = showCommand != SW_HIDE;
    if (record->sdlWindow != nullptr) {
        if (record->visible) {
            SDL_ShowWindow(record->sdlWindow);
            record->presenter->ShowBlank();
        } else {
            SDL_HideWindow(record->sdlWindow);
        }
    }
    return wasVisible;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr || rect == nullptr) {
        return FALSE;
    }
    *rect = RECT{0, 0, record->clientWidth, record->clientHeight};
    return TRUE;
}

BOOL DestroyWindow(HWND window) {
    WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr || record->destroying) {
        return FALSE;
    }
    // The procedure hears WM_DESTROY while its handle still works; a second
    // DestroyWindow from inside it finds the window already going.
    record->destroying = true;
    if (record->sdlWindow != nullptr) {
        SDL_HideWindow(record->sdlWindow);
    }
    record->procedure(window, WM_DESTROY, 0, 0);

    SetWindowPresenter(window, nullptr);
    DropMessagesFor(window);
    Windows().erase(reinterpret_cast<uintptr_t>(window));
    StopVideoWhenUnused();
    return TRUE;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)wParam;
    (void)lParam;
    if (message == WM_CLOSE) {
        DestroyWindow(window);
    }
    return 0;
}

void SetFullScreenPresentation(HWND window, bool fullScreen) {
    WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr) {
        return;
    }
    record->fullScreen = fullScreen;
    SDL_Window* sdlWindow = record->sdlWindow;
    if (sdlWindow == nullptr) {
        return;
    }
    if (fullScreen) {
        // The window first covers its display by itself, which is all there
        // is to full screen on a desktop with no window manager; then the
        // window manager, where there is one, is asked for full screen too.
        SDL_Rect display{};
        int index = SDL_GetWindowDisplayIndex(sdlWindow);
        if (SDL_GetDisplayBounds(index < 0 ? 0 : index, &display) == 0) {
            SDL_SetWindowBordered(sdlWindow, SDL_FALSE);
            SDL_SetWindowPosition(sdlWindow, display.x, display.y);
            SDL_SetWindowSize(sdlWindow, display.w, display.h);
        }
        SDL_SetWindowFullscreen(sdlWindow, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(sdlWindow, 0);
        SDL_SetWindowBordered(sdlWindow, SDL_TRUE);
        SDL_SetWindowSize(sdlWindow, record->clientWidth, record->clientHeight);
        SDL_SetWindowPosition(sdlWindow, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    // Full screen, each present waits for the display's retrace.
    record->presenter->SetVSync(fullScreen);
}
