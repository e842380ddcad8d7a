#include "tools/scenario_file.h"

#include <charconv>
#include <cmath>
#include <sstream>

namespace {

[[noreturn]] void Fail(uint32_t line, const std::string& what) {
    throw ScenarioFormatError("line " + std::to_string(line) + ": " + what);
}

// Fields split at tabs when the line has any, since a map name may then hold
// spaces; at runs of spaces otherwise. Spaces around tab-separated fields are
// dropped.
std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    if (line.find('\t') != std::string::npos) {
        std::istringstream in(line);
        for (std::string field; std::getline(in, field, '\t');) {
            const size_t first = field.find_first_not_of(' ');
            const size_t last = field.find_last_not_of(' ');
            fields.push_back(first == std::string::npos ? ""
                                                        : field.substr(first, last - first + 1));
        }
        if (line.back() == '\t') {
            fields.push_back("");
        }
    } else {
        std::istringstream in(line);
        for (std::string field; in >> field;) {
            fields.push_back(field);
        }
    }
    return fields;
}

uint32_t WholeNumber(const std::string& text, uint32_t line, const char* what) {
    uint32_t value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        Fail(line, std::string(what) + " must be a whole number, not '" + text + "'");
    }
    return value;
}

double Length(const std::string& text, uint32_t line) {
    double value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value) || value < 0) {
        Fail(line, "optimal length must be a number of at least 0, not '" + text + "'");
    }
    return value;
}

} // namespace

std::vector<Scenario> ParseScenarios(const std::string& text) {
    std::vector<Scenario> scenarios;
    std::istringstream in(text);
    bool versionSeen = false;
    uint32_t number = 0;
    for (std::string line; std::getline(in, line);) {
        number++;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.find_first_not_of(" \t") == std::string::npos) {
            continue;
        }
        const std::vector<std::string> fields = SplitFields(line);
        if (!versionSeen) {
            if (fields.size() != 2 || fields[0] != "version" ||
                (fields[1] != "1" && fields[1] != "1.0")) {
                Fail(number, "expected 'version 1', found '" + line + "'");
            }
            versionSeen = true;
            continue;
        }
        if (fields.size() != 9) {
            Fail(number, "expected 9 fields (bucket, map, width, height, start x, start y, goal "
                         "x, goal y, optimal length), found " +
                             std::to_string(fields.size()));
        }
        if (fields[1].empty()) {
            Fail(number, "the map name is empty");
        }
        Scenario s;
        s.line = number;
        s.bucket = WholeNumber(fields[0], number, "bucket");
        s.map = fields[1];
        s.mapWidth = WholeNumber(fields[2], number, "map width");
        s.mapHeight = WholeNumber(fields[3], number, "map height");
        s.startX = WholeNumber(fields[4], number, "start x");
        s.startY = WholeNumber(fields[5], number, "start y");
        s.goalX = WholeNumber(fields[6], number, "goal x");
        s.goalY = WholeNumber(fields[7], number, "goal y");
        s.optimal = Length(fields[8], number);
        scenarios.push_back(std::move(s));
    }
    if (!versionSeen) {
        Fail(number == 0 ? 1 : number, "the file is empty: expected 'version 1'");
    }
    return scenarios;
}
