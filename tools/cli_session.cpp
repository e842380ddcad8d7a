#include "tools/cli_session.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "app/globals.h"
#include "app/shell.h"
#include "platform/perf_counter.h"
#include "search/grid_search.h"
#include "tools/movingai_map.h"

CliSession::CliSession() {
    // The device, the font and the switches exactly as the workbench makes
    // them, with no window: the map picture and frames are never shown.
    if (!InitD3D()) {
        ShutDown();
        throw std::runtime_error("cannot create the device");
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    CounterFrequency = frequency.QuadPart;
}

CliSession::~CliSession() {
    ShutDown();
}

const char* OutcomeWord(SearchOutcome outcome) {
    switch (outcome) {
    case SearchOutcome::FOUND:
        return "found";
    case SearchOutcome::NO_PATH:
        return "no_path";
    case SearchOutcome::POOL_EXHAUSTED:
        return "pool_exhausted";
    case SearchOutcome::REFUSED:
    case SearchOutcome::NONE:
        break;
    }
    return "blocked";
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
