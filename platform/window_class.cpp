// Window classes and the resources a class names: the module handle, the
// crosshair cursor, the program icon, the black stock brush, and the size of
// the frame around a client area.

#include <strings.h>

#include <vector>

#include "platform/window_registry.h"

// Handles of things that need no state of their own are the addresses of
// these markers: unique, never null, and never read through.
static char ProgramModule;
static char CrossCursor;
static char ProgramIcon;
static char BlackBrush;

static constexpr ATOM FIRST_CLASS_ATOM = 0xC000;

static std::vector<WindowClassRecord>& WindowClasses() {
    static std::vector<WindowClassRecord> classes;
    return classes;
}

// A resource or class "name" below 0x10000 is a number, not a string.
static bool IsNumberName(LPCSTR name) {
    return reinterpret_cast<uintptr_t>(name) < 0x10000;
}

static HINSTANCE OwnInstance(HINSTANCE instance) {
    return instance != nullptr ? instance : GetModuleHandleA(nullptr);
}

HCURSOR CrossCursorHandle() {
    return reinterpret_cast<HCURSOR>(&CrossCursor);
}
HICON ProgramIconHandle() {
    return reinterpret_cast<HICON>(&ProgramIcon);
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    return moduleName == nullptr ? reinterpret_cast<HMODULE>(&ProgramModule) : nullptr;
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR cursorName) {
    return instance == nullptr && cursorName == IDC_CROSS ? CrossCursorHandle() : nullptr;
}

HICON LoadIconA(HINSTANCE instance, LPCSTR iconName) {
    (void)instance;
    return iconName == MAKEINTRESOURCEA(PROGRAM_ICON_ID) ? ProgramIconHandle() : nullptr;
}

HGDIOBJ GetStockObject(int object) {
    return object == BLACK_BRUSH ? &BlackBrush : nullptr;
}

const WindowClassRecord* FindWindowClass(LPCSTR name) {
    if (name == nullptr) {
        return nullptr;
    }
    for (const WindowClassRecord& record : WindowClasses()) {
        bool same = IsNumberName(name) ? record.atom == reinterpret_cast<uintptr_t>(name)
                                       : strcasecmp(record.name.c_str(), name) == 0;
        if (same) {
            return &record;
        }
    }
    return nullptr;
}

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) {
    if (windowClass == nullptr || windowClass->cbSize != sizeof(WNDCLASSEXA) ||
        windowClass->lpfnWndProc == nullptr || windowClass->lpszClassName == nullptr ||
        IsNumberName(windowClass->lpszClassName) || windowClass->lpszClassName[0] == '\0') {
        SetWindowSystemError("RegisterClassExA: incomplete window class");
        return 0;
    }
    if (FindWindowClass(windowClass->lpszClassName) != nullptr) {
        SetWindowSystemError(std::string("RegisterClassExA: class \"") +
                             windowClass->lpszClassName + "\" already exists");
        return 0;
    }
    // Atoms are never reused, so a stale one cannot name a newer class.
    static uint32_t nextAtom = FIRST_CLASS_ATOM;
    if (nextAtom > 0xFFFF) {
        SetWindowSystemError("RegisterClassExA: out of class atoms");
        return 0;
    }
    WindowClassRecord record;
    record.name = windowClass->lpszClassName;
    record.atom = static_cast<ATOM>(nextAtom++);
    record.style = windowClass->style;
    record.procedure = windowClass->lpfnWndProc;
    record.instance = OwnInstance(windowClass->hInstance);
    record.cursor = windowClass->hCursor;
    record.icon = windowClass->hIcon;
    WindowClasses().push_back(record);
    return record.atom;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance) {
    const WindowClassRecord* found = FindWindowClass(className);
    if (found == nullptr || found->instance != OwnInstance(instance) ||
        ClassHasWindows(found->name)) {
        return FALSE;
    }
    auto& classes = WindowClasses();
    classes.erase(classes.begin() + (found - classes.data()));
    return TRUE;
}

BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu) {
    (void)style;
    if (rect == nullptr) {
        return FALSE;
    }
    rect->left -= WINDOW_BORDER;
    rect->right += WINDOW_BORDER;
    rect->top -= WINDOW_BORDER + WINDOW_TITLE_BAR + (menu ? WINDOW_MENU_BAR : 0);
    rect->bottom += WINDOW_BORDER;
    return TRUE;
}
