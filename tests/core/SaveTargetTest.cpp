#include "SaveTarget.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "TempDir.h"

namespace velkor {
namespace {

namespace fs = std::filesystem;

class SaveTargetTest : public ::testing::Test {
  protected:
    SaveTarget Classify(const std::string& name) {
        return ClassifySaveTarget(FileSystem::Native(), dir.Path(name));
    }
    testing::TempDir dir;
};

TEST_F(SaveTargetTest, NamesAreSortedAsTheSaveDialogTreatsThem) {
    dir.Write("old.txt", "x");
    fs::create_directory(dir.Path("sub"));
    fs::create_symlink(dir.Path("gone"), dir.Path("dangling"));
    ASSERT_EQ(::mkfifo(dir.Path("pipe").c_str(), 0600), 0);
    EXPECT_EQ(Classify("sub"), SaveTarget::Folder);
    EXPECT_EQ(Classify("missing/new.txt"), SaveTarget::MissingFolder);
    // A file where a folder should be is no folder either.
    EXPECT_EQ(Classify("old.txt/new.txt"), SaveTarget::MissingFolder);
    EXPECT_EQ(Classify("new.txt"), SaveTarget::New);
    EXPECT_EQ(Classify("old.txt"), SaveTarget::Existing);
    // Taken names that are no file: replaced only with consent, then refused by the job.
    EXPECT_EQ(Classify("dangling"), SaveTarget::Existing);
    EXPECT_EQ(Classify("pipe"), SaveTarget::Existing);
}

// Permission bits stop nothing for root: this runs as an unprivileged user.
TEST_F(SaveTargetTest, UnprivilegedReadOnlyFileIsWriteProtected) {
    dir.Write("old.txt", "x");
    fs::permissions(dir.Path("old.txt"), fs::perms::owner_read);
    EXPECT_EQ(Classify("old.txt"), SaveTarget::WriteProtected);
}

}  // namespace
}  // namespace velkor
