#pragma once
// Scenario files of the common grid path-finding benchmarks: a "version 1" (or
// "version 1.0") line, then one problem per line in nine tab- or
// space-separated fields: bucket, map name, map width, map height, start x,
// start y, goal x, goal y, optimal length. Lengths count a straight step as 1
// and a diagonal step as sqrt(2).

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// A malformed scenario file; the message names the line.
struct ScenarioFormatError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Scenario {
    uint32_t line = 0; // line number in the file, from 1
    uint32_t bucket = 0;
    std::string map;
    uint32_t mapWidth = 0;
    uint32_t mapHeight = 0;
    uint32_t startX = 0;
    uint32_t startY = 0;
    uint32_t goalX = 0;
    uint32_t goalY = 0;
    double optimal = 0;
};

// Parses the text of a scenario file. CRLF line ends and blank lines are
// tolerated; anything else out of place is a ScenarioFormatError.
std::vector<Scenario> ParseScenarios(const std::string& text);
