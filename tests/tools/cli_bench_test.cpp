#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "tests/fixtures/bitmap_files.h"
#include "tests/fixtures/cli_run.h"

namespace {

// 7 x 5 cells; a wall in row 2 from column 2 to 4.
const char* const TINY_MAP = "type octile\n"
                             "height 5\n"
                             "width 7\n"
                             "map\n"
                             ".......\n"
                             ".......\n"
                             "..@@@..\n"
                             ".......\n"
                             ".......\n";

// The text after "name": up to the next top-level comma or brace.
std::string Value(const std::string& json, const std::string& name) {
    size_t at = json.find("\"" + name + "\":");
    EXPECT_NE(at, std::string::npos) << name << " in " << json;
    if (at == std::string::npos) {
        return "";
    }
    at += name.size() + 3;
    int depth = 0;
    size_t end = at;
    for (; end < json.size(); end++) {
        const char c = json[end];
        depth += c == '[';
        depth -= c == ']';
        if (depth == 0 && (c == ',' || c == '}')) {
            break;
        }
    }
    return json.substr(at, end - at);
}

double NumberOf(const std::string& json, const std::string& name) {
    return std::stod(Value(json, name));
}

} // namespace

TEST(CliBench, OneLinePerProblemAndASummary) {
    TempFolder folder;
    const std::string map = folder.File("tiny.map");
    const std::string scen = folder.File("tiny.map.scen");
    WriteBytes(map, TINY_MAP);
    WriteBytes(scen, "version 1\r\n"
                     "0\tmaps/tiny.map\t7\t5\t1\t1\t5\t1\t4\r\n"
                     "0\tmaps/tiny.map\t7\t5\t1\t3\t5\t1\t6\r\n"
                     "\r\n"
                     "1 maps/tiny.map 7 5 0 3 5 3 5\r\n"
                     "1\tmaps/tiny.map\t7\t5\t1\t1\t900\t2\t899\r\n"
                     "2\tmaps/tiny.map\t7\t5\t1\t1\t3\t0\t2.41421\r\n");
    CliRun run = RunCli("bench --map " + map + " --scen " + scen, folder);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 6u) << run.out;

    struct Expected {
        const char* line;
        const char* bucket;
        const char* start;
        const char* goal;
        const char* status;
        const char* length; // compared as text: null, or a number
        const char* cut;
    };
    // 0: a straight run of four steps.
    // 1: around the wall's end with one diagonal step past its corner, which
    //    the scenario's measure forbids: shorter than the stated optimal.
    // 2: a start in column 0 ends the path list early: only the four steps
    //    from column 1 are seen, and the path is marked cut.
    // 3: a goal outside the 800 x 600 grid is skipped, not searched.
    // 4: the search never enters row 0.
    const Expected expected[] = {
        {"2", "0", "[1,1]", "[5,1]", "\"found\"", "4", "false"},
        {"3", "0", "[1,3]", "[5,1]", "\"found\"", "5.41421356", "false"},
        {"5", "1", "[0,3]", "[5,3]", "\"found\"", "4", "true"},
        {"6", "1", "[1,1]", "[900,2]", "\"skipped\"", "null", "false"},
        {"7", "2", "[1,1]", "[3,0]", "\"no_path\"", "null", "false"},
    };
    for (size_t i = 0; i < std::size(expected); i++) {
        SCOPED_TRACE(lines[i]);
        const Expected& e = expected[i];
        EXPECT_EQ(Value(lines[i], "index"), std::to_string(i));
        EXPECT_EQ(Value(lines[i], "line"), e.line);
        EXPECT_EQ(Value(lines[i], "bucket"), e.bucket);
        EXPECT_EQ(Value(lines[i], "start"), e.start);
        EXPECT_EQ(Value(lines[i], "goal"), e.goal);
        EXPECT_EQ(Value(lines[i], "status"), e.status);
        EXPECT_EQ(Value(lines[i], "length"), e.length);
        EXPECT_EQ(Value(lines[i], "cut"), e.cut);
        if (std::string(e.status) == "\"skipped\"") {
            EXPECT_EQ(Value(lines[i], "expanded"), "null");
            EXPECT_EQ(Value(lines[i], "time_s"), "null");
        } else {
            EXPECT_GT(NumberOf(lines[i], "expanded"), 0);
            EXPECT_GE(NumberOf(lines[i], "time_s"), 0);
        }
    }
    EXPECT_EQ(Value(lines[1], "optimal"), "6");
    EXPECT_EQ(Value(lines[4], "optimal"), "2.41421");

    const std::string& summary = lines[5];
    SCOPED_TRACE(summary);
    EXPECT_EQ(Value(summary, "scenarios"), "5");
    EXPECT_EQ(Value(summary, "searched"), "4");
    EXPECT_EQ(Value(summary, "skipped"), "1");
    EXPECT_EQ(Value(summary, "found"), "3");
    EXPECT_EQ(Value(summary, "cut"), "1");
    EXPECT_EQ(Value(summary, "no_path"), "1");
    // The cut path is left out of the ratio: (4 / 4 + 5.41421356 / 6) / 2.
    EXPECT_EQ(Value(summary, "ratio_count"), "2");
    EXPECT_NEAR(NumberOf(summary, "mean_length_ratio"), (1 + (4 + std::sqrt(2.0)) / 6) / 2, 1e-6);
    const double median = NumberOf(summary, "median_time_s");
    EXPECT_GT(median, 0);
    EXPECT_GE(NumberOf(summary, "p99_time_s"), median);
    EXPECT_GT(NumberOf(summary, "searches_per_s"), 0);
    double expandedTotal = 0;
    for (size_t i = 0; i < 5; i++) {
        if (Value(lines[i], "expanded") != "null") {
            expandedTotal += NumberOf(lines[i], "expanded");
        }
    }
    EXPECT_NEAR(NumberOf(summary, "expanded_per_s") * NumberOf(summary, "total_time_s"),
                expandedTotal, expandedTotal * 1e-6);
}

TEST(CliBench, MalformedScenarioFilesNameTheLineAndExitTwo) {
    TempFolder folder;
    const std::string map = folder.File("tiny.map");
    WriteBytes(map, TINY_MAP);
    const std::string good = "0\ttiny.map\t7\t5\t1\t1\t5\t1\t4\n";
    struct Case {
        const char* what;
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {"empty file", "", "line 1:"},
        {"no version line", good, "line 1: expected 'version 1'"},
        {"other version", "version 2\n" + good, "line 1:"},
        {"eight fields", "version 1\n" + good + "0\ttiny.map\t7\t5\t1\t1\t5\t1\n",
         "line 3: expected 9 fields"},
        {"word for a coordinate", "version 1\n0 tiny.map 7 5 1 one 5 1 4\n", "line 2: start y"},
        {"negative coordinate", "version 1\n0 tiny.map 7 5 1 1 -5 1 4\n", "line 2: goal x"},
        {"bad length", "version 1\n0 tiny.map 7 5 1 1 5 1 four\n", "line 2: optimal length"},
        {"negative length", "version 1\n0 tiny.map 7 5 1 1 5 1 -4\n", "line 2: optimal length"},
        {"problem for another map", "version 1.0\n" + good + "0 tiny.map 8 5 1 1 5 1 4\n",
         "line 3: the problem is for a 8 x 5 map"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string scen = folder.File("bad.scen");
        WriteBytes(scen, c.text);
        CliRun run = RunCli("bench --map " + map + " --scen " + scen, folder);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    }

    CliRun missing = RunCli("bench --map " + map + " --scen " + folder.File("none.scen"), folder);
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("cannot open scenario file"), std::string::npos) << missing.err;
}
