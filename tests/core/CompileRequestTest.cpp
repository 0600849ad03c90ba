#include <gtest/gtest.h>

#include "CompileRequest.h"
#include "FaultyFileSystem.h"
#include "ScriptedHost.h"
#include "TempDir.h"

namespace velkor {
namespace {

using testing::ScriptedHost;
using testing::TempDir;

// The main window's fields as the checks see them, with a record of what
// they asked the window to do.
struct FakeForm : CompileRequestForm {
    std::string key = "abcdef";
    std::string keyFile;
    std::string source;
    std::string drain;
    bool confirmed = false;
    std::vector<std::string> actions;

    std::size_t RequestKeyLength() const override { return key.size(); }
    std::string RequestKeyFileName() const override { return keyFile; }
    std::string RequestSourceFileName() const override { return source; }
    std::string RequestDrainFileName() const override { return drain; }
    bool& RequestDrainConfirmed() override { return confirmed; }
    void ClearField(RequestField field) override {
        (field == RequestField::Key       ? key
         : field == RequestField::KeyFile ? keyFile
         : field == RequestField::Source  ? source
                                          : drain)
            .clear();
        actions.push_back("clear " + Name(field));
    }
    void FocusField(RequestField field) override { actions.push_back("focus " + Name(field)); }
    static std::string Name(RequestField field) {
        switch (field) {
            case RequestField::Key:
                return "key";
            case RequestField::KeyFile:
                return "keyfile";
            case RequestField::Source:
                return "source";
            default:
                return "drain";
        }
    }
};

class CompileRequestTest : public ::testing::Test {
  protected:
    CompileRequestTest() {
        dir.Write("source.txt", "data");
        form.source = dir.Path("source.txt");
        form.drain = dir.Path("drain.bin");
    }
    bool Check() { return checks.CheckCompileRequest(form); }

    TempDir dir;
    ScriptedHost host;
    testing::FaultyFileSystem files;
    CompileRequestChecks checks{host, files};
    FakeForm form;
};

TEST_F(CompileRequestTest, AllValidPasses) {
    EXPECT_TRUE(Check());
    EXPECT_TRUE(host.events.empty());
    EXPECT_TRUE(form.confirmed);
    EXPECT_FALSE(dir.Exists("drain.bin"));
}

TEST_F(CompileRequestTest, KeyLengthIsCheckedFirst) {
    for (const std::string& key : {std::string(), std::string("abcde"), std::string(129, 'k')}) {
        host.events.clear();
        form.key = key;
        form.source.clear();
        EXPECT_FALSE(Check());
        ASSERT_EQ(host.Messages().size(), 1U);
        EXPECT_EQ(host.Messages()[0].kind, MessageKind::Warning);
        EXPECT_EQ(host.Messages()[0].text,
                  "Key must be:\r - Longer than 6 characters.\r - Shorter than 129 characters.");
        EXPECT_EQ(host.Sounds(), std::vector<Sound>{Sound::Exclamation});
        EXPECT_EQ(form.actions.back(), "clear key");
    }
    form.key = std::string(128, 'k');
    form.source = dir.Path("source.txt");
    EXPECT_TRUE(Check());
}

TEST_F(CompileRequestTest, KeyFileConflicts) {
    dir.Write("DATA.TXT", "key");
    std::filesystem::create_directory(dir.Path("other"));
    dir.Write("other/data.txt", "source");
    form.keyFile = dir.Path("DATA.TXT");
    form.source = dir.Path("other/data.txt");
    EXPECT_FALSE(Check());
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"File conflict:\rDATA.TXT"});
    EXPECT_EQ(host.Messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(host.Sounds(), std::vector<Sound>{Sound::Hand});
    EXPECT_EQ(form.actions, std::vector<std::string>{"clear keyfile"});

    host.events.clear();
    form.keyFile = dir.Path("missing.key");
    form.source = dir.Path("source.txt");
    EXPECT_FALSE(Check());
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"File conflict:\rmissing.key"});
}

TEST_F(CompileRequestTest, SameFileUnderAnotherNameIsAConflict) {
    std::filesystem::create_symlink(dir.Path("source.txt"), dir.Path("link.key"));
    form.keyFile = dir.Path("link.key");
    EXPECT_FALSE(Check());
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"File conflict:\rlink.key"});

    host.events.clear();
    form.keyFile.clear();
    std::filesystem::create_symlink(dir.Path("source.txt"), dir.Path("drain.out"));
    form.drain = dir.Path("drain.out");
    EXPECT_FALSE(Check());
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"File conflict:\rsource.txt"});
    EXPECT_EQ(dir.Read("source.txt"), "data");
}

TEST_F(CompileRequestTest, SourceChecks) {
    form.source.clear();
    EXPECT_FALSE(Check());
    EXPECT_TRUE(host.events.empty());
    EXPECT_EQ(form.actions, std::vector<std::string>{"clear source"});

    form.actions.clear();
    form.source = dir.Path("source.txt");
    form.drain = dir.Path("sub/SOURCE.TXT");
    EXPECT_FALSE(Check());
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"File conflict:\rsource.txt"});
    EXPECT_EQ(form.actions, std::vector<std::string>{"clear source"});
}

TEST_F(CompileRequestTest, EmptyDrainStopsSilently) {
    form.drain.clear();
    form.confirmed = true;
    EXPECT_FALSE(Check());
    EXPECT_TRUE(host.events.empty());
    EXPECT_FALSE(form.confirmed);
    EXPECT_EQ(form.actions, std::vector<std::string>{"clear drain"});
}

TEST_F(CompileRequestTest, OverwriteQuestionAnswers) {
    dir.Write("drain.bin", "old");
    const std::string question = "File:\rdrain.bin\ralready exists. Overwrite?";

    host.Answers({Answer::No});
    EXPECT_FALSE(Check());
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{question});
    EXPECT_EQ(host.Messages()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(host.Sounds(), std::vector<Sound>{Sound::Question});
    EXPECT_EQ(form.actions, std::vector<std::string>{"clear drain"});
    EXPECT_FALSE(form.confirmed);

    form.drain = dir.Path("drain.bin");
    form.actions.clear();
    host.events.clear();
    host.Answers({Answer::Closed});
    EXPECT_FALSE(Check());
    EXPECT_EQ(form.actions, std::vector<std::string>{"focus drain"});
    EXPECT_EQ(form.drain, dir.Path("drain.bin"));

    host.events.clear();
    host.Answers({Answer::Yes});
    EXPECT_TRUE(Check());
    // The probe leaves the old drain in place.
    EXPECT_EQ(dir.Read("drain.bin"), "old");

    host.events.clear();
    EXPECT_TRUE(Check());  // already confirmed: no second question
    EXPECT_TRUE(host.events.empty());
}

TEST_F(CompileRequestTest, UnwritableDrain) {
    form.drain = dir.Path("no/such/folder/drain.bin");
    EXPECT_FALSE(Check());
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"File:\rdrain.bin\rwrite error!"});
    EXPECT_EQ(form.actions, std::vector<std::string>{"clear drain"});
}

TEST_F(CompileRequestTest, WriteProbeKeepsAnExistingDrainEvenWhenRefusedLater) {
    dir.Write("drain.bin", "precious");
    dir.Write("empty.txt", "");
    form.source = dir.Path("empty.txt");
    form.confirmed = true;
    EXPECT_FALSE(Check());
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"File:\rempty.txt\ris empty!"});
    EXPECT_EQ(dir.Read("drain.bin"), "precious");
}

TEST_F(CompileRequestTest, EmptyKeyFileAndSourceBothReported) {
    dir.Write("key", "");
    dir.Write("empty.txt", "");
    form.keyFile = dir.Path("key");
    form.source = dir.Path("empty.txt");
    EXPECT_FALSE(Check());
    EXPECT_EQ(host.MessageTexts(),
              (std::vector<std::string>{"File:\rkey\ris empty!", "File:\rempty.txt\ris empty!"}));
    EXPECT_EQ(form.actions, (std::vector<std::string>{"clear keyfile", "clear source"}));
    EXPECT_FALSE(checks.ReportReadErrors);
}

TEST_F(CompileRequestTest, ReadErrorIsReportedOncePerRun) {
    files.FailAt(testing::FaultyFileSystem::Op::OpenRead, 1, dir.Path("source.txt"));
    EXPECT_FALSE(Check());
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"File:\rsource.txt\rread error!"});
    EXPECT_FALSE(checks.ReportReadErrors);

    host.events.clear();
    form.source = dir.Path("source.txt");
    files.FailAt(testing::FaultyFileSystem::Op::OpenRead, 2, dir.Path("source.txt"));
    EXPECT_TRUE(Check());  // the engine reports it from here on
    EXPECT_TRUE(host.events.empty());
}

// Permission bits stop nothing for root: these run as an unprivileged user.
TEST_F(CompileRequestTest, UnprivilegedReadOnlySourcePasses) {
    std::filesystem::permissions(dir.Path("source.txt"), std::filesystem::perms::owner_read);
    EXPECT_TRUE(Check());
}

TEST_F(CompileRequestTest, UnprivilegedWriteProtectedDrainOrFolderIsRefusedUntouched) {
    namespace fs = std::filesystem;
    dir.Write("drain.bin", "precious");
    fs::permissions(dir.Path("drain.bin"), fs::perms::owner_read);
    form.drain = dir.Path("drain.bin");
    form.confirmed = true;
    EXPECT_FALSE(Check());
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"File:\rdrain.bin\rwrite error!"});

    host.events.clear();
    fs::create_directory(dir.Path("locked"));
    fs::permissions(dir.Path("locked"), fs::perms::owner_read | fs::perms::owner_exec);
    form.drain = dir.Path("locked/new.bin");
    form.confirmed = true;
    EXPECT_FALSE(Check());
    fs::permissions(dir.Path("locked"), fs::perms::owner_all);
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"File:\rnew.bin\rwrite error!"});
    EXPECT_TRUE(fs::is_empty(dir.Path("locked")));
    EXPECT_EQ(dir.Read("drain.bin"), "precious");
}

TEST(UpperCaseName, ChangesAsciiLettersOnly) {
    EXPECT_EQ(UpperCaseName("a/b\xe4z.txt"), "A/B\xe4Z.TXT");
}

}  // namespace
}  // namespace velkor
