#include "tools/cli_session.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "app/globals.h"
#include "platform/perf_counter.h"
#include "search/grid_search.h"
#include "tools/movingai_map.h"

CliSession::CliSession() {
    D3DObject = Direct3DCreate8(D3D_SDK_VERSION);
    if (D3DObject == nullptr) {
        throw std::runtime_error("cannot create the Direct3D object");
    }
    D3DObject->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &DisplayMode);
    PresentParams = {};
    PresentParams.BackBufferWidth = GRID_COLUMNS;
    PresentParams.BackBufferHeight = GRID_ROWS;
    PresentParams.BackBufferFormat = DisplayMode.Format;
    PresentParams.BackBufferCount = 1;
    PresentParams.SwapEffect = D3DSWAPEFFECT_COPY;
    PresentParams.Windowed = TRUE;
    if (FAILED(D3DObject->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                                       D3DCREATE_SOFTWARE_VERTEXPROCESSING, &PresentParams,
                                       &D3DDevice))) {
        D3DObject->Release();
        D3DObject = nullptr;
        throw std::runtime_error("cannot create the device");
    }
    ShowImage = SWITCH_ON;
    ShowLines = SWITCH_ON;
    ShowWaypoints = SWITCH_OFF;
    ShowNodes = SWITCH_OFF;
    ShowVisitedNodes = SWITCH_OFF;
    UseStraightLineCheck = SWITCH_OFF;
    UseAdvancedFiltering = SWITCH_OFF;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    CounterFrequency = frequency.QuadPart;
}

CliSession::~CliSession() {
    Search.ReleaseMap();
    D3DDevice->Release();
    D3DDevice = nullptr;
    D3DObject->Release();
    D3DObject = nullptr;
}

void CliSession::LoadMapFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw UsageError("cannot open map " + path);
    }
    std::string bitmapPath = path;
    std::filesystem::path converted;
    if (std::filesystem::path(path).extension() == ".map") {
        std::ostringstream text;
        text << file.rdbuf();
        GridMap map;
        try {
            map = ParseMovingAiMap(text.str());
        } catch (const MapFormatError& error) {
            throw UsageError(path + ": " + error.what());
        }
        std::vector<uint8_t> bitmap = MovingAiMapBitmap(map);
        converted = std::filesystem::temp_directory_path() /
                    ("brassel-cli-" + std::to_string(::getpid()) + ".bmp");
        std::ofstream(converted, std::ios::binary)
            .write(reinterpret_cast<const char*>(bitmap.data()), std::streamsize(bitmap.size()));
        bitmapPath = converted.string();
    }
    Search.LoadMap(bitmapPath);
    if (!converted.empty()) {
        std::error_code ignored;
        std::filesystem::remove(converted, ignored);
    }
    if (Search.MapBitmap == nullptr) {
        // The loader has said why on standard error.
        throw UsageError("map " + path + " is not a readable bitmap");
    }
}

void ApplySearchOptions(const Options& options) {
    CellSize = options.Has("--cell") ? ParseNumber(options.Value("--cell"), "--cell", 1, 800) : 10;
    HeuristicWeight =
        options.Has("--weight") ? ParseNumber(options.Value("--weight"), "--weight", 0, 10) : 0;
    UseStraightLineCheck = options.Has("--straight") ? SWITCH_ON : SWITCH_OFF;
    UseAdvancedFiltering = options.Has("--filter") ? SWITCH_ON : SWITCH_OFF;
}
