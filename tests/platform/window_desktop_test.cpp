#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/presenter.h"
#include "platform/window_system.h"
#include "tests/fixtures/desktop_test_base.h"
#include "tests/fixtures/window_class.h"

namespace {

using namespace std::chrono_literals;

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

LRESULT QuietProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// Takes messages until the predicate holds for what came so far or the time is up.
std::vector<Received> Collect(const std::function<bool(const std::vector<Received>&)>& done,
                              std::chrono::milliseconds limit = 3000ms) {
    std::vector<Received> received;
    auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end && !done(received)) {
        MSG message{};
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            received.push_back(Received{message.message, message.wParam, message.lParam});
        } else {
            std::this_thread::sleep_for(5ms);
        }
    }
    return received;
}

std::vector<Received> CollectFor(std::chrono::milliseconds span) {
    return Collect([](const std::vector<Received>&) { return false; }, span);
}

std::vector<Received> Only(const std::vector<Received>& received, std::vector<UINT> kinds) {
    std::vector<Received> kept;
    for (const Received& one : received) {
        if (std::find(kinds.begin(), kinds.end(), one.message) != kinds.end()) {
            kept.push_back(one);
        }
    }
    return kept;
}

// One xwininfo figure of the window titled "Wayfinch", or -1 when there is
// no such window.
int WindowInfo(const std::string& label) {
    std::string info = RunCommand("xwininfo -name Wayfinch");
    size_t at = info.find(label + ":");
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + label.size() + 1);
}

// The colour of one screen pixel as 0xRRGGBB, from a grab of the whole screen
// that is kept for a look at it.
std::string ScreenshotPath(const char* name) {
    return testing::TempDir() + "brassel_window_" + name + ".png";
}

long ScreenPixel(const std::string& screenshot, int x, int y) {
    std::string text = RunCommand("convert " + screenshot + " -crop 1x1+" + std::to_string(x) +
                                  "+" + std::to_string(y) + " -depth 8 txt:-");
    size_t hash = text.find('#', text.find('\n'));
    return hash == std::string::npos ? -1 : std::strtol(text.c_str() + hash + 1, nullptr, 16);
}

// A frame of red on the left half and blue on the right half, with one green
// pixel in the bottom-right corner.
std::vector<uint32_t> TestFrame() {
    std::vector<uint32_t> frame(800 * 600);
    for (int y = 0; y < 600; y++) {
        for (int x = 0; x < 800; x++) {
            frame[y * 800 + x] = x < 400 ? 0x00FF0000 : 0x000000FF;
        }
    }
    frame[599 * 800 + 799] = 0x0000FF00;
    return frame;
}

class WindowDesktop : public DesktopTest {
  protected:
    // Opens the window as the program does: the class, then a frame adjusted
    // around an 800 x 600 client area.
    void SetUp() override {
        DesktopTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        WNDCLASSEXA windowClass = ProgramWindowClass("Wayfinch", QuietProcedure);
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        RECT frame{0, 0, 800, 600};
        AdjustWindowRect(&frame, WS_SYSMENU, FALSE);
        window = CreateWindowExA(0, "Wayfinch", "Wayfinch", WS_SYSMENU, CW_USEDEFAULT,
                                 CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr) << GetWindowSystemError();
        ShowWindow(window, SW_SHOWDEFAULT);
        CollectFor(200ms);
        left = WindowInfo("Absolute upper-left X");
        top = WindowInfo("Absolute upper-left Y");
    }

    void TearDown() override {
        if (window != nullptr) {
            EXPECT_TRUE(DestroyWindow(window));
            CollectFor(50ms);
            EXPECT_TRUE(UnregisterClassA("Wayfinch", nullptr));
        }
    }

    // Moves the pointer to a position given in client pixels.
    void MoveMouse(int x, int y) {
        RunCommand("xdotool mousemove " + std::to_string(left + x) + " " + std::to_string(top + y));
    }

    HWND window = nullptr;
    int left = -1;
    int top = -1;
};

TEST_F(WindowDesktop, ShowsTheTitledClientAreaAndPresentedFrames) {
    EXPECT_EQ(WindowInfo("Width"), 800);
    EXPECT_EQ(WindowInfo("Height"), 600);
    ASSERT_GE(left, 0) << "no window titled Wayfinch on the display";

    Presenter* presenter = GetWindowPresenter(window);
    ASSERT_NE(presenter, nullptr);
    std::vector<uint32_t> frame = TestFrame();
    presenter->Show(frame.data(), 800, 600, 800 * 4);
    CollectFor(200ms);
    std::string windowed = ScreenshotPath("windowed");
    RunCommand("import -window root " + windowed);
    EXPECT_EQ(ScreenPixel(windowed, left, top), 0xFF0000);
    EXPECT_EQ(ScreenPixel(windowed, left + 399, top + 300), 0xFF0000);
    EXPECT_EQ(ScreenPixel(windowed, left + 400, top + 300), 0x0000FF);
    EXPECT_EQ(ScreenPixel(windowed, left + 799, top + 599), 0x00FF00);

    // Full screen: the window covers the display and the picture keeps its
    // aspect, centred between black bars 106 and 107 pixels wide.
    SetFullScreenPresentation(window, true);
    Collect([](const std::vector<Received>&) { return WindowInfo("Width") == SCREEN_WIDTH; });
    EXPECT_EQ(WindowInfo("Width"), SCREEN_WIDTH);
    EXPECT_EQ(WindowInfo("Height"), SCREEN_HEIGHT);
    left = WindowInfo("Absolute upper-left X");
    top = WindowInfo("Absolute upper-left Y");
    presenter->Show(frame.data(), 800, 600, 800 * 4);
    CollectFor(200ms);
    std::string fullScreen = ScreenshotPath("full_screen");
    RunCommand("import -window root " + fullScreen);
    EXPECT_EQ(ScreenPixel(fullScreen, 50, 400), 0x000000);
    EXPECT_EQ(ScreenPixel(fullScreen, 110, 400), 0xFF0000);
    EXPECT_EQ(ScreenPixel(fullScreen, 1165, 400), 0x0000FF);
    EXPECT_EQ(ScreenPixel(fullScreen, 1230, 400), 0x000000);

    // Mouse positions come back in picture pixels; the bars send nothing.
    MoveMouse(640, 400);
    MoveMouse(30, 400);
    auto moves = Only(CollectFor(400ms), {WM_MOUSEMOVE});
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(LOWORD(moves[0].lParam), 400);
    EXPECT_EQ(HIWORD(moves[0].lParam), 300);
}

TEST_F(WindowDesktop, TurnsDesktopInputIntoMessages) {
    ASSERT_GE(left, 0) << "no window titled Wayfinch on the display";
    RunCommand("xdotool search --name Wayfinch windowfocus --sync");

    // Positions inside the client area arrive in the low and high words;
    // nothing from outside it arrives at all.
    struct MouseCase {
        int x, y;
        bool inside;
    };
    const MouseCase mice[] = {
        {100, 50, true}, {0, 0, true}, {799, 599, true}, {900, 50, false}, {300, -5, false}};
    for (const MouseCase& mouse : mice) {
        SCOPED_TRACE(testing::Message() << "mouse " << mouse.x << ", " << mouse.y);
        MoveMouse(mouse.x, mouse.y);
        auto moves = Only(CollectFor(mouse.inside ? 300ms : 400ms), {WM_MOUSEMOVE});
        if (!mouse.inside) {
            EXPECT_TRUE(moves.empty());
            continue;
        }
        ASSERT_FALSE(moves.empty());
        EXPECT_EQ(LOWORD(moves.back().lParam), mouse.x);
        EXPECT_EQ(HIWORD(moves.back().lParam), mouse.y);
    }

    MoveMouse(400, 300);
    CollectFor(100ms);
    RunCommand("xdotool key F1 Escape Up Home End F9");
    auto keys =
        Only(Collect([](const std::vector<Received>& so) { return so.size() >= 6; }), {WM_KEYDOWN});
    std::vector<WPARAM> codes;
    for (const Received& key : keys) {
        codes.push_back(key.wParam);
    }
    EXPECT_EQ(codes, (std::vector<WPARAM>{VK_F1, VK_ESCAPE, VK_UP, VK_HOME, VK_END, VK_F9}));

    // A held key repeats, each repeat a key-down of its own.
    RunCommand("xdotool keydown Down");
    auto held = Only(CollectFor(1200ms), {WM_KEYDOWN});
    RunCommand("xdotool keyup Down");
    EXPECT_GT(held.size(), 2u);
    for (const Received& key : held) {
        EXPECT_EQ(key.wParam, VK_DOWN);
    }

    // A single right click, then a quick pair: the second of the pair is a
    // double click, as the class asks for.
    // The messages are taken while the clicks happen, as the program's loop
    // does, so the desktop times them as they come.
    const std::vector<UINT> buttons = {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK,
                                       WM_LBUTTONDOWN, WM_LBUTTONUP};
    RunCommand("xdotool click 3");
    auto clicks = Only(CollectFor(800ms), buttons);
    RunCommand("xdotool click --repeat 2 --delay 80 3 click 1");
    auto more = Only(CollectFor(500ms), buttons);
    clicks.insert(clicks.end(), more.begin(), more.end());
    std::vector<UINT> kinds;
    for (const Received& click : clicks) {
        kinds.push_back(click.message);
        EXPECT_EQ(LOWORD(click.lParam), 400);
        EXPECT_EQ(HIWORD(click.lParam), 300);
    }
    EXPECT_EQ(kinds,
              (std::vector<UINT>{WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP,
                                 WM_RBUTTONDBLCLK, WM_RBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

// With neither a display nor headless mode there is no window, and the
// reason is there to print.
TEST(WindowNoDisplay, CreateFailsWithAReason) {
    std::string display = std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "";
    std::string driver =
        std::getenv("SDL_VIDEODRIVER") != nullptr ? std::getenv("SDL_VIDEODRIVER") : "";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.lpfnWndProc = QuietProcedure;
    windowClass.lpszClassName = "Wayfinch";
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
    EXPECT_EQ(CreateWindowExA(0, "Wayfinch", "Wayfinch", WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    std::string reason = GetWindowSystemError();
    EXPECT_NE(reason.find("no display"), std::string::npos) << reason;
    EXPECT_EQ(reason.find('\n'), std::string::npos) << "one line";
    EXPECT_TRUE(UnregisterClassA("Wayfinch", nullptr));
    if (!display.empty()) {
        setenv("DISPLAY", display.c_str(), 1);
    }
    if (!driver.empty()) {
        setenv("SDL_VIDEODRIVER", driver.c_str(), 1);
    }
}

} // namespace
