// The straight-line test between two cells: the segment is sampled at evenly
// spaced parameter values in single precision and every sample is rounded to a
// cell. The exact float sequence decides which cells are tested, so each
// operation below is written out and the build forbids fused multiply-adds.

#include <cstdlib>

#include "search/grid_search.h"

int32_t GridSearch::RoundToCell(float v) {
    int32_t r = static_cast<int32_t>(v);
    float f = v - static_cast<float>(r);
    return f < 0.5f ? r : r + 1;
}

bool GridSearch::LineOfSight(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    int32_t dx = std::abs(x1 - x2);
    int32_t dy = std::abs(y1 - y2);

    // One sample when both cells are the same: the first cell itself. Taking it
    // here keeps the step below from dividing by zero.
    if (dx + dy == 0) {
        return (Cells[x1][y1] & CELL_BLOCKED) == 0;
    }

    // The segment is cut into dx + dy intervals, so each interval moves the
    // sample by at most one cell along each axis.
    float step = 1.0f / (static_cast<float>(dx) + static_cast<float>(dy));
    float t = 0.0f;
    while (t <= 1.0f) {
        float a = 1.0f - t;
        float sx = a * static_cast<float>(x1) + static_cast<float>(x2) * t;
        float sy = a * static_cast<float>(y1) + static_cast<float>(y2) * t;
        // The parameter moves on before the sample is tested; when the
        // accumulated sum passes 1 early, the second cell is never sampled.
        t = t + step;
        if ((Cells[RoundToCell(sx)][RoundToCell(sy)] & CELL_BLOCKED) != 0) {
            return false;
        }
    }
    return true;
}
