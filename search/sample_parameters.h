#pragma once
// The parameter values at which the line-of-sight walk samples a segment cut
// into n intervals: t0 = 0 and t(k+1) = t(k) + 1/n, each sum rounded to single
// precision, for as long as t(k) <= 1. They depend on n alone, so they are
// worked out once for every n the grid can need and looked up afterwards.

#include <cstdint>
#include <vector>

// The largest n: the sum of the axis distances between two cells of the grid.
constexpr uint32_t MAX_SAMPLE_INTERVALS = 800 + 600;

// Works the tables out; the search object calls it when it is made, so no
// search ever allocates them.
void PrepareSampleParameters();
// The table of n intervals, 1 <= n <= MAX_SAMPLE_INTERVALS.
const std::vector<float>& SampleParameters(uint32_t n);
