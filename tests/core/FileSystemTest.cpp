#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "FileSystem.h"
#include "TempDir.h"

namespace velkor {
namespace {

using testing::TempDir;

TEST(FileSystem, RenameRefusesAnExistingTarget) {
    TempDir dir;
    dir.Write("a", "first");
    dir.Write("b", "second");
    FileSystem& files = FileSystem::Native();
    EXPECT_NE(files.Rename(dir.Path("a"), dir.Path("b")), 0);
    EXPECT_EQ(dir.Read("b"), "second");
    EXPECT_EQ(files.Rename(dir.Path("a"), dir.Path("c")), 0);
    EXPECT_EQ(dir.Read("c"), "first");
    EXPECT_FALSE(dir.Exists("a"));
}

TEST(FileSystem, RenameMovesAcrossFileSystems) {
    TempDir dir;
    const std::string other = "/dev/shm/velkor-rename-test";
    std::error_code error;
    std::filesystem::remove(other, error);
    testing::WriteFileBytes(other, std::string(100000, 'm'));
    struct stat a {};
    struct stat b {};
    if (::stat(other.c_str(), &a) != 0 || ::stat(dir.Folder().c_str(), &b) != 0 ||
        a.st_dev == b.st_dev) {
        std::filesystem::remove(other, error);
        GTEST_SKIP() << "no second file system here";
    }
    EXPECT_EQ(FileSystem::Native().Rename(other, dir.Path("moved")), 0);
    EXPECT_EQ(dir.Read("moved"), std::string(100000, 'm'));
    EXPECT_FALSE(std::filesystem::exists(other));
}

TEST(FileSystem, FoldersAreNotFiles) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path("folder"));
    FileSystem& files = FileSystem::Native();
    EXPECT_FALSE(files.FileExists(dir.Path("folder")));
    File file;
    EXPECT_NE(files.OpenRead(dir.Path("folder"), file), 0);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_NE(files.Erase(dir.Path("folder")), 0);
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

TEST(FileSystem, PathParts) {
    EXPECT_EQ(FolderPart("/a/b/c.txt"), "/a/b/");
    EXPECT_EQ(FileNamePart("/a/b/c.txt"), "c.txt");
    EXPECT_EQ(FolderPart("c.txt"), "");
    EXPECT_EQ(FileNamePart("c.txt"), "c.txt");
}

}  // namespace
}  // namespace velkor
