#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>

#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "FileSystem.h"
#include "TempDir.h"

namespace velkor {
namespace {

using testing::TempDir;

TEST(FileSystem, NewFilesAreOwnerOnlyAndNeverReplaceOrFollowAName) {
    TempDir dir;
    dir.Write("taken", "first");
    std::filesystem::create_symlink(dir.Path("elsewhere"), dir.Path("dangling"));
    FileSystem& files = FileSystem::Native();
    File file;
    EXPECT_EQ(files.CreateNew(dir.Path("taken"), file), EEXIST);
    EXPECT_EQ(files.CreateNew(dir.Path("dangling"), file), EEXIST);
    EXPECT_FALSE(dir.Exists("elsewhere"));
    EXPECT_EQ(dir.Read("taken"), "first");
    ASSERT_EQ(files.CreateNew(dir.Path("new"), file), 0);
    EXPECT_EQ(files.Close(file), 0);
    EXPECT_EQ(std::filesystem::status(dir.Path("new")).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(FileSystem, SpecialFilesAreRefusedWithoutBlocking) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0600), 0);
    FileSystem& files = FileSystem::Native();
    File file;
    // Without a writer a blocking open would never return.
    EXPECT_EQ(files.OpenRead(dir.Path("fifo"), file), kNotRegularFile);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(files.FileExists(dir.Path("fifo")));
    EXPECT_NE(files.OpenRead("/dev/zero", file), 0);
}

TEST(FileSystem, ResolveDrainWritesThroughALinkButRefusesADanglingOne) {
    TempDir dir;
    dir.Write("target", "t");
    std::filesystem::create_symlink(dir.Path("target"), dir.Path("link"));
    std::filesystem::create_symlink(dir.Path("gone"), dir.Path("dangling"));
    FileSystem& files = FileSystem::Native();
    std::string resolved;
    EXPECT_EQ(files.ResolveDrain(dir.Path("link"), resolved), 0);
    EXPECT_TRUE(files.SameFile(resolved, dir.Path("target")));
    EXPECT_NE(resolved, dir.Path("link"));
    EXPECT_NE(files.ResolveDrain(dir.Path("dangling"), resolved), 0);
    EXPECT_EQ(files.ResolveDrain(dir.Path("plain"), resolved), 0);
    EXPECT_EQ(resolved, dir.Path("plain"));
}

TEST(FileSystem, FoldersAreNotFiles) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path("folder"));
    FileSystem& files = FileSystem::Native();
    EXPECT_FALSE(files.FileExists(dir.Path("folder")));
    File file;
    EXPECT_NE(files.OpenRead(dir.Path("folder"), file), 0);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_NE(files.Remove(dir.Path("folder")), 0);
    EXPECT_TRUE(std::filesystem::exists(dir.Path("folder")));
}

TEST(FileSystem, SameFileSeesThroughLinksAndRelativeNames) {
    TempDir dir;
    dir.Write("file", "x");
    std::filesystem::create_symlink(dir.Path("file"), dir.Path("link"));
    FileSystem& files = FileSystem::Native();
    EXPECT_TRUE(files.SameFile(dir.Path("file"), dir.Path("link")));
    EXPECT_TRUE(files.SameFile(dir.Path("file"), dir.Folder() + "./file"));
    dir.Write("other", "x");
    EXPECT_FALSE(files.SameFile(dir.Path("file"), dir.Path("other")));
    EXPECT_FALSE(files.SameFile(dir.Path("file"), dir.Path("missing")));
}

// Whole aligned blocks of a result may bypass the page cache; blocks at odd
// places, odd tails and reading the result back (a work file) must not care.
TEST(FileSystem, AlignedAndOddWritesOfAResultReadBackWhole) {
    TempDir dir;
    FileSystem& files = FileSystem::Native();
    constexpr std::size_t kBlock = 4096;
    struct Free {
        void operator()(char* memory) const {
            ::operator delete (memory, std::align_val_t{kBlock});
        }
    };
    const std::unique_ptr<char, Free> aligned(
        static_cast<char*>(::operator new (4 * kBlock, std::align_val_t{kBlock})));
    for (std::size_t i = 0; i < 4 * kBlock; ++i) {
        aligned.get()[i] = static_cast<char>('a' + i % 23);
    }
    const std::string_view blocks(aligned.get(), 4 * kBlock);
    const std::vector<std::vector<std::string_view>> cases = {
        {blocks},
        {blocks, blocks.substr(0, 100)},
        {blocks.substr(0, 2 * kBlock), blocks.substr(5, 100), blocks, blocks.substr(0, kBlock)},
        {blocks.substr(1, kBlock), blocks},
    };
    for (std::size_t c = 0; c < cases.size(); ++c) {
        SCOPED_TRACE(c);
        const std::string name = dir.Path("result" + std::to_string(c));
        File file;
        ASSERT_EQ(files.CreateNew(name, file), 0);
        std::string expected;
        for (const auto piece : cases[c]) {
            std::size_t done = 0;
            ASSERT_EQ(files.Write(file, piece.data(), piece.size(), done), 0);
            EXPECT_EQ(done, piece.size());
            expected += piece;
        }
        // Read back into memory that no direct read could take.
        std::string back(expected.size() + 1, '\0');
        std::size_t got = 0;
        ASSERT_EQ(files.Seek(file, 0), 0);
        ASSERT_EQ(files.Read(file, back.data() + 1, expected.size(), got), 0);
        EXPECT_EQ(got, expected.size());
        EXPECT_TRUE(back.substr(1) == expected);
        EXPECT_EQ(files.Sync(file), 0);
        EXPECT_EQ(files.Close(file), 0);
        EXPECT_TRUE(testing::ReadFileBytes(name) == expected);
    }
}

TEST(FileSystem, PathParts) {
    EXPECT_EQ(FolderPart("/a/b/c.txt"), "/a/b/");
    EXPECT_EQ(FileNamePart("/a/b/c.txt"), "c.txt");
    EXPECT_EQ(FolderPart("c.txt"), "");
    EXPECT_EQ(FileNamePart("c.txt"), "c.txt");
}

}  // namespace
}  // namespace velkor
