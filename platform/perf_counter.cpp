#include "platform/perf_counter.h"

#include <ctime>

// The counter is the monotonic clock in nanoseconds, so the frequency is fixed.
static constexpr LONGLONG NANOSECONDS_PER_SECOND = 1000000000;

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (count == nullptr) {
        return FALSE;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    count->QuadPart = static_cast<LONGLONG>(now.tv_sec) * NANOSECONDS_PER_SECOND + now.tv_nsec;
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (frequency == nullptr) {
        return FALSE;
    }
    frequency->QuadPart = NANOSECONDS_PER_SECOND;
    return TRUE;
}
