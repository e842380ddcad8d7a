#include "tools/cli_options.h"

#include <algorithm>
#include <charconv>

Options::Options(const std::vector<std::string>& args, const std::vector<OptionSpec>& known) {
    for (size_t i = 0; i < args.size(); i++) {
        const std::string& arg = args[i];
        auto option = std::find_if(known.begin(), known.end(),
                                   [&](const OptionSpec& s) { return s.name == arg; });
        if (option == known.end()) {
            throw UsageError(arg.rfind("--", 0) == 0 ? "unknown option " + arg
                                                     : "unexpected argument " + arg);
        }
        if (!option->repeatable && Has(arg)) {
            throw UsageError(arg + " given twice");
        }
        std::string value;
        if (option->takesValue) {
            if (i + 1 >= args.size()) {
                throw UsageError(arg + " needs a value");
            }
            value = args[++i];
        }
        given_.emplace_back(arg, value);
    }
}

bool Options::Has(const std::string& name) const {
    return std::any_of(given_.begin(), given_.end(),
                       [&](const auto& option) { return option.first == name; });
}

const std::string& Options::Value(const std::string& name) const {
    for (const auto& option : given_) {
        if (option.first == name) {
            return option.second;
        }
    }
    throw UsageError(name + " is required");
}

uint32_t ParseNumber(const std::string& text, const std::string& what, uint32_t min, uint32_t max) {
    uint32_t value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < min || value > max) {
        throw UsageError(what + " must be a whole number from " + std::to_string(min) + " to " +
                         std::to_string(max) + ", not '" + text + "'");
    }
    return value;
}

std::pair<uint32_t, uint32_t> ParsePair(const std::string& text, const std::string& what,
                                        uint32_t maxX, uint32_t maxY) {
    size_t comma = text.find(',');
    if (comma == std::string::npos) {
        throw UsageError(what + " must be X,Y, not '" + text + "'");
    }
    return {ParseNumber(text.substr(0, comma), what + " x", 0, maxX),
            ParseNumber(text.substr(comma + 1), what + " y", 0, maxY)};
}
