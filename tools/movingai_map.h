#pragma once
// Grid maps in the text format of the common path-finding benchmarks:
//   type octile / height H / width W / map / H rows of W characters.
// '.', 'G' and 'S' are passable; every other character is not.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// A malformed map file; the message names the line.
struct MapFormatError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct GridMap {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<bool> blocked; // row by row, width x height
    bool Blocked(uint32_t x, uint32_t y) const { return blocked[size_t(y) * width + x]; }
};

// Parses the text of a map file. CRLF line ends and trailing blank lines are
// tolerated; anything else out of place is a MapFormatError.
GridMap ParseMovingAiMap(const std::string& text);

// The text of a map file for a grid, rows of '.' (free) and '@' (blocked).
std::string FormatMovingAiMap(const GridMap& map);

// The map as a bitmap file of one pixel per map cell, black for passable
// terrain and a colour for the rest, so it loads like any map picture.
std::vector<uint8_t> MovingAiMapBitmap(const GridMap& map);
