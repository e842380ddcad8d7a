#pragma once
// Our stand-in for the platform's window classes, windows and message queue,
// on SDL2 (or on nothing at all in headless mode), and the program entry that
// main() calls. Only the calls and values the program and its tools use exist.

#include "platform/win_types.h"

#include <cstddef>

using WNDPROC = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

struct WNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time; // milliseconds since the window system started
    POINT pt;   // last mouse position, in the window's client pixels
};

// Class styles.
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008; // a quick second click arrives as a double-click message
constexpr UINT CS_OWNDC = 0x0020;

// Window styles. A top-level window always gets a title bar and a border.
constexpr DWORD WS_SYSMENU = 0x00080000;

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

// ShowWindow commands: SW_HIDE hides, every other one shows.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWDEFAULT = 10;

// PeekMessageA removal flags.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// Messages.
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;

// Mouse-message wParam: which buttons are held.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;

// Virtual-key codes (WM_KEYDOWN wParam). Letters and digits arrive as their
// upper-case ASCII codes.
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_END = 0x23;
constexpr WPARAM VK_HOME = 0x24;
constexpr WPARAM VK_LEFT = 0x25;
constexpr WPARAM VK_UP = 0x26;
constexpr WPARAM VK_RIGHT = 0x27;
constexpr WPARAM VK_DOWN = 0x28;
constexpr WPARAM VK_F1 = 0x70;
constexpr WPARAM VK_F2 = 0x71;
constexpr WPARAM VK_F3 = 0x72;
constexpr WPARAM VK_F4 = 0x73;
constexpr WPARAM VK_F5 = 0x74;
constexpr WPARAM VK_F6 = 0x75;
constexpr WPARAM VK_F7 = 0x76;
constexpr WPARAM VK_F8 = 0x77;
constexpr WPARAM VK_F9 = 0x78;

// Stock objects.
constexpr int BLACK_BRUSH = 4;

// A resource named by number instead of by string.
inline LPSTR MAKEINTRESOURCEA(WORD id) {
    return reinterpret_cast<LPSTR>(static_cast<uintptr_t>(id));
}
inline const LPCSTR IDC_CROSS = MAKEINTRESOURCEA(32515);

// The program's own icon: LoadIconA(NULL, MAKEINTRESOURCEA(PROGRAM_ICON_ID))
// gives a small picture of a grid with a path across it, drawn in code. Any
// other icon request gives null (the window shows the desktop's default).
constexpr WORD PROGRAM_ICON_ID = 101;

// The process entry, written by the program; main() calls it with the module
// handle, no previous instance, the arguments joined by spaces and
// SW_SHOWDEFAULT, and returns its result as the exit code.
int WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

// Module, class resources and class registration.
HMODULE GetModuleHandleA(LPCSTR moduleName); // only NULL (the program itself) is known
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR cursorName);
HICON LoadIconA(HINSTANCE instance, LPCSTR iconName);
HGDIOBJ GetStockObject(int object);
ATOM RegisterClassExA(const WNDCLASSEXA* windowClass);       // 0 on failure
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance); // FALSE while windows of it exist

// Window frame. Every top-level window has a border of WINDOW_BORDER pixels
// on each side and a title bar of WINDOW_TITLE_BAR pixels above its client
// area (WINDOW_MENU_BAR more with a menu); AdjustWindowRect grows a client
// rectangle by exactly that, and CreateWindowExA takes it off again, so the
// client area is the rectangle the program started from.
constexpr LONG WINDOW_BORDER = 3;
constexpr LONG WINDOW_TITLE_BAR = 23;
constexpr LONG WINDOW_MENU_BAR = 20;
BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu);

// Windows. CreateWindowExA returns null when it cannot make the window (no
// display, unknown class, size out of range); GetWindowSystemError then says
// why, in one line fit for standard error. The window's procedure receives no
// message during creation.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
const char* GetWindowSystemError();
BOOL ShowWindow(HWND window, int showCommand); // previous visibility
BOOL GetClientRect(HWND window, RECT* rect);   // (0, 0, client width, client height)
BOOL DestroyWindow(HWND window); // sends WM_DESTROY, then the handle is no longer valid

// Messages. Posted messages (PostMessageA, PostQuitMessage) come before input
// (window events, scripted messages); each kind is delivered first in, first
// out, at most one message per PeekMessageA. Messages still queued for a
// window when it is destroyed are dropped with it. Consecutive mouse
// movements from the desktop are merged into one message with the latest
// position, as the desktop itself does, so moving the mouse never builds a
// backlog; scripted messages are delivered exactly as pushed.
BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* message); // no character messages exist: always FALSE
LRESULT DispatchMessageA(const MSG* message);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode); // queues WM_QUIT (no window, wParam = exit code)

// Presentation mode of a window. A window starts windowed: its back buffer is
// shown at its own size in the client area. Full screen, the window covers the
// display and the picture is scaled into it with its aspect kept (black bars
// fill the rest); mouse positions are mapped back to picture pixels, and
// nothing from the bars reaches the program. The device's CreateDevice calls
// this for its device window with !Windowed.
void SetFullScreenPresentation(HWND window, bool fullScreen);

// Headless mode, for tests and the command-line tool. Windows are virtual: no
// video at all, no presenter registered (Present shows nothing), and input
// comes only from the scripted queue. Must be chosen before the first window
// exists; returns false (and changes nothing) when a window exists.
bool SetHeadlessMode(bool headless);

// The scripted queue: input messages for the first living window (the oldest
// one), delivered in order after any posted message. They wait while no
// window exists. Works with or without headless mode.
void PushScriptedMessage(UINT message, WPARAM wParam, LPARAM lParam);
size_t PendingScriptedMessages();
