#pragma once
// A console reporter for benchmarks that run every case twice, once with the
// fast open list and once with the reference scan, named ".../fast" and
// ".../reference". It prints the usual table, then one line per pair with the
// fast time, the reference time and their ratio, all from the same run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    // Colours only on a terminal, so that saved output stays plain text.
    RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

    // Keeps the CPU time of every case: the median when repetitions are asked
    // for, since other work on the machine makes single runs noisy.
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred || (run.run_type != Run::RT_Iteration && !median)) {
                continue;
            }
            const double ms =
                run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e3;
            std::string name = run.run_name.function_name;
            const std::string fast = "/fast";
            const std::string reference = "/reference";
            if (name.ends_with(fast)) {
                Pairs[name.substr(0, name.size() - fast.size())].first = ms;
            } else if (name.ends_with(reference)) {
                Pairs[name.substr(0, name.size() - reference.size())].second = ms;
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        if (Pairs.empty()) {
            return;
        }
        std::printf("\n%-52s %12s %12s %8s\n", "case (CPU time)", "fast ms", "reference ms",
                    "ratio");
        for (const auto& [name, times] : Pairs) {
            const double ratio = times.first > 0 ? times.second / times.first : 0;
            std::printf("%-52s %12.3f %12.3f %8.1f\n", name.c_str(), times.first, times.second,
                        ratio);
        }
    }

  private:
    std::map<std::string, std::pair<double, double>> Pairs;
};

// Runs the registered benchmarks with the ratio table after them: the body of
// every pairwise benchmark's main. Returns the exit code.
inline int RunBenchmarksWithRatios(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
