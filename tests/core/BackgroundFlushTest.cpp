#include "BackgroundFlush.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

#include "TempDir.h"

namespace velkor {
namespace {

TEST(BackgroundFlush, AFailureIsKeptForTheLastFlush) {
    testing::TempDir dir;
    dir.Write("data", "bytes");
    const int fd = ::open(dir.Path("data").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    BackgroundFlush flush;
    EXPECT_EQ(flush.Wait(), 0);
    flush.Start(fd);
    EXPECT_EQ(flush.Wait(), 0);
    // The system reports a write-back error to one flush only.
    flush.Start(-1);
    flush.Start(fd);
    EXPECT_EQ(flush.Wait(), EBADF);
    flush.Start(fd);
    EXPECT_EQ(flush.Wait(), EBADF);
    BackgroundFlush moved;
    moved = std::move(flush);
    EXPECT_EQ(moved.Wait(), EBADF);
    ::close(fd);
}

}  // namespace
}  // namespace velkor
