// brassel-cli snap: the real program run headless, fed scripted input, one
// message per frame as the main loop takes them; the last presented frame is
// written as a PNG.

#include <cstring>
#include <filesystem>
#include <map>
#include <vector>

#include "app/globals.h"
#include "platform/png_file.h"
#include "platform/presenter.h"
#include "platform/window_system.h"
#include "tools/cli_commands.h"
#include "tools/cli_options.h"

namespace {

const std::map<std::string, WPARAM> KEY_NAMES = {
    {"F1", VK_F1},       {"F2", VK_F2},     {"F3", VK_F3},     {"F4", VK_F4},
    {"F5", VK_F5},       {"F6", VK_F6},     {"F7", VK_F7},     {"F8", VK_F8},
    {"F9", VK_F9},       {"Up", VK_UP},     {"Down", VK_DOWN}, {"Left", VK_LEFT},
    {"Right", VK_RIGHT}, {"Home", VK_HOME}, {"End", VK_END},   {"Esc", VK_ESCAPE},
};

// Keeps a copy of every presented frame; once the script has been worked off,
// it asks the window to close, so the program ends as if the user had closed it.
class CapturingPresenter : public Presenter {
  public:
    void Show(const void* pixels, UINT width, UINT height, UINT pitch) override {
        frame.resize(size_t(width) * height);
        for (UINT y = 0; y < height; y++) {
            std::memcpy(&frame[size_t(y) * width],
                        static_cast<const BYTE*>(pixels) + size_t(y) * pitch,
                        size_t(width) * sizeof(uint32_t));
        }
        frameWidth = width;
        frameHeight = height;
        if (!closing && PendingScriptedMessages() == 0 && MainWindow != nullptr) {
            closing = true;
            PostMessageA(MainWindow, WM_CLOSE, 0, 0);
        }
    }

    std::vector<uint32_t> frame;
    UINT frameWidth = 0;
    UINT frameHeight = 0;
    bool closing = false;
};

} // namespace

const char* const SNAP_HELP =
    "usage: brassel-cli snap --out FILE.png [--dir DIR] [EVENT ...]\n"
    "\n"
    "Starts the workbench headless in DIR (default: the current directory, which must hold\n"
    "images/), feeds the events as window messages, one per frame, renders until they are\n"
    "worked off, and writes the last presented frame as a PNG. Events, in order:\n"
    "  --mouse X,Y    move the mouse to client pixel (X, Y), 0..799, 0..599\n"
    "  --rclick       press the right button at the last mouse position\n"
    "  --key NAME     press a key: F1..F9, Up, Down, Left, Right, Home, End, Esc\n";

int RunSnap(const std::vector<std::string>& args) {
    Options options(args, {{"--out", true},
                           {"--dir", true},
                           {"--mouse", true, true},
                           {"--rclick", false, true},
                           {"--key", true, true}});
    const std::string out = std::filesystem::absolute(options.Value("--out")).string();

    // Check the whole script before anything runs.
    struct Event {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Event> events;
    LPARAM lastMouse = 0;
    for (const auto& [name, value] : options.InOrder()) {
        if (name == "--mouse") {
            auto [x, y] = ParsePair(value, "--mouse", 799, 599);
            lastMouse = MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
            events.push_back({WM_MOUSEMOVE, 0, lastMouse});
        } else if (name == "--rclick") {
            events.push_back({WM_RBUTTONDOWN, MK_RBUTTON, lastMouse});
        } else if (name == "--key") {
            auto key = KEY_NAMES.find(value);
            if (key == KEY_NAMES.end()) {
                throw UsageError("unknown key '" + value + "'");
            }
            events.push_back({WM_KEYDOWN, key->second, 0});
        }
    }
    if (options.Has("--dir")) {
        std::error_code error;
        std::filesystem::current_path(options.Value("--dir"), error);
        if (error) {
            throw UsageError("cannot enter " + options.Value("--dir") + ": " + error.message());
        }
    }

    SetHeadlessMode(true);
    CapturingPresenter presenter;
    SetFallbackPresenter(&presenter);
    for (const Event& event : events) {
        PushScriptedMessage(event.message, event.wParam, event.lParam);
    }
    std::string commandLine;
    int exitCode = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWDEFAULT);
    SetFallbackPresenter(nullptr);
    if (exitCode != 0) {
        throw std::runtime_error("the workbench did not start");
    }
    if (presenter.frame.empty()) {
        throw std::runtime_error("no frame was presented");
    }
    if (!WritePixelsPng(presenter.frame.data(), presenter.frameWidth, presenter.frameHeight,
                        presenter.frameWidth * sizeof(uint32_t), out.c_str())) {
        throw std::runtime_error("cannot write " + out);
    }
    return 0;
}
