#pragma once
// The high-resolution performance counter: a 64-bit count that grows steadily,
// and its count per second.

#include "platform/win_types.h"

BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
