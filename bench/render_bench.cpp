// One whole frame on the shipped shapes map, at the default settings and at
// cell size 1 with the walkable and visited layers on, each with the frame's
// own search and without it.
//
// "Without the search" runs the same frame after one real search, with the
// start cell then marked blocked: the frame's search is refused at once
// (two counter reads), and the path, the visited marks and so the drawing
// stay those of the real search. The difference between the two figures is
// the search's share of the frame.
//
// Build and run (Release):
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRASSEL_TESTS=OFF
//   cmake --build build/release --target render_bench && build/release/bench/render_bench
// from the repository root, where images/ lies.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "app/globals.h"
#include "app/shell.h"
#include "platform/perf_counter.h"
#include "render/render.h"
#include "search/grid_search.h"
#include "search/map_loader.h"

namespace {

struct FrameSetup {
    uint32_t cellSize;
    float startX, startY;
    uint32_t mouseX, mouseY;
    Switch nodes, visited;
};

// The shell's start-up, headless: device, overlay font, vertex records,
// switches, the counter's frequency and the map.
class Workbench {
  public:
    explicit Workbench(const FrameSetup& setup) {
        // Device, overlay font, switches and panel exactly as the shell makes
        // them, with no window.
        if (!InitD3D()) {
            std::abort();
        }
        SetPointAndLineVertices();
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        CounterFrequency = frequency.QuadPart;

        CellSize = setup.cellSize;
        HeuristicWeight = 0;
        StartPointX = setup.startX;
        StartPointY = setup.startY;
        MouseX = setup.mouseX;
        MouseY = setup.mouseY;
        ShowImage = SWITCH_ON;
        ShowLines = SWITCH_ON;
        ShowWaypoints = SWITCH_OFF;
        ShowNodes = setup.nodes;
        ShowVisitedNodes = setup.visited;
        UseStraightLineCheck = SWITCH_OFF;
        UseAdvancedFiltering = SWITCH_OFF;
        Search.LoadMap("images/hittest0.bmp");
    }
    ~Workbench() { ShutDown(); }

    // One real search, then the start cell blocked so later frames keep its
    // result without searching again.
    void FreezeSearch() {
        Render();
        frozenOutcome = Search.Outcome;
        const uint32_t startX = static_cast<uint32_t>(StartPointX) / CellSize;
        const uint32_t startY = static_cast<uint32_t>(StartPointY) / CellSize;
        Search.Cells[startX][startY] |= CELL_BLOCKED;
    }

    SearchOutcome frozenOutcome = SearchOutcome::NONE;
};

uint32_t VisitedCells() {
    uint32_t visited = 0;
    for (uint32_t i = 0; i < GRID_COLUMNS / CellSize; i++) {
        for (uint32_t j = 0; j < GRID_ROWS / CellSize; j++) {
            visited += (Search.Cells[i][j] & CELL_VISITED) != 0 ? 1 : 0;
        }
    }
    return visited;
}

// The start-up view with the mouse low on the right: map picture and path.
constexpr FrameSetup DEFAULT_FRAME{10, 0.0f, 0.0f, 600, 450, SWITCH_OFF, SWITCH_OFF};
// One pixel per cell, every walkable cell and every reached cell drawn.
constexpr FrameSetup CELL_SIZE_1_FRAME{1, 100.0f, 450.0f, 340, 400, SWITCH_ON, SWITCH_ON};

void RunFrames(benchmark::State& state, const FrameSetup& setup, bool search) {
    Workbench workbench(setup);
    if (!search) {
        workbench.FreezeSearch();
    }
    for (auto _ : state) {
        Render();
    }
    const SearchOutcome outcome = search ? Search.Outcome : workbench.frozenOutcome;
    state.counters["path_found"] = outcome == SearchOutcome::FOUND ? 1 : 0;
    state.counters["visited"] = VisitedCells();
}

void BM_FrameDefault(benchmark::State& state) {
    RunFrames(state, DEFAULT_FRAME, true);
}
void BM_FrameDefaultWithoutSearch(benchmark::State& state) {
    RunFrames(state, DEFAULT_FRAME, false);
}
void BM_FrameCellSize1Layers(benchmark::State& state) {
    RunFrames(state, CELL_SIZE_1_FRAME, true);
}
void BM_FrameCellSize1LayersWithoutSearch(benchmark::State& state) {
    RunFrames(state, CELL_SIZE_1_FRAME, false);
}

} // namespace

BENCHMARK(BM_FrameDefault)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameDefaultWithoutSearch)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameCellSize1Layers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameCellSize1LayersWithoutSearch)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
