#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/presenter.h"
#include "platform/window_system.h"
#include "tests/fixtures/window_class.h"

namespace {

struct Delivery {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// What the test window's procedure has seen, and what it learnt while
// WM_DESTROY was being sent.
std::vector<Delivery> Delivered;
bool HandleWorkedDuringDestroy = false;
BOOL SecondDestroyResult = TRUE;

// Behaves as the program's procedure does for the messages that matter here:
// Esc posts WM_CLOSE, WM_CLOSE goes to the default handling, and WM_DESTROY
// posts the quit message.
LRESULT TestProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Delivered.push_back(Delivery{window, message, wParam, lParam});
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (message == WM_DESTROY) {
        RECT client{};
        HandleWorkedDuringDestroy = GetClientRect(window, &client) == TRUE;
        SecondDestroyResult = DestroyWindow(window);
        PostQuitMessage(3);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

WNDCLASSEXA TestClass(LPCSTR name) {
    return ProgramWindowClass(name, TestProcedure);
}

HWND CreateTestWindow(LPCSTR className = "Wayfinch") {
    return CreateWindowExA(0, className, "Wayfinch", WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

std::vector<UINT> DrainMessages() {
    std::vector<UINT> messages;
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        messages.push_back(message.message);
    }
    return messages;
}

// A headless window of the class "Wayfinch", made afresh for each test; the
// queues are left empty and the class unregistered afterwards.
class WindowMessages : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SetHeadlessMode(true));
        Delivered.clear();
        HandleWorkedDuringDestroy = false;
        SecondDestroyResult = TRUE;
        WNDCLASSEXA windowClass = TestClass("Wayfinch");
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        window = CreateTestWindow();
        ASSERT_NE(window, nullptr) << GetWindowSystemError();
    }

    void TearDown() override {
        DrainMessages();
        DestroyWindow(window);
        DestroyWindow(otherWindow);
        DrainMessages();
        while (PendingScriptedMessages() > 0) {
            HWND sink = CreateTestWindow();
            DrainMessages();
            DestroyWindow(sink);
            DrainMessages();
        }
        EXPECT_TRUE(UnregisterClassA("Wayfinch", GetModuleHandleA(nullptr)));
    }

    HWND window = nullptr;
    HWND otherWindow = nullptr;
};

TEST_F(WindowMessages, RemovesOneMessagePerPeekInTheOrderPosted) {
    ASSERT_TRUE(PostMessageA(window, WM_KEYDOWN, VK_F1, 0));
    ASSERT_TRUE(PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(12, 34)));
    ASSERT_TRUE(PostMessageA(window, WM_KEYDOWN, VK_F2, 0));

    const std::vector<std::pair<UINT, WPARAM>> expected = {
        {WM_KEYDOWN, VK_F1}, {WM_MOUSEMOVE, 0}, {WM_KEYDOWN, VK_F2}};
    for (const auto& [message, wParam] : expected) {
        MSG taken{};
        size_t deliveredBefore = Delivered.size();
        ASSERT_TRUE(PeekMessageA(&taken, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(Delivered.size(), deliveredBefore) << "peeking must not dispatch";
        EXPECT_EQ(taken.hwnd, window);
        EXPECT_EQ(taken.message, message);
        EXPECT_EQ(taken.wParam, wParam);
        DispatchMessageA(&taken);
        ASSERT_FALSE(Delivered.empty());
        EXPECT_EQ(Delivered.back().message, message);
    }
    MSG none{};
    EXPECT_FALSE(PeekMessageA(&none, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(Delivered.size(), 3u);
}

TEST_F(WindowMessages, NoRemoveAndFiltersLeaveTheRestQueued) {
    otherWindow = CreateTestWindow();
    ASSERT_NE(otherWindow, nullptr);
    PostMessageA(window, WM_KEYDOWN, VK_F3, 0);
    PostMessageA(otherWindow, WM_RBUTTONDOWN, 0, 0);
    PostMessageA(window, WM_MOUSEMOVE, 0, 0);

    MSG taken{};
    ASSERT_TRUE(PeekMessageA(&taken, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(taken.message, WM_KEYDOWN);
    ASSERT_TRUE(PeekMessageA(&taken, otherWindow, 0, 0, PM_REMOVE));
    EXPECT_EQ(taken.message, WM_RBUTTONDOWN);
    ASSERT_TRUE(PeekMessageA(&taken, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
    EXPECT_EQ(taken.message, WM_MOUSEMOVE);
    EXPECT_FALSE(PeekMessageA(&taken, otherWindow, 0, 0, PM_REMOVE));
    EXPECT_EQ(DrainMessages(), std::vector<UINT>{WM_KEYDOWN});
}

// Esc posts WM_CLOSE; its default handling destroys the window, which sends
// WM_DESTROY while the handle still works; the quit message follows, and
// nothing queued for the window outlives it.
TEST_F(WindowMessages, EscapeClosesAndDestroysTheWindow) {
    PushScriptedMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    PushScriptedMessage(WM_KEYDOWN, VK_F1, 0);

    std::vector<UINT> taken;
    MSG message{};
    for (int pass = 0; pass < 3 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); pass++) {
        taken.push_back(message.message);
        DispatchMessageA(&message);
    }
    // The posted WM_CLOSE overtakes the scripted F1 still waiting.
    EXPECT_EQ(taken, (std::vector<UINT>{WM_KEYDOWN, WM_CLOSE, WM_QUIT}));
    EXPECT_EQ(message.hwnd, nullptr);
    EXPECT_EQ(message.wParam, 3u);

    std::vector<UINT> seen;
    for (const Delivery& delivery : Delivered) {
        seen.push_back(delivery.message);
    }
    EXPECT_EQ(seen, (std::vector<UINT>{WM_KEYDOWN, WM_CLOSE, WM_DESTROY}));
    EXPECT_TRUE(HandleWorkedDuringDestroy);
    EXPECT_FALSE(SecondDestroyResult) << "a window can be destroyed only once";

    // The handle is dead: nothing reaches the procedure any more.
    RECT client{};
    EXPECT_FALSE(GetClientRect(window, &client));
    EXPECT_FALSE(PostMessageA(window, WM_KEYDOWN, VK_F2, 0));
    MSG stale{window, WM_KEYDOWN, VK_F2, 0, 0, {}};
    EXPECT_EQ(DispatchMessageA(&stale), 0);
    EXPECT_EQ(Delivered.size(), 3u);
    // The scripted F1 waits for the next window.
    EXPECT_EQ(PendingScriptedMessages(), 1u);
}

TEST_F(WindowMessages, CloseDropsWhatWasQueuedForTheWindow) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    PostMessageA(window, WM_KEYDOWN, VK_F4, 0);
    PostMessageA(nullptr, WM_KEYDOWN, VK_F5, 0); // for no window: survives

    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    DispatchMessageA(&message);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_KEYDOWN);
    EXPECT_EQ(message.wParam, VK_F5);
    EXPECT_EQ(DispatchMessageA(&message), 0);
    EXPECT_EQ(DrainMessages(), std::vector<UINT>{WM_QUIT});
    EXPECT_TRUE(UnregisterClassA("Wayfinch", nullptr));
    // The fixture unregisters the class again at the end.
    WNDCLASSEXA windowClass = TestClass("Wayfinch");
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
}

TEST_F(WindowMessages, ScriptedMessagesGoToTheFirstWindowAfterPostedOnes) {
    otherWindow = CreateTestWindow();
    PushScriptedMessage(WM_MOUSEMOVE, 0, MAKELPARAM(799, 599));
    PushScriptedMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(799, 599));
    PushScriptedMessage(WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(799, 599));
    PostMessageA(otherWindow, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(PendingScriptedMessages(), 3u);

    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_KEYDOWN);
    EXPECT_EQ(PendingScriptedMessages(), 3u);

    const UINT expected[] = {WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK};
    for (size_t i = 0; i < std::size(expected); i++) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(message.hwnd, window);
        EXPECT_EQ(message.message, expected[i]);
        EXPECT_EQ(LOWORD(message.lParam), 799);
        EXPECT_EQ(HIWORD(message.lParam), 599);
        EXPECT_EQ(PendingScriptedMessages(), std::size(expected) - i - 1);
    }
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowMessages, ScriptedMessagesWaitForAWindow) {
    DestroyWindow(window);
    DrainMessages();
    PushScriptedMessage(WM_KEYDOWN, VK_F6, 0);
    MSG message{};
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(PendingScriptedMessages(), 1u);

    window = CreateTestWindow();
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.hwnd, window);
    EXPECT_EQ(message.wParam, VK_F6);
}

TEST_F(WindowMessages, AdjustedRectangleGivesTheClientAreaBack) {
    RECT frame{0, 0, 800, 600};
    ASSERT_TRUE(AdjustWindowRect(&frame, WS_SYSMENU, FALSE));
    EXPECT_LT(frame.top, frame.left) << "a title bar above the client area";
    otherWindow = CreateWindowExA(0, "Wayfinch", "Wayfinch", WS_SYSMENU, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(otherWindow, nullptr) << GetWindowSystemError();
    RECT client{};
    ASSERT_TRUE(GetClientRect(otherWindow, &client));
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    EXPECT_FALSE(AdjustWindowRect(nullptr, WS_SYSMENU, FALSE));

    // Headless windows show nothing and cannot turn into desktop windows.
    EXPECT_EQ(GetWindowPresenter(otherWindow), nullptr);
    EXPECT_FALSE(SetHeadlessMode(false));
}

TEST_F(WindowMessages, RefusesBadClassesWindowsAndHandles) {
    struct BadClass {
        const char* what;
        WNDCLASSEXA windowClass;
        const char* reason;
    };
    WNDCLASSEXA wrongSize = TestClass("Other");
    wrongSize.cbSize = 12;
    WNDCLASSEXA noProcedure = TestClass("Other");
    noProcedure.lpfnWndProc = nullptr;
    const BadClass badClasses[] = {
        {"wrong record size", wrongSize, "incomplete"},
        {"no procedure", noProcedure, "incomplete"},
        {"no name", TestClass(nullptr), "incomplete"},
        {"empty name", TestClass(""), "incomplete"},
        {"name taken, in other letter case", TestClass("WAYFINCH"), "already exists"},
    };
    for (const BadClass& bad : badClasses) {
        SCOPED_TRACE(bad.what);
        EXPECT_EQ(RegisterClassExA(&bad.windowClass), 0);
        EXPECT_NE(std::string(GetWindowSystemError()).find(bad.reason), std::string::npos)
            << GetWindowSystemError();
    }
    EXPECT_EQ(RegisterClassExA(nullptr), 0);

    struct BadWindow {
        const char* what;
        LPCSTR className;
        int width, height;
        const char* reason;
    };
    const BadWindow badWindows[] = {
        {"unregistered class", "Nowhere", CW_USEDEFAULT, CW_USEDEFAULT, "not registered"},
        {"no class", nullptr, CW_USEDEFAULT, CW_USEDEFAULT, "not registered"},
        {"smaller than its frame", "Wayfinch", 4, 100, "client pixels"},
        {"negative size", "Wayfinch", -800, -600, "client pixels"},
        {"too large", "Wayfinch", 100000, 600, "client pixels"},
    };
    for (const BadWindow& bad : badWindows) {
        SCOPED_TRACE(bad.what);
        EXPECT_EQ(CreateWindowExA(0, bad.className, "x", WS_SYSMENU, 0, 0, bad.width, bad.height,
                                  nullptr, nullptr, nullptr, nullptr),
                  nullptr);
        EXPECT_NE(std::string(GetWindowSystemError()).find(bad.reason), std::string::npos)
            << GetWindowSystemError();
    }

    EXPECT_FALSE(UnregisterClassA("Wayfinch", nullptr)) << "its window still exists";
    EXPECT_FALSE(UnregisterClassA("Nowhere", nullptr));

    HWND stale = reinterpret_cast<HWND>(uintptr_t{0x1234});
    EXPECT_FALSE(DestroyWindow(nullptr));
    EXPECT_FALSE(DestroyWindow(stale));
    EXPECT_FALSE(ShowWindow(stale, SW_SHOW));
    EXPECT_FALSE(PostMessageA(stale, WM_CLOSE, 0, 0));
    MSG toStale{stale, WM_CLOSE, 0, 0, 0, {}};
    EXPECT_EQ(DispatchMessageA(&toStale), 0);
    EXPECT_EQ(DispatchMessageA(nullptr), 0);
    EXPECT_FALSE(PeekMessageA(nullptr, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(Delivered.empty());
}

} // namespace
