#pragma once
// Monotonic time in milliseconds. C++20's <chrono> holds a literal that code
// page 932 cannot represent, so code compiled for 932 reaches the clock here.
#include <cstdint>

std::int64_t MonotonicMilliseconds();
void SleepMilliseconds(std::int64_t milliseconds);
