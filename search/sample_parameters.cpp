#include "search/sample_parameters.h"

namespace {

std::vector<std::vector<float>>& Tables() {
    static std::vector<std::vector<float>> tables;
    return tables;
}

} // namespace

void PrepareSampleParameters() {
    std::vector<std::vector<float>>& tables = Tables();
    if (!tables.empty()) {
        return;
    }
    tables.resize(MAX_SAMPLE_INTERVALS + 1);
    for (uint32_t n = 1; n <= MAX_SAMPLE_INTERVALS; n++) {
        // The same single-precision steps the walk takes, so every value is
        // bit for bit the one the walk would reach.
        const float step = 1.0f / static_cast<float>(n);
        std::vector<float>& table = tables[n];
        table.reserve(n + 1);
        for (float t = 0.0f; t <= 1.0f; t = t + step) {
            table.push_back(t);
        }
    }
}

const std::vector<float>& SampleParameters(uint32_t n) {
    return Tables()[n];
}
