#include <gtest/gtest.h>

#include "ProgressLine.h"

namespace velkor::cli {
namespace {

using std::chrono::seconds;

TEST(ProgressLine, SaysPercentRateAndTimeLeft) {
    EXPECT_EQ(DescribeProgress(50 << 20, 200 << 20, seconds(5)), "25%  10.0 MiB/s  0:15 left");
    EXPECT_EQ(DescribeProgress(3 << 20, 3 << 20, seconds(1)), "100%  3.0 MiB/s  0:00 left");
    // Several passes may read more than the estimate: never past 100%.
    EXPECT_EQ(DescribeProgress(4000, 1000, seconds(1)), "100%  3.9 KiB/s  0:00 left");
    EXPECT_EQ(DescribeProgress(1, 7200, seconds(1)), "0%  1 B/s  1:59:59 left");
}

TEST(ProgressLine, UnknownTotalShowsBytesAndRate) {
    EXPECT_EQ(DescribeProgress(5 << 20, 0, seconds(2)), "5.0 MiB  2.5 MiB/s");
    EXPECT_EQ(DescribeProgress(0, 100, seconds(0)), "0%  0 B/s");
}

}  // namespace
}  // namespace velkor::cli
