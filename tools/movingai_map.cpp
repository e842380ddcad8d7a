#include "tools/movingai_map.h"

#include <charconv>
#include <sstream>

#include "tools/bmp_rle8.h"

namespace {

// Maps larger than this are not grid maps anyone meant to load here.
constexpr uint32_t MAX_SIDE = 16384;

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    while (!lines.empty() && lines.back().empty()) {
        lines.pop_back();
    }
    return lines;
}

[[noreturn]] void Fail(size_t lineIndex, const std::string& what) {
    throw MapFormatError("line " + std::to_string(lineIndex + 1) + ": " + what);
}

// "name N" with N from 1 to MAX_SIDE.
uint32_t HeaderNumber(const std::vector<std::string>& lines, size_t index,
                      const std::string& name) {
    if (index >= lines.size()) {
        Fail(index, "missing '" + name + "' line");
    }
    const std::string& line = lines[index];
    const std::string prefix = name + " ";
    uint32_t value = 0;
    if (line.rfind(prefix, 0) != 0) {
        Fail(index, "expected '" + name + " N', found '" + line + "'");
    }
    const char* begin = line.data() + prefix.size();
    const char* end = line.data() + line.size();
    auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end || value == 0 || value > MAX_SIDE) {
        Fail(index, name + " must be a number from 1 to " + std::to_string(MAX_SIDE));
    }
    return value;
}

} // namespace

GridMap ParseMovingAiMap(const std::string& text) {
    const std::vector<std::string> lines = SplitLines(text);
    if (lines.empty() || lines[0] != "type octile") {
        Fail(0, "expected 'type octile'");
    }
    GridMap map;
    map.height = HeaderNumber(lines, 1, "height");
    map.width = HeaderNumber(lines, 2, "width");
    if (lines.size() < 4 || lines[3] != "map") {
        Fail(3, "expected 'map'");
    }
    if (lines.size() != 4 + size_t(map.height)) {
        Fail(std::min(lines.size(), 4 + size_t(map.height)),
             "expected " + std::to_string(map.height) + " rows, found " +
                 std::to_string(lines.size() - 4));
    }
    map.blocked.resize(size_t(map.width) * map.height);
    for (uint32_t y = 0; y < map.height; y++) {
        const std::string& row = lines[4 + y];
        if (row.size() != map.width) {
            Fail(4 + y, "row has " + std::to_string(row.size()) + " cells, expected " +
                            std::to_string(map.width));
        }
        for (uint32_t x = 0; x < map.width; x++) {
            char c = row[x];
            map.blocked[size_t(y) * map.width + x] = !(c == '.' || c == 'G' || c == 'S');
        }
    }
    return map;
}

std::string FormatMovingAiMap(const GridMap& map) {
    std::string out = "type octile\nheight " + std::to_string(map.height) + "\nwidth " +
                      std::to_string(map.width) + "\nmap\n";
    for (uint32_t y = 0; y < map.height; y++) {
        for (uint32_t x = 0; x < map.width; x++) {
            out += map.Blocked(x, y) ? '@' : '.';
        }
        out += '\n';
    }
    return out;
}

std::vector<uint8_t> MovingAiMapBitmap(const GridMap& map) {
    std::vector<uint8_t> indices(map.blocked.size());
    for (size_t i = 0; i < indices.size(); i++) {
        indices[i] = map.blocked[i] ? 1 : 0;
    }
    return EncodeRle8Bmp(indices.data(), int(map.width), int(map.height),
                         {{0, 0, 0}, {90, 110, 150}});
}
