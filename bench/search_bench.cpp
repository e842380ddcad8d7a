// FindPath on grids made in code, at cell size 1 where a search can use the
// whole node pool. Every case runs twice, with the heap open list and with the
// reference scan, and a table at the end gives each pair's ratio from the same
// run.
//
//   build/release/bench/search_bench --benchmark_min_time=0.1 --benchmark_repetitions=5
//
// Grids (800 x 600 cells):
//   open    no obstacle; weight 0 from the middle to a far corner fills the pool
//   random  a fifth of the cells blocked at random (fixed seed), corner to corner
//   wall    open but for a wall with one gap at its far end, so the straight-line
//           check walks long lines from every node in front of the wall
//   trivial start equal to goal: what every search pays before its first expansion

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/globals.h"
#include "bench/ratio_reporter.h"
#include "search/grid_search.h"

namespace {

enum class Grid { Open, Random, Wall, Trivial };

struct Query {
    uint32_t startX, startY, goalX, goalY;
};

const char* GridName(Grid grid) {
    switch (grid) {
    case Grid::Open:
        return "open";
    case Grid::Random:
        return "random";
    case Grid::Wall:
        return "wall";
    case Grid::Trivial:
        return "trivial";
    }
    return "";
}

Query DrawGrid(GridSearch& search, Grid grid) {
    std::memset(search.Cells, 0, sizeof(search.Cells));
    switch (grid) {
    case Grid::Open:
        return {400, 300, 790, 590};
    case Grid::Random: {
        std::mt19937 rng(7);
        for (uint32_t x = 0; x < GRID_COLUMNS; x++) {
            for (uint32_t y = 0; y < GRID_ROWS; y++) {
                search.Cells[x][y] = rng() % 5 == 0 ? CELL_BLOCKED : 0;
            }
        }
        search.Cells[10][10] = 0;
        search.Cells[790][590] = 0;
        return {10, 10, 790, 590};
    }
    case Grid::Wall:
        for (uint32_t y = 1; y < 580; y++) {
            search.Cells[600][y] = CELL_BLOCKED;
        }
        return {500, 300, 700, 300};
    case Grid::Trivial:
        return {400, 300, 400, 300};
    }
    return {};
}

void RunFindPath(benchmark::State& state, Grid grid, uint32_t weight, bool straight, bool filter,
                 bool reference) {
    auto search = std::make_unique<GridSearch>();
    search->UseReferenceOpenList = reference;
    const Query q = DrawGrid(*search, grid);
    CellSize = 1;
    HeuristicWeight = weight;
    UseStraightLineCheck = straight ? SWITCH_ON : SWITCH_OFF;
    UseAdvancedFiltering = filter ? SWITCH_ON : SWITCH_OFF;
    for (auto _ : state) {
        search->FindPath(q.startX, q.startY, q.goalX, q.goalY);
        benchmark::DoNotOptimize(search->PathPoints[0]);
    }
    const size_t used = search->ClosedList.size() + search->OpenList.size();
    state.counters["expanded"] = static_cast<double>(search->ClosedList.size());
    state.counters["nodes"] = static_cast<double>(used);
    state.counters["pool_out"] = used == NODE_POOL_SIZE ? 1 : 0;
}

void RegisterCases() {
    for (Grid grid : {Grid::Open, Grid::Random, Grid::Wall, Grid::Trivial}) {
        for (uint32_t weight : {0u, 1u}) {
            for (bool straight : {false, true}) {
                for (bool filter : {false, true}) {
                    if (grid == Grid::Trivial && (weight != 0 || straight || filter)) {
                        continue;
                    }
                    for (bool reference : {false, true}) {
                        char name[96];
                        std::snprintf(name, sizeof(name), "FindPath/%s/w%u/straight%d/filter%d/%s",
                                      GridName(grid), weight, straight, filter,
                                      reference ? "reference" : "fast");
                        benchmark::RegisterBenchmark(name, RunFindPath, grid, weight, straight,
                                                     filter, reference)
                            ->Unit(benchmark::kMillisecond);
                    }
                }
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    RegisterCases();
    return RunBenchmarksWithRatios(argc, argv);
}
