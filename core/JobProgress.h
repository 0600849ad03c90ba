#pragma once

#include <cstdint>

namespace velkor {

// A progress bar's position and range in the int a widget takes.
struct BarRange {
    int position = 0;
    int maximum = 1;
};

// Byte progress of a job: 64-bit, as files and counts are.
struct JobProgress {
    std::int64_t position = 0;
    std::int64_t maximum = 100;
    std::int64_t step = 1;

    // Position and maximum shifted right together until they fit an int: the
    // proportion stays and nothing overflows. Never a zero maximum, which a
    // bar would show as busy.
    BarRange ToBar() const;
};

}  // namespace velkor
