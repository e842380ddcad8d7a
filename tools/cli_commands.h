#pragma once
// The subcommands of brassel-cli. Each takes the arguments after its name,
// returns the exit code, and throws UsageError for bad usage or input.

#include <string>
#include <vector>

extern const char* const SEARCH_HELP;
extern const char* const GRID_HELP;
extern const char* const SNAP_HELP;
extern const char* const BENCH_HELP;

int RunSearch(const std::vector<std::string>& args);
int RunGrid(const std::vector<std::string>& args);
int RunSnap(const std::vector<std::string>& args);
int RunBench(const std::vector<std::string>& args);
