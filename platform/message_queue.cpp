// The message queue: posted messages, the desktop's events turned into window
// messages, and the scripted queue, handed out one at a time by PeekMessageA
// and delivered to window procedures by DispatchMessageA.

#include <chrono>
#include <deque>

#include "platform/sdl_presenter.h"
#include "platform/window_registry.h"

namespace {

std::deque<MSG>& PostedQueue() {
    static std::deque<MSG> queue;
    return queue;
}

std::deque<MSG>& InputQueue() {
    static std::deque<MSG> queue;
    return queue;
}

POINT LastMouse = {0, 0};
WPARAM HeldButtons = 0;

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return MSG{window, message, wParam, lParam, MessageTime(), LastMouse};
}

bool Matches(const MSG& message, HWND window, UINT filterMin, UINT filterMax) {
    if (window != nullptr && message.hwnd != window) {
        return false;
    }
    return (filterMin == 0 && filterMax == 0) ||
           (message.message >= filterMin && message.message <= filterMax);
}

// Takes the first matching message of a queue, or copies it when the caller
// leaves it queued.
bool TakeFrom(std::deque<MSG>& queue, MSG* message, HWND window, UINT filterMin, UINT filterMax,
              bool remove) {
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (Matches(*it, window, filterMin, filterMax)) {
            *message = *it;
            if (remove) {
                queue.erase(it);
            }
            return true;
        }
    }
    return false;
}

bool TakeScripted(MSG* message, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    HWND target = FirstWindow();
    if (target == nullptr) {
        return false;
    }
    auto& queue = ScriptedQueue();
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        MSG candidate = MakeMessage(target, it->message, it->wParam, it->lParam);
        if (Matches(candidate, window, filterMin, filterMax)) {
            *message = candidate;
            if (remove) {
                queue.erase(it);
            }
            return true;
        }
    }
    return false;
}

// The platform's key code of a key, or 0 for keys the program has no code for.
WPARAM VirtualKeyOf(SDL_Scancode key) {
    if (key >= SDL_SCANCODE_A && key <= SDL_SCANCODE_Z) {
        return 'A' + (key - SDL_SCANCODE_A);
    }
    if (key >= SDL_SCANCODE_1 && key <= SDL_SCANCODE_9) {
        return '1' + (key - SDL_SCANCODE_1);
    }
    if (key >= SDL_SCANCODE_F1 && key <= SDL_SCANCODE_F12) {
        return VK_F1 + (key - SDL_SCANCODE_F1);
    }
    switch (key) {
    case SDL_SCANCODE_0:
        return '0';
    case SDL_SCANCODE_ESCAPE:
        return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE:
        return 0x08;
    case SDL_SCANCODE_TAB:
        return 0x09;
    case SDL_SCANCODE_RETURN:
        return 0x0D;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
        return 0x10;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
        return 0x11;
    case SDL_SCANCODE_SPACE:
        return 0x20;
    case SDL_SCANCODE_PAGEUP:
        return 0x21;
    case SDL_SCANCODE_PAGEDOWN:
        return 0x22;
    case SDL_SCANCODE_END:
        return VK_END;
    case SDL_SCANCODE_HOME:
        return VK_HOME;
    case SDL_SCANCODE_LEFT:
        return VK_LEFT;
    case SDL_SCANCODE_UP:
        return VK_UP;
    case SDL_SCANCODE_RIGHT:
        return VK_RIGHT;
    case SDL_SCANCODE_DOWN:
        return VK_DOWN;
    case SDL_SCANCODE_INSERT:
        return 0x2D;
    case SDL_SCANCODE_DELETE:
        return 0x2E;
    default:
        return 0;
    }
}

WPARAM ButtonMask(Uint8 button) {
    return button == SDL_BUTTON_LEFT ? MK_LBUTTON : button == SDL_BUTTON_RIGHT ? MK_RBUTTON : 0;
}

// The client position of a mouse event, in the pixels of the presented
// picture; false when it lies outside the client area or on a full-screen bar.
bool ClientPosition(const WindowRecord& record, int x, int y, POINT* client) {
    if (record.presenter != nullptr) {
        return record.presenter->MapMouse(x, y, client);
    }
    if (x < 0 || y < 0 || x >= record.clientWidth || y >= record.clientHeight) {
        return false;
    }
    *client = POINT{x, y};
    return true;
}

void QueueMouseMove(HWND window, WPARAM buttons, POINT client) {
    LastMouse = client;
    LPARAM position = MAKELPARAM(static_cast<WORD>(client.x), static_cast<WORD>(client.y));
    // The desktop reports the newest position, not every step on the way, so
    // moving the mouse never builds a backlog of frames to work off.
    auto& queue = InputQueue();
    if (!queue.empty() && queue.back().message == WM_MOUSEMOVE && queue.back().hwnd == window &&
        queue.back().wParam == buttons) {
        queue.back() = MakeMessage(window, WM_MOUSEMOVE, buttons, position);
        return;
    }
    queue.push_back(MakeMessage(window, WM_MOUSEMOVE, buttons, position));
}

// The latest motion waits until the next event is seen: when the pointer
// leaves the window, SDL reports the place where it left clamped onto the
// window's edge, just before the leave event. That place was never under the
// pointer, so it is dropped and the last position inside stays the last one.
struct HeldMotionEvent {
    bool held = false;
    Uint32 sdlWindowId = 0;
    int x = 0;
    int y = 0;
    Uint32 buttons = 0;
};
HeldMotionEvent HeldMotionSlot;

void FlushHeldMotion() {
    if (!HeldMotionSlot.held) {
        return;
    }
    HeldMotionSlot.held = false;
    WindowRecord* record = FindWindowBySdlId(HeldMotionSlot.sdlWindowId);
    POINT client{};
    if (record != nullptr && ClientPosition(*record, HeldMotionSlot.x, HeldMotionSlot.y, &client)) {
        WPARAM buttons = ((HeldMotionSlot.buttons & SDL_BUTTON_LMASK) != 0 ? MK_LBUTTON : 0) |
                         ((HeldMotionSlot.buttons & SDL_BUTTON_RMASK) != 0 ? MK_RBUTTON : 0);
        QueueMouseMove(record->handle, buttons, client);
    }
}

void HoldMotion(const SDL_MouseMotionEvent& motion) {
    FlushHeldMotion();
    HeldMotionSlot = HeldMotionEvent{true, motion.windowID, motion.x, motion.y, motion.state};
}

void DropLeavingMotion(const WindowRecord& record) {
    if (!HeldMotionSlot.held || record.sdlWindow == nullptr ||
        SDL_GetWindowID(record.sdlWindow) != HeldMotionSlot.sdlWindowId) {
        return;
    }
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(record.sdlWindow, &width, &height);
    if (HeldMotionSlot.x <= 0 || HeldMotionSlot.y <= 0 || HeldMotionSlot.x >= width - 1 ||
        HeldMotionSlot.y >= height - 1) {
        HeldMotionSlot.held = false;
    }
}

void QueueMouseButton(const WindowRecord& record, const SDL_MouseButtonEvent& event) {
    WPARAM mask = ButtonMask(event.button);
    POINT client{};
    if (mask == 0 || !ClientPosition(record, event.x, event.y, &client)) {
        return;
    }
    LastMouse = client;
    UINT message = 0;
    if (event.type == SDL_MOUSEBUTTONDOWN) {
        HeldButtons |= mask;
        // Every second click of a quick series counts as a double click, as
        // when the desktop itself counts clicks, when the class asks for them.
        bool doubleClick = (record.classStyle & CS_DBLCLKS) != 0 && event.clicks % 2 == 0;
        if (mask == MK_LBUTTON) {
            message = doubleClick ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
        } else {
            message = doubleClick ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
        }
    } else {
        HeldButtons &= ~mask;
        message = mask == MK_LBUTTON ? WM_LBUTTONUP : WM_RBUTTONUP;
    }
    LPARAM position = MAKELPARAM(static_cast<WORD>(client.x), static_cast<WORD>(client.y));
    InputQueue().push_back(MakeMessage(record.handle, message, HeldButtons, position));
}

void TranslateDesktopEvent(const SDL_Event& event) {
    if (event.type != SDL_MOUSEMOTION && event.type != SDL_WINDOWEVENT) {
        FlushHeldMotion();
    }
    switch (event.type) {
    case SDL_WINDOWEVENT: {
        WindowRecord* record = FindWindowBySdlId(event.window.windowID);
        if (record == nullptr) {
            break;
        }
        if (event.window.event == SDL_WINDOWEVENT_LEAVE) {
            DropLeavingMotion(*record);
        }
        FlushHeldMotion();
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            InputQueue().push_back(MakeMessage(record->handle, WM_CLOSE, 0, 0));
        } else if (event.window.event == SDL_WINDOWEVENT_ENTER) {
            SDL_SetCursor(record->cursor != nullptr ? record->cursor : SDL_GetDefaultCursor());
        }
        break;
    }
    case SDL_KEYDOWN: {
        WindowRecord* record = FindWindowBySdlId(event.key.windowID);
        WPARAM key = VirtualKeyOf(event.key.keysym.scancode);
        if (record != nullptr && key != 0) {
            // Repeat count 1; bit 30 tells an auto-repeat (the key was down already).
            LPARAM flags = 1 | (event.key.repeat != 0 ? LPARAM{1} << 30 : 0);
            InputQueue().push_back(MakeMessage(record->handle, WM_KEYDOWN, key, flags));
        }
        break;
    }
    case SDL_MOUSEMOTION:
        HoldMotion(event.motion);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        WindowRecord* record = FindWindowBySdlId(event.button.windowID);
        if (record != nullptr) {
            QueueMouseButton(*record, event.button);
        }
        break;
    }
    default:
        break;
    }
}

void TakeDesktopEvents() {
    if (IsHeadless() || SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        TranslateDesktopEvent(event);
    }
    FlushHeldMotion();
}

} // namespace

DWORD MessageTime() {
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    auto elapsed = duration_cast<milliseconds>(steady_clock::now() - start).count();
    return static_cast<DWORD>(static_cast<uint64_t>(elapsed));
}

void DropMessagesFor(HWND window) {
    for (auto* queue : {&PostedQueue(), &InputQueue()}) {
        std::erase_if(*queue, [window](const MSG& message) { return message.hwnd == window; });
    }
}

BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (message == nullptr) {
        return FALSE;
    }
    TakeDesktopEvents();
    bool remove = (removeFlags & PM_REMOVE) != 0;
    bool found = TakeFrom(PostedQueue(), message, window, filterMin, filterMax, remove) ||
                 TakeFrom(InputQueue(), message, window, filterMin, filterMax, remove) ||
                 TakeScripted(message, window, filterMin, filterMax, remove);
    return found ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG* message) {
    (void)message;
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* message) {
    if (message == nullptr) {
        return 0;
    }
    WindowRecord* record = FindWindowRecord(message->hwnd);
    if (record == nullptr) {
        return 0;
    }
    // The procedure may destroy its window; nothing of the record is used after the call.
    WNDPROC procedure = record->procedure;
    return procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window != nullptr && FindWindowRecord(window) == nullptr) {
        return FALSE;
    }
    PostedQueue().push_back(MakeMessage(window, message, wParam, lParam));
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    PostedQueue().push_back(MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0));
}
