// brassel-cli: the workbench's code run headless, for scripts. Errors go to
// standard error: exit code 2 for bad usage or input, 1 for failures.

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "tools/cli_commands.h"
#include "tools/cli_options.h"

namespace {

struct Command {
    const char* name;
    const char* summary;
    const char* const* help;
    int (*run)(const std::vector<std::string>&);
};

const Command COMMANDS[] = {
    {"search", "run searches on a map and print one JSON object per search", &SEARCH_HELP,
     RunSearch},
    {"grid", "print the occupancy grid as a grid map file", &GRID_HELP, RunGrid},
    {"snap", "run the workbench headless on scripted input and save the last frame", &SNAP_HELP,
     RunSnap},
    {"bench", "run a grid benchmark scenario file and print speed and path quality", &BENCH_HELP,
     RunBench},
};

void PrintUsage(FILE* out) {
    std::fprintf(out, "usage: brassel-cli COMMAND [OPTIONS]   (brassel-cli COMMAND --help)\n\n");
    for (const Command& command : COMMANDS) {
        std::fprintf(out, "  %-8s %s\n", command.name, command.summary);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    for (const Command& command : COMMANDS) {
        if (std::strcmp(argv[1], command.name) != 0) {
            continue;
        }
        if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
            std::fputs(*command.help, stdout);
            return 0;
        }
        try {
            return command.run(args);
        } catch (const UsageError& error) {
            std::fprintf(stderr, "brassel-cli %s: %s\n", command.name, error.what());
            return 2;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "brassel-cli %s: %s\n", command.name, error.what());
            return 1;
        }
    }
    std::fprintf(stderr, "brassel-cli: unknown command '%s'\n", argv[1]);
    PrintUsage(stderr);
    return 2;
}
