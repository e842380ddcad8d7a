// brassel-cli grid: the occupancy grid of the active region as a grid map file.

#include <cstdio>

#include "app/globals.h"
#include "search/grid_search.h"
#include "tools/cli_commands.h"
#include "tools/cli_session.h"
#include "tools/movingai_map.h"

const char* const GRID_HELP =
    "usage: brassel-cli grid --map FILE [--cell N]\n"
    "\n"
    "Prints the occupancy grid of the active region (800/N x 600/N cells) in the grid map\n"
    "text format: type octile, height, width, map, then rows of '.' (free) and '@' (blocked).\n";

int RunGrid(const std::vector<std::string>& args) {
    Options options(args, {{"--map", true}, {"--cell", true}});
    const std::string& map = options.Value("--map");
    CliSession session;
    ApplySearchOptions(options);
    session.LoadMapFile(map);
    GridMap grid;
    grid.width = GRID_COLUMNS / CellSize;
    grid.height = GRID_ROWS / CellSize;
    grid.blocked.resize(size_t(grid.width) * grid.height);
    for (uint32_t y = 0; y < grid.height; y++) {
        for (uint32_t x = 0; x < grid.width; x++) {
            grid.blocked[size_t(y) * grid.width + x] = (Search.Cells[x][y] & CELL_BLOCKED) != 0;
        }
    }
    std::fputs(FormatMovingAiMap(grid).c_str(), stdout);
    return 0;
}
