// The straight-line test between two cells: the segment is sampled at evenly
// spaced parameter values in single precision and every sample is rounded to a
// cell. The exact float sequence decides which cells are tested, so each
// operation below is written out and the build forbids fused multiply-adds.
// The result is only whether some sampled cell is blocked, so the samples may
// be tested in any order.

#include <cstdlib>

#include "search/grid_search.h"
#include "search/sample_parameters.h"

int32_t GridSearch::RoundToCell(float v) {
    int32_t r = static_cast<int32_t>(v);
    float f = v - static_cast<float>(r);
    return f < 0.5f ? r : r + 1;
}

bool GridSearch::LineOfSight(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    int32_t dx = std::abs(x1 - x2);
    int32_t dy = std::abs(y1 - y2);

    // One sample when both cells are the same: the first cell itself. Taking it
    // here keeps the step from dividing by zero.
    if (dx + dy == 0) {
        return (Cells[x1][y1] & CELL_BLOCKED) == 0;
    }

    // The segment is cut into dx + dy intervals, so each interval moves the
    // sample by at most one cell along each axis. The parameter values are
    // the walk's own accumulated sums, looked up (sample_parameters.h); when
    // the sum passes 1 early, the second cell is never sampled.
    const std::vector<float>& parameters = SampleParameters(static_cast<uint32_t>(dx + dy));
    const float fx1 = static_cast<float>(x1);
    const float fy1 = static_cast<float>(y1);
    const float fx2 = static_cast<float>(x2);
    const float fy2 = static_cast<float>(y2);
    auto sampleBlocked = [&](float t) {
        float a = 1.0f - t;
        float sx = a * fx1 + fx2 * t;
        float sy = a * fy1 + fy2 * t;
        return (Cells[RoundToCell(sx)][RoundToCell(sy)] & CELL_BLOCKED) != 0;
    };

    // The answer is whether any sample is blocked, whatever the order they are
    // tested in. Obstacles span many samples, so a first pass over every
    // SAMPLE_STRIDE-th sample meets one after a fraction of the walk; the
    // passes after it test the samples in between.
    constexpr size_t SAMPLE_STRIDE = 16;
    const size_t count = parameters.size();
    for (size_t first = 0; first < SAMPLE_STRIDE && first < count; first++) {
        for (size_t k = first; k < count; k += SAMPLE_STRIDE) {
            if (sampleBlocked(parameters[k])) {
                return false;
            }
        }
    }
    return true;
}
