// brassel-cli bench: runs the problems of a scenario file on its map, as the
// workbench would search them at cell size 1, and prints one JSON object per
// problem and a summary of speed and path quality.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/globals.h"
#include "platform/gdi.h"
#include "search/grid_search.h"
#include "tools/cli_commands.h"
#include "tools/cli_session.h"
#include "tools/scenario_file.h"

namespace {

std::vector<Scenario> ReadScenarioFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw UsageError("cannot open scenario file " + path);
    }
    std::ostringstream text;
    text << file.rdbuf();
    try {
        return ParseScenarios(text.str());
    } catch (const ScenarioFormatError& error) {
        throw UsageError(path + ": " + error.what());
    }
}

// The length of PathPoints as its readers see it (up to the end entry), in the
// scenario's measure. Each segment counts as the shortest 8-connected walk
// along it, max(dx, dy) - min(dx, dy) + sqrt(2) min(dx, dy), which is 1 or
// sqrt(2) for a single step and stays comparable with the optimal length when
// the filter or the straight-line check has joined points.
struct SeenPath {
    double length = 0;
    uint32_t points = 0;
    PathPoint last{0, 0};
};

SeenPath MeasurePath() {
    SeenPath seen;
    for (uint32_t i = 0; i < PATH_CAPACITY && Search.PathPoints[i].x != 0; i++) {
        const PathPoint& point = Search.PathPoints[i];
        if (i > 0) {
            const double dx = std::fabs(double(point.x) - double(seen.last.x));
            const double dy = std::fabs(double(point.y) - double(seen.last.y));
            seen.length += std::max(dx, dy) - std::min(dx, dy) + std::sqrt(2.0) * std::min(dx, dy);
        }
        seen.last = point;
        seen.points++;
    }
    return seen;
}

struct Totals {
    uint32_t problems = 0;
    uint32_t skipped = 0;
    uint32_t found = 0;
    uint32_t cut = 0;
    uint32_t noPath = 0;
    uint32_t poolExhausted = 0;
    uint32_t blocked = 0;
    uint64_t expanded = 0;
    std::vector<double> times;
    double ratioSum = 0;
    uint32_t ratioCount = 0;
};

// The value at a fraction of the sorted times: the median as the mean of the
// middle two for an even count, other fractions by nearest rank.
double Median(const std::vector<double>& sorted) {
    const size_t n = sorted.size();
    return n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

double NearestRank(const std::vector<double>& sorted, double fraction) {
    size_t rank = size_t(std::ceil(fraction * double(sorted.size())));
    return sorted[std::clamp<size_t>(rank, 1, sorted.size()) - 1];
}

std::string Number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

void PrintSummary(Totals& totals) {
    std::sort(totals.times.begin(), totals.times.end());
    double total = 0;
    for (double t : totals.times) {
        total += t;
    }
    const bool timed = !totals.times.empty() && total > 0;
    std::printf(
        "{\"summary\":true,\"scenarios\":%u,\"searched\":%zu,\"skipped\":%u,\"found\":%u,"
        "\"cut\":%u,\"no_path\":%u,\"pool_exhausted\":%u,\"blocked\":%u,\"total_time_s\":%s,"
        "\"searches_per_s\":%s,\"median_time_s\":%s,\"p99_time_s\":%s,\"expanded_per_s\":%s,"
        "\"mean_length_ratio\":%s,\"ratio_count\":%u}\n",
        totals.problems, totals.times.size(), totals.skipped, totals.found, totals.cut,
        totals.noPath, totals.poolExhausted, totals.blocked, Number(total).c_str(),
        timed ? Number(double(totals.times.size()) / total).c_str() : "null",
        totals.times.empty() ? "null" : Number(Median(totals.times)).c_str(),
        totals.times.empty() ? "null" : Number(NearestRank(totals.times, 0.99)).c_str(),
        timed ? Number(double(totals.expanded) / total).c_str() : "null",
        totals.ratioCount > 0 ? Number(totals.ratioSum / totals.ratioCount).c_str() : "null",
        totals.ratioCount);
}

} // namespace

const char* const BENCH_HELP =
    "usage: brassel-cli bench --map FILE.map --scen FILE.scen [--weight W] [--straight]\n"
    "                         [--filter]\n"
    "\n"
    "Runs every problem of a grid benchmark scenario file on its map, in order, with one\n"
    "search object, as the workbench searches: the map at the top-left, cell size 1,\n"
    "scenario coordinates as cells. FILE.map may also be a map bitmap.\n"
    "  --weight W     heuristic weight, 0 to 10 (default 0)\n"
    "  --straight     stop when the goal is in straight-line sight\n"
    "  --filter       thin the found path\n"
    "Prints one JSON object per problem: index (from 0), line, bucket, start, goal, status\n"
    "(found, no_path, pool_exhausted, blocked, or skipped for coordinates outside the\n"
    "800 x 600 grid), length, optimal, cut, expanded, time_s; then a summary object:\n"
    "searches per second, median and 99th-percentile (nearest rank) time, nodes expanded\n"
    "per second, and the mean of length / optimal.\n"
    "\n"
    "length is measured on the path as the workbench reads it: each segment counts as its\n"
    "8-connected walk, max(dx,dy) - min(dx,dy) + sqrt(2) min(dx,dy), so a straight step is 1\n"
    "and a diagonal step sqrt(2). The workbench's path list ends at the first point in\n"
    "column 0 and holds at most 999 points, nearest the goal first: a path from a start in\n"
    "column 0, or one longer than the list, is seen without its first part. Such a path\n"
    "is marked \"cut\":true, its length is that of the part seen, and the mean ratio leaves\n"
    "it out, as it does problems of optimal length 0. The search never enters column 0 or\n"
    "row 0, so a goal there is found only with --straight or when it is the start.\n"
    "Diagonal steps between two blocked cells are allowed here, but not in the scenario's\n"
    "optimal lengths, so a ratio can fall below 1.\n";

int RunBench(const std::vector<std::string>& args) {
    Options options(args, {{"--map", true},
                           {"--scen", true},
                           {"--weight", true},
                           {"--straight", false},
                           {"--filter", false}});
    const std::string& map = options.Value("--map");
    const std::vector<Scenario> scenarios = ReadScenarioFile(options.Value("--scen"));
    CliSession session;
    ApplySearchOptions(options);
    CellSize = 1;
    session.LoadMapFile(map);

    // A scenario made for a map of another size belongs to another map.
    BITMAP bmp{};
    GetObjectA(Search.MapBitmap, sizeof bmp, &bmp);
    for (const Scenario& s : scenarios) {
        if (LONG(s.mapWidth) != bmp.bmWidth || LONG(s.mapHeight) != bmp.bmHeight) {
            throw UsageError(options.Value("--scen") + ": line " + std::to_string(s.line) +
                             ": the problem is for a " + std::to_string(s.mapWidth) + " x " +
                             std::to_string(s.mapHeight) + " map, but " + map + " is " +
                             std::to_string(bmp.bmWidth) + " x " + std::to_string(bmp.bmHeight));
        }
    }

    Totals totals;
    for (size_t index = 0; index < scenarios.size(); index++) {
        const Scenario& s = scenarios[index];
        totals.problems++;
        std::printf("{\"index\":%zu,\"line\":%u,\"bucket\":%u,\"start\":[%u,%u],\"goal\":[%u,%u],",
                    index, s.line, s.bucket, s.startX, s.startY, s.goalX, s.goalY);
        if (s.startX >= GRID_COLUMNS || s.goalX >= GRID_COLUMNS || s.startY >= GRID_ROWS ||
            s.goalY >= GRID_ROWS) {
            totals.skipped++;
            std::printf("\"status\":\"skipped\",\"length\":null,\"optimal\":%s,\"cut\":false,"
                        "\"expanded\":null,\"time_s\":null}\n",
                        Number(s.optimal).c_str());
            continue;
        }
        Search.FindPath(s.startX, s.startY, s.goalX, s.goalY);
        const double seconds = double(SearchEndCount - SearchStartCount) / double(CounterFrequency);
        // A refused search expands nothing; the lists are the previous search's.
        const size_t expanded =
            Search.Outcome == SearchOutcome::REFUSED ? 0 : Search.ClosedList.size();
        totals.times.push_back(seconds);
        totals.expanded += expanded;
        std::string length = "null";
        bool cut = false;
        switch (Search.Outcome) {
        case SearchOutcome::FOUND: {
            const SeenPath seen = MeasurePath();
            cut = seen.points == 0 || seen.last.x != s.startX || seen.last.y != s.startY;
            length = Number(seen.length);
            totals.found++;
            totals.cut += cut;
            if (!cut && s.optimal > 0) {
                totals.ratioSum += seen.length / s.optimal;
                totals.ratioCount++;
            }
            break;
        }
        case SearchOutcome::NO_PATH:
            totals.noPath++;
            break;
        case SearchOutcome::POOL_EXHAUSTED:
            totals.poolExhausted++;
            break;
        case SearchOutcome::REFUSED:
        case SearchOutcome::NONE:
            totals.blocked++;
            break;
        }
        std::printf("\"status\":\"%s\",\"length\":%s,\"optimal\":%s,\"cut\":%s,\"expanded\":%zu,"
                    "\"time_s\":%.9f}\n",
                    OutcomeWord(Search.Outcome), length.c_str(), Number(s.optimal).c_str(),
                    cut ? "true" : "false", expanded, seconds);
    }
    PrintSummary(totals);
    return 0;
}
