#pragma once
// The state a headless brassel-cli command works in: the device the map loader
// needs, the switches at their start-up values, and the map loaded into the
// program's one search object.

#include <string>

#include "search/grid_search.h"
#include "tools/cli_options.h"

class CliSession {
  public:
    // Makes the device; throws std::runtime_error when it cannot be had.
    CliSession();
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // Loads a map bitmap, or a grid map file (".map"), placed at the top-left,
    // at the current CellSize. Throws UsageError when it cannot be read.
    void LoadMapFile(const std::string& path);
};

// The cell size, weight and switch options shared by the search commands:
// --cell N, --weight W, --straight, --filter. Call it after making the session,
// which puts the switches at their start-up values.
void ApplySearchOptions(const Options& options);

// The status word of a search's outcome in the JSON lines: found, no_path,
// pool_exhausted, or blocked for a refused search.
const char* OutcomeWord(SearchOutcome outcome);
