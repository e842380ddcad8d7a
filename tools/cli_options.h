#pragma once
// Command-line options of brassel-cli: "--name value" and "--flag" forms, kept
// in the order given, with strict parsing of numbers and cell coordinates.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Bad usage or bad input: brassel-cli prints the message and exits with 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct OptionSpec {
    std::string name; // with its dashes: "--map"
    bool takesValue;
    bool repeatable = false;
};

class Options {
  public:
    // Throws UsageError for an unknown option, a missing value, a repeated
    // option that may appear once, or a stray argument.
    Options(const std::vector<std::string>& args, const std::vector<OptionSpec>& known);

    bool Has(const std::string& name) const;
    // The value of an option given once; throws UsageError when it is absent.
    const std::string& Value(const std::string& name) const;
    // The options in the order given, for commands whose options are a script.
    const std::vector<std::pair<std::string, std::string>>& InOrder() const { return given_; }

  private:
    std::vector<std::pair<std::string, std::string>> given_;
};

// A whole decimal number from min to max; `what` names it in the error.
uint32_t ParseNumber(const std::string& text, const std::string& what, uint32_t min, uint32_t max);
// "X,Y" with X from 0 to maxX and Y from 0 to maxY.
std::pair<uint32_t, uint32_t> ParsePair(const std::string& text, const std::string& what,
                                        uint32_t maxX, uint32_t maxY);
