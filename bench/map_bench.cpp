// FindPath and LoadMap on real maps: the four maps the workbench ships with and
// three grid benchmark maps (a maze, a room map and a game map), placed at the
// top-left as brassel-cli places them. Every FindPath case runs twice, with the
// fast open list and with the reference scan, and the table at the end gives
// each pair's ratio from the same run.
//
// Build and run the whole matrix (a few minutes) from the repository root:
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRASSEL_TESTS=OFF
//   cmake --build build/release --target map_bench
//   build/release/bench/map_bench --benchmark_min_time=0.05
// Subsets with --benchmark_filter, for instance:
//   --benchmark_filter='LoadMap'                       the map loads only
//   --benchmark_filter='FindPath/.*/far/cell1/'        full-pool searches at cell size 1
//   --benchmark_filter='FindPath/maze.*/w0/straight0/filter0/'
//
// Case names: FindPath/MAP/QUERY/cellC/wW/straightS/filterF/{fast,reference}.
// The grid benchmark maps are read from ../shared/data/movingai beside the
// repository; when they are absent only the shipped maps are measured.
//
// Queries, in pixels of the map (so cells at cell size 1): "far" crosses the
// map, "mid" is of middling length. For the grid benchmark maps they are
// problems of the map's scenario file: "far" from its last (longest) bucket,
// "mid" from its middle bucket. At a larger cell size each end is the pixel
// divided by the cell size, moved to the nearest free cell (nearest by
// Chebyshev distance, the first in row-major order among equals) so that the
// search is not refused; columns and rows 0 are avoided because the search
// never enters them. A map with no free cell at a cell size (the maze at 2
// and 10, where every sampled pixel is a wall) reports its cases as errors. Counters: expanded
// (closed list), nodes (all nodes used), found (1 when the goal was reached), pool_out (1 when the
// search ran out of nodes).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/globals.h"
#include "bench/ratio_reporter.h"
#include "search/grid_search.h"
#include "tools/cli_session.h"

namespace {

struct PixelQuery {
    const char* name;
    uint32_t startX, startY, goalX, goalY;
};

struct BenchMap {
    const char* name;
    std::string path;
    PixelQuery far;
    PixelQuery mid;
};

const std::filesystem::path SOURCE_DIR = BRASSEL_SOURCE_DIR;
const std::filesystem::path MOVINGAI_DIR = SOURCE_DIR / ".." / "shared" / "data" / "movingai";

std::vector<BenchMap> Maps() {
    auto image = [](int n) {
        return (SOURCE_DIR / "images" / ("hittest" + std::to_string(n) + ".bmp")).string();
    };
    auto grid = [](const char* file) { return (MOVINGAI_DIR / file).string(); };
    const PixelQuery imageFar{"far", 20, 20, 780, 580};
    const PixelQuery imageMid{"mid", 100, 300, 700, 300};
    return {
        {"hittest0", image(0), imageFar, imageMid},
        {"hittest1", image(1), imageFar, imageMid},
        {"hittest2", image(2), imageFar, imageMid},
        {"hittest3", image(3), imageFar, imageMid},
        {"maze512", grid("maze512-1-0.map"), {"far", 497, 89, 467, 44}, {"mid", 177, 20, 175, 310}},
        {"8room", grid("8room_000.map"), {"far", 7, 463, 484, 37}, {"mid", 420, 508, 230, 263}},
        {"brc202d", grid("brc202d.map"), {"far", 93, 250, 255, 395}, {"mid", 105, 104, 476, 192}},
    };
}

// The headless device the loader needs, made by main for the whole run and
// released before the graphics stand-in's own objects go at exit.
CliSession* Session = nullptr;

// The blocked flags of the active region of a map at a cell size, loaded once
// through the program's own loader.
using Blocked = std::vector<uint8_t>;

const Blocked& LoadedGrid(const BenchMap& map, uint32_t cellSize) {
    static std::map<std::pair<std::string, uint32_t>, Blocked> cache;
    auto key = std::make_pair(map.path, cellSize);
    auto found = cache.find(key);
    if (found != cache.end()) {
        return found->second;
    }
    CellSize = cellSize;
    Session->LoadMapFile(map.path);
    Blocked blocked(size_t(GRID_COLUMNS) * GRID_ROWS, 1);
    for (uint32_t x = 0; x < GRID_COLUMNS / cellSize; x++) {
        for (uint32_t y = 0; y < GRID_ROWS / cellSize; y++) {
            blocked[size_t(x) * GRID_ROWS + y] = (Search.Cells[x][y] & CELL_BLOCKED) != 0;
        }
    }
    return cache.emplace(key, std::move(blocked)).first->second;
}

// The free cell nearest to the pixel's cell, as described at the top, or
// none when the active region has no free cell off column and row 0.
std::optional<std::pair<uint32_t, uint32_t>>
NearestFreeCell(const Blocked& blocked, uint32_t cellSize, uint32_t px, uint32_t py) {
    const int64_t cx = px / cellSize;
    const int64_t cy = py / cellSize;
    std::optional<std::pair<uint32_t, uint32_t>> best;
    int64_t bestDistance = 0;
    for (uint32_t y = 1; y < GRID_ROWS / cellSize; y++) {
        for (uint32_t x = 1; x < GRID_COLUMNS / cellSize; x++) {
            const int64_t distance = std::max(std::abs(x - cx), std::abs(y - cy));
            if (!blocked[size_t(x) * GRID_ROWS + y] && (!best || distance < bestDistance)) {
                best = {x, y};
                bestDistance = distance;
            }
        }
    }
    return best;
}

struct FindPathCase {
    BenchMap map;
    PixelQuery query;
    uint32_t cellSize;
    uint32_t weight;
    bool straight;
    bool filter;
    bool reference;
};

void RunFindPath(benchmark::State& state, const FindPathCase& c) {
    const Blocked& blocked = LoadedGrid(c.map, c.cellSize);
    auto search = std::make_unique<GridSearch>();
    for (uint32_t x = 0; x < GRID_COLUMNS; x++) {
        for (uint32_t y = 0; y < GRID_ROWS; y++) {
            search->Cells[x][y] = blocked[size_t(x) * GRID_ROWS + y] ? CELL_BLOCKED : 0;
        }
    }
    search->UseReferenceOpenList = c.reference;
    const auto start = NearestFreeCell(blocked, c.cellSize, c.query.startX, c.query.startY);
    const auto goal = NearestFreeCell(blocked, c.cellSize, c.query.goalX, c.query.goalY);
    if (!start || !goal) {
        // The maze at cell sizes 2 and 10: every sampled pixel is a wall.
        state.SkipWithError("no free cell at this cell size");
        return;
    }
    CellSize = c.cellSize;
    HeuristicWeight = c.weight;
    UseStraightLineCheck = c.straight ? SWITCH_ON : SWITCH_OFF;
    UseAdvancedFiltering = c.filter ? SWITCH_ON : SWITCH_OFF;
    for (auto _ : state) {
        search->FindPath(start->first, start->second, goal->first, goal->second);
        benchmark::DoNotOptimize(search->PathPoints[0]);
    }
    const size_t used = search->ClosedList.size() + search->OpenList.size();
    state.counters["expanded"] = double(search->ClosedList.size());
    state.counters["nodes"] = double(used);
    state.counters["found"] = search->Outcome == SearchOutcome::FOUND ? 1 : 0;
    state.counters["pool_out"] = search->Outcome == SearchOutcome::POOL_EXHAUSTED ? 1 : 0;
}

// One LoadMap as the workbench makes it on a map switch or a cell-size change:
// two file loads, the picture and the classification.
void RunLoadMap(benchmark::State& state, const std::string& path, uint32_t cellSize) {
    CellSize = cellSize;
    for (auto _ : state) {
        Search.LoadMap(path);
        benchmark::DoNotOptimize(Search.Cells[0][0]);
    }
}

void RegisterCases() {
    for (const BenchMap& map : Maps()) {
        if (!std::filesystem::exists(map.path)) {
            continue;
        }
        for (const PixelQuery& query : {map.far, map.mid}) {
            for (uint32_t cellSize : {1u, 2u, 5u, 10u}) {
                for (uint32_t weight : {0u, 1u}) {
                    for (bool straight : {false, true}) {
                        for (bool filter : {false, true}) {
                            for (bool reference : {false, true}) {
                                char name[128];
                                std::snprintf(name, sizeof(name),
                                              "FindPath/%s/%s/cell%u/w%u/straight%d/filter%d/%s",
                                              map.name, query.name, cellSize, weight, straight,
                                              filter, reference ? "reference" : "fast");
                                FindPathCase c{map,      query,  cellSize, weight,
                                               straight, filter, reference};
                                benchmark::RegisterBenchmark(name, [c](benchmark::State& state) {
                                    RunFindPath(state, c);
                                })->Unit(benchmark::kMillisecond);
                            }
                        }
                    }
                }
            }
        }
    }
    for (int n = 0; n < 4; n++) {
        const std::string path =
            (SOURCE_DIR / "images" / ("hittest" + std::to_string(n) + ".bmp")).string();
        for (uint32_t cellSize : {10u, 1u}) {
            const std::string name =
                "LoadMap/hittest" + std::to_string(n) + "/cell" + std::to_string(cellSize);
            benchmark::RegisterBenchmark(name.c_str(), [path, cellSize](benchmark::State& state) {
                RunLoadMap(state, path, cellSize);
            })->Unit(benchmark::kMillisecond);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (!std::filesystem::exists(MOVINGAI_DIR)) {
        std::fprintf(stderr, "map_bench: %s not found: the grid benchmark maps are skipped\n",
                     MOVINGAI_DIR.string().c_str());
    }
    CliSession session;
    Session = &session;
    RegisterCases();
    const int exitCode = RunBenchmarksWithRatios(argc, argv);
    Session = nullptr;
    return exitCode;
}
