#include "BufferedWriter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "FaultyFileSystem.h"
#include "TempDir.h"

namespace velkor {
namespace {

using testing::FaultyFileSystem;
using Op = FaultyFileSystem::Op;

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>('a' + (i * 7 + i / 251) % 26);
    }
    return bytes;
}

// Buffers are written on a second thread: a failure is still noted, and
// nothing written after it, whichever buffer it strikes.
TEST(BufferedWriter, AFailedWriteStopsTheWritingAndIsNoted) {
    const std::string bytes = Pattern(5 * BufferedWriter::kCapacity + 123);
    for (int failing = 0; failing <= 6; ++failing) {
        SCOPED_TRACE(failing);
        testing::TempDir dir;
        FaultyFileSystem files;
        if (failing > 0) {
            files.FailAt(Op::Write, failing, {}, ENOSPC);
        }
        File file;
        ASSERT_EQ(files.CreateNew(dir.Path("out"), file), 0);
        FileError error;
        {
            BufferedWriter writer(files, file, {error, FileRole::Drain, "out"});
            for (std::size_t at = 0; at < bytes.size(); at += 4000) {
                writer.Put(std::string_view(bytes).substr(at, 4000));
            }
            writer.Flush();
        }
        ASSERT_EQ(files.Close(file), 0);
        const std::string written = dir.Read("out");
        // Compared whole, not printed: a megabyte of text helps nobody.
        if (failing == 0) {
            EXPECT_FALSE(error.Failed());
            EXPECT_EQ(written.size(), bytes.size());
            EXPECT_TRUE(written == bytes);
        } else {
            EXPECT_EQ(error.number, ENOSPC);
            EXPECT_EQ(error.role, FileRole::Drain);
            EXPECT_EQ(error.name, "out");
            const std::size_t before = (failing - 1) * BufferedWriter::kCapacity;
            EXPECT_EQ(written.size(), before);
            EXPECT_TRUE(written == bytes.substr(0, before));
            EXPECT_EQ(files.calls[Op::Write], failing);
        }
    }
}

// Reservations of any size leave less than a block over at each write; what
// is left over starts the next buffer.
TEST(BufferedWriter, OddReservationsArriveWhole) {
    const std::string bytes = Pattern(3 * BufferedWriter::kCapacity + 777);
    testing::TempDir dir;
    FileSystem files;
    File file;
    ASSERT_EQ(files.CreateNew(dir.Path("out"), file), 0);
    FileError error;
    {
        BufferedWriter writer(files, file, {error, FileRole::Drain, "out"});
        std::size_t at = 0;
        for (std::size_t step = 1; at < bytes.size(); step = step * 7 % 5003) {
            const std::size_t count = std::min(step, bytes.size() - at);
            char* room = writer.Reserve(count);
            std::copy_n(bytes.data() + at, count, room);
            writer.Commit(room + count);
            at += count;
        }
        writer.Flush();
    }
    ASSERT_EQ(files.Close(file), 0);
    EXPECT_FALSE(error.Failed());
    const std::string written = dir.Read("out");
    EXPECT_EQ(written.size(), bytes.size());
    EXPECT_TRUE(written == bytes);
}

}  // namespace
}  // namespace velkor
