// The workbench on a real desktop: started as a user starts it, driven with
// the mouse and keys through the X server, looked at, and closed.

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <thread>
#include <vector>

#include "platform/png_file.h"
#include "tests/fixtures/desktop_test_base.h"

namespace {

using namespace std::chrono_literals;

// One run of brassel-windowed from the repository root.
class Workbench {
  public:
    explicit Workbench(const std::string& errorFile) {
        pid = fork();
        if (pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (chdir(BRASSEL_SOURCE_DIR) != 0) {
                _exit(126);
            }
            int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(err, 2);
            execl(BRASSEL_WORKBENCH, BRASSEL_WORKBENCH, nullptr);
            _exit(127);
        }
    }
    ~Workbench() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }

    // The id of the window titled "Wayfinch", or "" when none shows up in time.
    std::string FindWindow() const {
        for (int attempt = 0; attempt < 100; attempt++) {
            std::string id = RunCommand("xdotool search --name '^Wayfinch$'");
            if (!id.empty()) {
                return id.substr(0, id.find('\n'));
            }
            std::this_thread::sleep_for(100ms);
        }
        return "";
    }

    // The exit code, or -1 when the program has not ended within the time.
    int WaitForExit(std::chrono::milliseconds limit = 10000ms) {
        auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(50ms);
        }
        return -1;
    }

    pid_t pid = -1;
};

struct Picture {
    std::vector<uint32_t> pixels;
    UINT width = 0;
    UINT height = 0;
    size_t Count(uint32_t colour) const {
        return static_cast<size_t>(std::count(pixels.begin(), pixels.end(), colour));
    }
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

Picture Read(const std::string& path) {
    Picture picture;
    EXPECT_TRUE(ReadPngPixels(path.c_str(), picture.pixels, picture.width, picture.height)) << path;
    return picture;
}

// Lets the program take its messages: it handles one per frame.
void Settle() {
    std::this_thread::sleep_for(400ms);
}

void Do(const std::string& window, const std::string& xdotoolArguments) {
    RunCommand("xdotool " + xdotoolArguments);
    Settle();
    (void)window;
}

// Sends the message a window manager sends when the window's close box is clicked.
void ClickCloseBox(const std::string& window) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::stoul(window);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XCloseDisplay(display);
}

class WorkbenchDesktop : public DesktopTest {
  protected:
    std::string TempFile(const char* name) {
        return testing::TempDir() + "brassel_desktop_" + name;
    }
};

} // namespace

TEST_F(WorkbenchDesktop, ShowsTheSearchTheInputAsksForAndQuitsOnEsc) {
    Workbench workbench(TempFile("stderr.txt"));
    const std::string window = workbench.FindWindow();
    ASSERT_FALSE(window.empty()) << "no window titled Wayfinch";
    std::string info = RunCommand("xwininfo -id " + window);
    EXPECT_NE(info.find("Width: 800"), std::string::npos) << info;
    EXPECT_NE(info.find("Height: 600"), std::string::npos) << info;

    // Start at (400, 300), goal at (600, 450), visited cells and waypoints on.
    Do(window, "mousemove --window " + window + " 400 300");
    Do(window, "click --window " + window + " 3");
    Do(window, "mousemove --window " + window + " 600 450");
    Do(window, "key --window " + window + " F5");
    Do(window, "key --window " + window + " F3");
    const std::string shot = TempFile("window.png");
    RunCommand("import -window " + window + " " + shot);
    Picture seen = Read(shot);
    ASSERT_EQ(seen.width, 800u);
    ASSERT_EQ(seen.height, 600u);
    EXPECT_GT(seen.Count(0xFF6428), 100u);   // visited cells: centre points
    EXPECT_GT(seen.Count(0x8C1400), 400u);   // ... and their arms
    EXPECT_GT(seen.Count(0x00FF00), 50u);    // the path's green marks
    EXPECT_EQ(seen.At(128, 60), 0xFFFFFFu);  // the panel's right edge
    EXPECT_EQ(seen.At(60, 153), 0xFFFFFFu);  // ... and its bottom edge
    EXPECT_EQ(seen.At(129, 60), 0u);         // the opaque panel
    EXPECT_EQ(seen.At(799, 300), 0xFFFFFFu); // the window border

    // The same input through brassel-cli snap gives the same picture, apart
    // from the digits of the search time.
    const std::string snap = TempFile("snap.png");
    std::string snapped =
        RunCommand(std::string(BRASSEL_CLI) + " snap --dir " BRASSEL_SOURCE_DIR " --out " + snap +
                   " --mouse 400,300 --rclick --mouse 600,450 --key F5 --key F3"
                   " && echo done");
    ASSERT_NE(snapped.find("done"), std::string::npos);
    Picture expected = Read(snap);
    ASSERT_EQ(expected.pixels.size(), seen.pixels.size());
    size_t differing = 0;
    for (int y = 0; y < 600; y++) {
        for (int x = 0; x < 800; x++) {
            bool timeDigits = y < 18 && x >= 50 && x < 128;
            differing += !timeDigits && seen.At(x, y) != expected.At(x, y);
        }
    }
    EXPECT_EQ(differing, 0u);

    RunCommand("xdotool key --window " + window + " Escape");
    EXPECT_EQ(workbench.WaitForExit(), 0) << RunCommand("cat " + TempFile("stderr.txt"));
}

TEST_F(WorkbenchDesktop, TheCloseBoxEndsTheProgramLikeEsc) {
    Workbench workbench(TempFile("stderr.txt"));
    const std::string window = workbench.FindWindow();
    ASSERT_FALSE(window.empty());
    Settle();
    ClickCloseBox(window);
    EXPECT_EQ(workbench.WaitForExit(), 0) << RunCommand("cat " + TempFile("stderr.txt"));
}

TEST_F(WorkbenchDesktop, HoldingUpReloadsOnEveryRepeat) {
    Workbench workbench(TempFile("stderr.txt"));
    const std::string window = workbench.FindWindow();
    ASSERT_FALSE(window.empty());
    Settle();
    // Held down, the key repeats; every repeat grows the cell by one.
    RunCommand("xset r on; xset r rate 200 20");
    RunCommand("xdotool keydown --window " + window + " Up");
    std::this_thread::sleep_for(1000ms);
    RunCommand("xdotool keyup --window " + window + " Up");
    Settle();
    Do(window, "key --window " + window + " F4");
    const std::string shot = TempFile("held.png");
    RunCommand("import -window " + window + " " + shot);
    Picture seen = Read(shot);
    ASSERT_EQ(seen.width, 800u);

    // The walkable layer draws one grey point per free cell, a cell apart.
    int cellSize = 0;
    for (int y = 160; y < 600 && cellSize == 0; y++) {
        int previous = -1;
        for (int x = 0; x < 800; x++) {
            if (seen.At(x, y) != 0x646464) {
                continue;
            }
            if (previous >= 0 && (cellSize == 0 || x - previous < cellSize)) {
                cellSize = x - previous;
            }
            previous = x;
        }
    }
    EXPECT_GE(cellSize, 12) << "fewer than two repeats were taken";
    EXPECT_LE(cellSize, 40);

    RunCommand("xdotool key --window " + window + " Escape");
    EXPECT_EQ(workbench.WaitForExit(), 0) << RunCommand("cat " + TempFile("stderr.txt"));
}

TEST(WorkbenchWithoutDisplay, SaysSoInOneLineAndExitsNonZero) {
    std::string command = std::string("cd " BRASSEL_SOURCE_DIR " && env -u DISPLAY -u "
                                      "WAYLAND_DISPLAY -u SDL_VIDEODRIVER ") +
                          BRASSEL_WORKBENCH + " 2>&1; echo \"exit=$?\"";
    std::string said = RunCommand(command);
    EXPECT_NE(said.find("no display"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said; // the line and the exit code
    EXPECT_EQ(said.find("exit=0"), std::string::npos) << said;
}
