#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ConvertFixture.h"

namespace velkor::testing {
namespace {

using Op = FaultyFileSystem::Op;

class ConversionDispatch : public ConvertTest {};

TEST_F(ConversionDispatch, DetectsGroupText) {
    const std::string text = GroupFile("2U4B1 H\r\n", 2);
    EXPECT_TRUE(Detect(text));
    EXPECT_FALSE(Detect("     \r\n2U4B1 H\r\n     \r\nGroups: 2\r\n"));
    EXPECT_TRUE(Detect("Dear Sir, see below  / the groups / are here"));
    EXPECT_FALSE(Detect("a;;;;;/b/c"));
    // Nine others against nine symbols and spaces: not less, so encoded again.
    EXPECT_FALSE(Detect(GroupFile("A\r\n", 1)));
    EXPECT_TRUE(Detect(GroupFile("1A\r\n", 1)));
    // Only the first 1024 bytes count.
    EXPECT_FALSE(Detect(std::string(1024, '\n') + text));
    EXPECT_TRUE(Detect(text + std::string(100000, 'x')));
    EXPECT_TRUE(window.Converting);
    EXPECT_TRUE(host.events.empty());
    EXPECT_EQ(window.ProgressBar.maximum, static_cast<std::int64_t>(text.size()) + 100000);
    EXPECT_EQ(window.ProgressBar.position, 0);
}

TEST_F(ConversionDispatch, EmptySourceIsRefused) {
    dir.Write("empty", "");
    dir.Write("drain", "old");
    EXPECT_EQ(Convert("empty", "drain"), ConversionOutcome::Failed);
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"File:\rempty\ris empty!"});
    EXPECT_EQ(host.Sounds(), std::vector<Sound>{Sound::Hand});
    EXPECT_EQ(dir.Read("drain"), "old");
    EXPECT_EQ(window.ModalResult, ConversionSession::kModalOk);
}

TEST_F(ConversionDispatch, UnusableFilesAreReadWriteErrors) {
    std::filesystem::create_directory(dir.Path("folder"));
    dir.Write("src", "some bytes");
    struct Case {
        std::string source;
        std::string drain;
        Op op;
        std::string failing;
    };
    const std::vector<Case> cases = {
        {"folder", "out", Op::Seek, ""},      {"missing", "out", Op::Seek, ""},
        {"src", "folder", Op::Seek, ""},      {"src", "no/such/out", Op::Seek, ""},
        {"src", "out", Op::Read, "src"},      {"src", "out", Op::Size, "src"},
        {"src", "out", Op::CreateNew, "out"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source + " " + c.drain);
        host.events.clear();
        files = FaultyFileSystem();
        if (!c.failing.empty()) {
            files.FailAt(c.op, 1, dir.Path(c.failing));
        }
        EXPECT_EQ(Convert(c.source, c.drain), ConversionOutcome::Failed);
        EXPECT_EQ(host.MessageTexts(),
                  std::vector<std::string>{"File:\r" + c.source + "\rread / write error!"});
        EXPECT_EQ(files.calls[Op::Write], 0);
    }
}

TEST_F(ConversionDispatch, OneFileUnderTwoNamesIsRefused) {
    dir.Write("f", "precious");
    std::filesystem::create_hard_link(dir.Path("f"), dir.Path("link"));
    for (const std::string other : {"f", "link", "./f"}) {
        SCOPED_TRACE(other);
        host.events.clear();
        EXPECT_FALSE(RequestConversion(window, dir.Path("f"), dir.Path(other)));
        EXPECT_FALSE(window.ConvertPending);
        const std::string shown = std::filesystem::path(other).filename().string();
        EXPECT_EQ(host.MessageTexts(),
                  std::vector<std::string>{"Duplicated file names:\r\rSource: f\rDrain: " + shown +
                                           "\r"});
        EXPECT_EQ(host.Sounds(), std::vector<Sound>{Sound::Hand});
    }
    EXPECT_EQ(dir.Read("f"), "precious");
    EXPECT_TRUE(RequestConversion(window, dir.Path("f"), dir.Path("g")));
    EXPECT_TRUE(window.ConvertPending);
}

TEST_F(ConversionDispatch, ProgressBarStopsAtItsMaximum) {
    window.ProgressBar = {90, 100, 1};
    window.AdvanceProgress(5);
    EXPECT_EQ(window.ProgressBar.position, 95);
    window.AdvanceProgress(10);
    EXPECT_EQ(window.ProgressBar.position, 100);
    window.AdvanceProgress(10);
    EXPECT_EQ(window.ProgressBar.position, 100);

    dir.Write("in", RandomBytes(10000, 1));
    ASSERT_EQ(Convert("in", "txt"), ConversionOutcome::Succeeded);
    EXPECT_EQ(window.ProgressBar.position, 10000);
    ASSERT_EQ(Convert("txt", "back"), ConversionOutcome::Succeeded);
    EXPECT_EQ(window.ProgressBar.position, window.ProgressBar.maximum);
    EXPECT_EQ(window.ModalResult, ConversionSession::kModalOk);
    EXPECT_EQ(host.MessageTexts().size(), 2U);
}

}  // namespace
}  // namespace velkor::testing
