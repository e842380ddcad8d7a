#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

#include "tests/fixtures/bitmap_files.h"
#include "tests/fixtures/cli_run.h"
#include "tools/movingai_map.h"

namespace {

long Field(const std::string& json, const std::string& name) {
    size_t at = json.find("\"" + name + "\":");
    EXPECT_NE(at, std::string::npos) << name;
    return at == std::string::npos ? -1 : std::stol(json.substr(at + name.size() + 3));
}

using Points = std::vector<std::pair<int, int>>;

// The "path" list of a result line: [[x,y],...].
Points PathOf(const std::string& json) {
    Points points;
    size_t at = json.find("\"path\":[");
    EXPECT_NE(at, std::string::npos);
    size_t end = json.find("],\"visited\"", at);
    std::istringstream list(json.substr(at + 8, end - at - 8));
    char open, comma, close, separator;
    int x, y;
    while (list >> open >> x >> comma >> y >> close) {
        points.emplace_back(x, y);
        list >> separator;
    }
    return points;
}

// A 12 x 7 grid map: a wall down column 5 with a gap in row 5.
const char* const WALL_MAP = "type octile\r\n"
                             "height 7\r\n"
                             "width 12\r\n"
                             "map\r\n"
                             "............\r\n"
                             ".....@......\r\n"
                             ".....@......\r\n"
                             ".....T......\r\n"
                             ".....@......\r\n"
                             "............\r\n"
                             ".....@......\r\n"
                             "\r\n";

} // namespace

TEST(Cli, SearchPrintsOneJsonObjectPerSearch) {
    TempFolder folder;
    const std::string map = folder.File("wall.map");
    WriteBytes(map, WALL_MAP);
    WriteBytes(folder.File("queries.txt"), "# start and goal either side of the wall\n"
                                           "2 2 9 2\n"
                                           "\n"
                                           "2 2 5 2\n");
    CliRun run =
        RunCli("search --map " + map + " --cell 1 --queries " + folder.File("queries.txt"), folder);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 2u) << run.out;

    const std::string& found = lines[0];
    EXPECT_NE(found.find("\"start\":[2,2],\"goal\":[9,2],\"status\":\"found\""), std::string::npos)
        << found;
    Points path = PathOf(found);
    ASSERT_GE(path.size(), 2u);
    EXPECT_EQ(path.front(), (std::pair{9, 2}));
    EXPECT_EQ(path.back(), (std::pair{2, 2}));
    bool throughGap = false;
    for (size_t i = 1; i < path.size(); i++) {
        EXPECT_LE(std::abs(path[i].first - path[i - 1].first), 1);
        EXPECT_LE(std::abs(path[i].second - path[i - 1].second), 1);
        throughGap |= path[i] == std::pair{5, 5};
    }
    EXPECT_TRUE(throughGap);
    // Every node made marks its cell once.
    EXPECT_EQ(Field(found, "visited"), Field(found, "expanded") + Field(found, "open"));
    EXPECT_NE(found.find("\"time_s\":"), std::string::npos);

    // A refused search keeps the previous path.
    EXPECT_NE(lines[1].find("\"status\":\"blocked\""), std::string::npos) << lines[1];
    EXPECT_EQ(PathOf(lines[1]), path);
}

TEST(Cli, BadInputIsOneLineAndExitCodeTwo) {
    TempFolder folder;
    const std::string map = folder.File("wall.map");
    WriteBytes(map, WALL_MAP);
    WriteBytes(folder.File("bad.txt"), "1 1 2 2\n1 1 2\n");
    WriteBytes(folder.File("short.map"), "type octile\nheight 3\nwidth 4\nmap\n....\n..\n....\n");
    struct Case {
        std::string arguments;
        std::string said; // part of the message
    };
    const std::string goal = " --start 1,1 --goal 3,3";
    const Case cases[] = {
        {"search --map " + map + goal + " --fast", "unknown option --fast"},
        {"search --map " + folder.File("none.bmp") + goal, "none.bmp"},
        {"search --map " + map + goal + " --cell 0", "--cell"},
        {"search --map " + map + goal + " --cell 801", "--cell"},
        {"search --map " + map + goal + " --weight 11", "--weight"},
        {"search --map " + map + " --start 800,1 --goal 3,3", "--start x"},
        {"search --map " + map + " --start 1,600 --goal 3,3", "--start y"},
        {"search --map " + map + " --queries " + folder.File("bad.txt"), "line 2"},
        {"search --map " + folder.File("short.map") + goal, "line 6"},
        {"grid --map " + map + " --cell x", "--cell"},
        {"frobnicate", "unknown command"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        CliRun run = RunCli(c.arguments, folder);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        if (c.arguments != "frobnicate") {
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        }
    }
}

TEST(Cli, GridExportReadsBackAsTheMap) {
    TempFolder folder;
    const std::string map = folder.File("wall.map");
    WriteBytes(map, WALL_MAP);
    CliRun run = RunCli("grid --map " + map + " --cell 1", folder);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    GridMap exported = ParseMovingAiMap(run.out);
    GridMap original = ParseMovingAiMap(WALL_MAP);
    ASSERT_EQ(exported.width, 800u);
    ASSERT_EQ(exported.height, 600u);
    for (uint32_t y = 0; y < 10; y++) {
        for (uint32_t x = 0; x < 15; x++) {
            bool expected = x >= original.width || y >= original.height || original.Blocked(x, y);
            EXPECT_EQ(exported.Blocked(x, y), expected) << x << ", " << y;
        }
    }

    run = RunCli("grid --map " + std::string(BRASSEL_SOURCE_DIR) + "/images/hittest0.bmp", folder);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ParseMovingAiMap(run.out).width, 80u);
}
