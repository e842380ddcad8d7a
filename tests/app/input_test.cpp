#include <gtest/gtest.h>

#include <cstring>

#include "app/globals.h"
#include "app/shell.h"
#include "platform/presenter.h"
#include "render/render.h"
#include "search/grid_search.h"
#include "tests/render/render_fixture.h"

namespace {

// Counts presented frames, so a test can tell whether a notice frame was shown.
class CountingPresenter : public Presenter {
  public:
    void Show(const void*, UINT, UINT, UINT) override { frames++; }
    int frames = 0;
};

// The shell set up as start-up does it, headless, with the first map loaded.
class Shell : public testing::Test {
  protected:
    void SetUp() override {
        SetHeadlessMode(true);
        AppRunning = true;
        CellSize = 10;
        MapIndex = 0;
        HeuristicWeight = 0;
        ASSERT_TRUE(InitWindow());
        ASSERT_TRUE(InitD3D());
        MapFileName = "images/hittest0.bmp";
        Search.LoadMap(MapFileName);
        SetPointAndLineVertices();
        SetFallbackPresenter(&presenter);
    }
    void TearDown() override {
        SetFallbackPresenter(nullptr);
        ShutDown();
    }

    LRESULT Key(WPARAM key) { return WndProc(MainWindow, WM_KEYDOWN, key, 0); }

    // A checksum of the blocked cells of the active region.
    static uint64_t GridChecksum() {
        uint64_t sum = 0;
        for (uint32_t x = 0; x < GRID_COLUMNS / CellSize; x++) {
            for (uint32_t y = 0; y < GRID_ROWS / CellSize; y++) {
                sum = sum * 31 + (Search.Cells[x][y] & CELL_BLOCKED);
            }
        }
        return sum;
    }

    CountingPresenter presenter;
};

} // namespace

TEST_F(Shell, SettingsStopAtTheirLimitsAndOnlyArrowsShowTheNotice) {
    struct Case {
        const char* what;
        WPARAM key;
        uint32_t* setting;
        uint32_t before, after;
        bool notice;
    };
    const Case cases[] = {
        {"Up below the largest cell", VK_UP, &CellSize, 799, 800, true},
        {"Up at the largest cell", VK_UP, &CellSize, 800, 800, false},
        {"Down above 1", VK_DOWN, &CellSize, 2, 1, true},
        {"Down at 1", VK_DOWN, &CellSize, 1, 1, false},
        {"Left at the first map", VK_LEFT, &MapIndex, 0, 0, false},
        {"Right at the last map", VK_RIGHT, &MapIndex, 3, 3, false},
        {"Left from map 2", VK_LEFT, &MapIndex, 2, 1, true},
        {"Home below 10", VK_HOME, &HeuristicWeight, 9, 10, false},
        {"Home at 10", VK_HOME, &HeuristicWeight, 10, 10, false},
        {"End at 0", VK_END, &HeuristicWeight, 0, 0, false},
        {"End above 0", VK_END, &HeuristicWeight, 1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        *c.setting = c.before;
        presenter.frames = 0;
        EXPECT_EQ(Key(c.key), DefWindowProcA(MainWindow, WM_KEYDOWN, c.key, 0));
        EXPECT_EQ(*c.setting, c.after);
        EXPECT_EQ(presenter.frames, c.notice ? 1 : 0);
        CellSize = 10;
        MapIndex = 0;
        HeuristicWeight = 0;
    }
}

TEST_F(Shell, RightLoadsTheNextThreeMapsAndThenNothing) {
    uint64_t previous = GridChecksum();
    for (uint32_t map = 1; map <= 3; map++) {
        SCOPED_TRACE(map);
        presenter.frames = 0;
        Key(VK_RIGHT);
        EXPECT_EQ(MapIndex, map);
        EXPECT_EQ(MapFileName, "images/hittest" + std::to_string(map) + ".bmp");
        EXPECT_EQ(presenter.frames, 1);
        EXPECT_NE(GridChecksum(), previous); // a different map is in the grid
        previous = GridChecksum();
    }
    presenter.frames = 0;
    Key(VK_RIGHT);
    EXPECT_EQ(MapIndex, 3u);
    EXPECT_EQ(MapFileName, "images/hittest3.bmp");
    EXPECT_EQ(presenter.frames, 0);
}

TEST_F(Shell, FunctionKeysNegateTheirSwitchAndOtherKeysChangeNothing) {
    struct Case {
        WPARAM key;
        Switch* value;
        Switch startUp;
    };
    const Case cases[] = {
        {VK_F1, &ShowImage, SWITCH_ON},
        {VK_F2, &ShowLines, SWITCH_ON},
        {VK_F3, &ShowWaypoints, SWITCH_OFF},
        {VK_F4, &ShowNodes, SWITCH_OFF},
        {VK_F5, &ShowVisitedNodes, SWITCH_OFF},
        {VK_F6, &UseStraightLineCheck, SWITCH_OFF},
        {VK_F7, &UseAdvancedFiltering, SWITCH_OFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key);
        EXPECT_EQ(*c.value, c.startUp);
        Key(c.key);
        EXPECT_EQ(*c.value, -c.startUp);
        Key(c.key);
        EXPECT_EQ(*c.value, c.startUp);
    }
    presenter.frames = 0;
    for (WPARAM key : {VK_F8, VK_F9, WPARAM('A')}) {
        Key(key);
    }
    for (const Case& c : cases) {
        EXPECT_EQ(*c.value, c.startUp);
    }
    EXPECT_EQ(CellSize, 10u);
    EXPECT_EQ(MapIndex, 0u);
    EXPECT_EQ(presenter.frames, 0);
}

TEST_F(Shell, TheStartIsTheLastMousePositionAndADoubleClickLeavesIt) {
    WndProc(MainWindow, WM_MOUSEMOVE, 0, MAKELPARAM(100, 120));
    EXPECT_EQ(MouseX, 100u);
    EXPECT_EQ(MouseY, 120u);
    // The button message's own position is not used.
    WndProc(MainWindow, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(StartPointX, 100.0f);
    EXPECT_EQ(StartPointY, 120.0f);

    WndProc(MainWindow, WM_MOUSEMOVE, 0, MAKELPARAM(799, 599));
    WndProc(MainWindow, WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(799, 599));
    WndProc(MainWindow, WM_RBUTTONUP, 0, MAKELPARAM(799, 599));
    WndProc(MainWindow, WM_LBUTTONDOWN, 0, MAKELPARAM(799, 599));
    EXPECT_EQ(StartPointX, 100.0f);
    EXPECT_EQ(StartPointY, 120.0f);
    EXPECT_EQ(MouseX, 799u);
}

TEST_F(Shell, EscClosesTheWindowAndEndsTheLoop) {
    EXPECT_EQ(Key(VK_ESCAPE), 0);
    EXPECT_TRUE(AppRunning);
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_CLOSE);
    DispatchMessageA(&message); // the default handling destroys the window
    EXPECT_FALSE(AppRunning);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_QUIT);
    MainWindow = nullptr;
}

TEST_F(Shell, NoticeIsDrawnOverTheLastFrame) {
    Render();
    const std::vector<uint32_t> frame = ReadBackBuffer();
    DrawCalculatingFrame();
    const std::vector<uint32_t> notice = ReadBackBuffer();
    int changedOutsidePanel = 0;
    int litBelowNotice = 0;
    int brightInNoticeLine = 0;
    for (int y = 0; y < 600; y++) {
        for (int x = 0; x < 800; x++) {
            size_t i = size_t(y) * 800 + x;
            if (x >= 130 || y >= 155) {
                changedOutsidePanel += notice[i] != frame[i];
            } else if (y >= 16) {
                litBelowNotice += notice[i] != 0; // the opaque panel hides the option lines
            } else {
                brightInNoticeLine += (notice[i] & 0x808080) == 0x808080;
            }
        }
    }
    EXPECT_EQ(changedOutsidePanel, 0);
    EXPECT_EQ(litBelowNotice, 0);
    EXPECT_GT(brightInNoticeLine, 20);
}

namespace {

// Records the goal column of every presented frame, and closes the window once
// the script has been worked off.
class RecordingPresenter : public Presenter {
  public:
    void Show(const void*, UINT, UINT, UINT) override {
        mouseAtFrame.push_back(MouseX);
        if (!closing && PendingScriptedMessages() == 0) {
            closing = true;
            PostMessageA(MainWindow, WM_CLOSE, 0, 0);
        }
    }
    std::vector<uint32_t> mouseAtFrame;
    bool closing = false;
};

} // namespace

TEST(MainLoop, HandlesOneMessagePerFrameAndExitsWithZero) {
    SetHeadlessMode(true);
    AppRunning = true;
    RecordingPresenter presenter;
    SetFallbackPresenter(&presenter);
    for (WORD x = 10; x <= 50; x += 10) {
        PushScriptedMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, 20));
    }
    std::string commandLine;
    EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWDEFAULT), 0);
    SetFallbackPresenter(nullptr);
    // Five frames for five messages, then the frame of the pass that closed the window.
    EXPECT_EQ(presenter.mouseAtFrame, (std::vector<uint32_t>{10, 20, 30, 40, 50, 50}));
    EXPECT_EQ(D3DDevice, nullptr);
    EXPECT_EQ(OverlayFont, nullptr);
}
