// brassel-cli search: runs searches on a map with one search object for the
// whole run, in order, exactly as the workbench does, and prints one JSON
// object per search.

#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/globals.h"
#include "search/grid_search.h"
#include "tools/cli_commands.h"
#include "tools/cli_session.h"

namespace {

struct Query {
    uint32_t sx, sy, gx, gy;
};

// Every query of a file, checked before any search runs so bad input prints nothing else.
std::vector<Query> ReadQueries(const std::string& path) {
    std::ifstream file(path);
    if (!file) {
        throw UsageError("cannot open queries file " + path);
    }
    std::vector<Query> queries;
    std::string line;
    for (int number = 1; std::getline(file, line); number++) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.find_first_not_of(" \t") == std::string::npos ||
            line[line.find_first_not_of(" \t")] == '#') {
            continue;
        }
        std::istringstream fields(line);
        std::string text[4];
        std::string extra;
        if (!(fields >> text[0] >> text[1] >> text[2] >> text[3]) || (fields >> extra)) {
            throw UsageError(path + ": line " + std::to_string(number) +
                             ": expected four numbers 'sx sy gx gy'");
        }
        const std::string where = path + ": line " + std::to_string(number) + ":";
        queries.push_back({ParseNumber(text[0], where + " sx", 0, GRID_COLUMNS - 1),
                           ParseNumber(text[1], where + " sy", 0, GRID_ROWS - 1),
                           ParseNumber(text[2], where + " gx", 0, GRID_COLUMNS - 1),
                           ParseNumber(text[3], where + " gy", 0, GRID_ROWS - 1)});
    }
    return queries;
}

void PrintResult(const Query& q) {
    std::string path;
    for (uint32_t i = 0; i < PATH_CAPACITY && Search.PathPoints[i].x != 0; i++) {
        path += (i == 0 ? "[" : ",[") + std::to_string(Search.PathPoints[i].x) + "," +
                std::to_string(Search.PathPoints[i].y) + "]";
    }
    uint32_t visited = 0;
    for (uint32_t x = 0; x < GRID_COLUMNS / CellSize; x++) {
        for (uint32_t y = 0; y < GRID_ROWS / CellSize; y++) {
            visited += (Search.Cells[x][y] & CELL_VISITED) != 0;
        }
    }
    double seconds = double(SearchEndCount - SearchStartCount) / double(CounterFrequency);
    std::printf("{\"start\":[%u,%u],\"goal\":[%u,%u],\"status\":\"%s\",\"path\":[%s],"
                "\"visited\":%u,\"expanded\":%zu,\"open\":%zu,\"time_s\":%.9f}\n",
                q.sx, q.sy, q.gx, q.gy, OutcomeWord(Search.Outcome), path.c_str(), visited,
                Search.ClosedList.size(), Search.OpenList.size(), seconds);
}

} // namespace

const char* const SEARCH_HELP =
    "usage: brassel-cli search --map FILE [--cell N] [--weight W] [--straight] [--filter]\n"
    "                          (--start X,Y --goal X,Y | --queries FILE)\n"
    "\n"
    "Runs searches on a map with one search object, in order, as the workbench does.\n"
    "FILE is a map bitmap or a grid map file (.map), placed at the top-left.\n"
    "  --cell N       pixels per cell edge, 1 to 800 (default 10)\n"
    "  --weight W     heuristic weight, 0 to 10 (default 0)\n"
    "  --straight     stop when the goal is in straight-line sight\n"
    "  --filter       thin the found path\n"
    "  --start X,Y    start cell; --goal X,Y goal cell (0..799, 0..599)\n"
    "  --queries FILE one query per line: 'sx sy gx gy'; blank lines and # comments skipped\n"
    "Prints one JSON object per search: start, goal, status (found, no_path, blocked,\n"
    "pool_exhausted), path (goal first, as the renderer reads it), visited, expanded, open,\n"
    "time_s.\n";

int RunSearch(const std::vector<std::string>& args) {
    Options options(args, {{"--map", true},
                           {"--cell", true},
                           {"--weight", true},
                           {"--straight", false},
                           {"--filter", false},
                           {"--start", true},
                           {"--goal", true},
                           {"--queries", true}});
    const std::string& map = options.Value("--map");
    std::vector<Query> queries;
    if (options.Has("--queries")) {
        if (options.Has("--start") || options.Has("--goal")) {
            throw UsageError("give either --start and --goal, or --queries");
        }
        queries = ReadQueries(options.Value("--queries"));
    } else {
        auto start =
            ParsePair(options.Value("--start"), "--start", GRID_COLUMNS - 1, GRID_ROWS - 1);
        auto goal = ParsePair(options.Value("--goal"), "--goal", GRID_COLUMNS - 1, GRID_ROWS - 1);
        queries.push_back({start.first, start.second, goal.first, goal.second});
    }
    CliSession session;
    ApplySearchOptions(options);
    session.LoadMapFile(map);
    for (const Query& q : queries) {
        Search.FindPath(q.sx, q.sy, q.gx, q.gy);
        PrintResult(q);
    }
    return 0;
}
