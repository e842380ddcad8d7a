#pragma once
// Internal to the window system: the records behind class names and window
// handles, shared by the class registry, the windows, the message queue and
// headless mode. Nothing outside platform/ includes this header.

#include <SDL.h>

#include <deque>
#include <memory>
#include <string>

#include "platform/window_system.h"

class SdlPresenter;

struct WindowClassRecord {
    std::string name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    HINSTANCE instance = nullptr;
    HCURSOR cursor = nullptr;
    HICON icon = nullptr;
};

struct WindowRecord {
    HWND handle = nullptr;
    std::string className;
    UINT classStyle = 0;
    WNDPROC procedure = nullptr;
    int clientWidth = 0;
    int clientHeight = 0;
    bool visible = false;
    bool fullScreen = false;
    bool destroying = false;         // WM_DESTROY is being sent; the handle still works
    SDL_Window* sdlWindow = nullptr; // null for virtual (headless) windows
    SDL_Cursor* cursor = nullptr;
    std::unique_ptr<SdlPresenter> presenter;

    WindowRecord();
    ~WindowRecord();
};

// Classes (window_class.cpp). A name may also be an atom, as the platform allows.
const WindowClassRecord* FindWindowClass(LPCSTR name);
HCURSOR CrossCursorHandle();
HICON ProgramIconHandle();
// The program icon as a new surface for SDL_SetWindowIcon, or null.
SDL_Surface* MakeProgramIcon();

// Windows (window.cpp). Lookups give null for unknown and destroyed handles.
void SetWindowSystemError(const std::string& reason);
WindowRecord* FindWindowRecord(HWND window);
WindowRecord* FindWindowBySdlId(Uint32 sdlWindowId);
HWND FirstWindow();
bool ClassHasWindows(const std::string& className);

// Messages (message_queue.cpp).
void DropMessagesFor(HWND window);
DWORD MessageTime();

// Headless mode and the scripted queue (headless.cpp).
bool IsHeadless();
struct ScriptedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::deque<ScriptedMessage>& ScriptedQueue();
