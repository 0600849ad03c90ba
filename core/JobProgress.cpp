#include "JobProgress.h"

#include <climits>

namespace velkor {

BarRange JobProgress::ToBar() const {
    std::int64_t shownPosition = position < 0 ? 0 : position;
    std::int64_t shownMaximum = maximum < 1 ? 1 : maximum;
    while (shownMaximum > INT_MAX) {
        shownMaximum >>= 1;
        shownPosition >>= 1;
    }
    if (shownPosition > shownMaximum) {
        shownPosition = shownMaximum;
    }
    return {static_cast<int>(shownPosition), static_cast<int>(shownMaximum)};
}

}  // namespace velkor
