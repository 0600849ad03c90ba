#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BufferedWriter.h"
#include "ConvertFixture.h"

namespace velkor::testing {
namespace {

using Op = FaultyFileSystem::Op;

class GroupEncoding : public ConvertTest {};

TEST_F(GroupEncoding, WorkedExamples) {
    const std::string fullLine = "AAAAA AAAAA AAAAA AAAAA AAAAA AAAAA AAAAA AAAAA AAAAA AAAAA\r\n";
    struct Case {
        std::string bytes;
        std::string file;
    };
    const std::vector<Case> cases = {
        // The bytes 72, 105 and 33.
        {"Hi!", GroupFile("2U4B1 H\r\n", 2)},
        {std::string(10, '\0'), GroupFile("AAAAA AAAAA \r\n", 2)},
        {std::string(1, '\0'), GroupFile("A\r\n", 1)},
        {"\x1a", GroupFile("1A\r\n", 1)},
        {"\xff", GroupFile("9V\r\n", 1)},
        {std::string("\0\x1a\0\x1a", 4), GroupFile("A1A0A 1A\r\n", 2)},
        {std::string(50, '\0'), GroupFile(fullLine, 10)},
        {std::string(51, '\0'), GroupFile(fullLine + "A\r\n", 11)},
        {std::string(55, '\0'), GroupFile(fullLine + "AAAAA \r\n", 11)},
        {"\xea\xfe\xff\x19", GroupFile("9AUV0 Z\r\n", 2)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(Encode(c.bytes), c.file);
    }
    EXPECT_EQ(std::string(fullLine).size(), 61U);
}

TEST_F(GroupEncoding, SuccessAsksToOpenTheDrain) {
    host.Answers({Answer::Yes});
    Encode("abc");
    const auto messages = host.Messages();
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(messages[0].text, dir.Path("in") + "\rgroups formed in file\r" + dir.Path("out") +
                                    "\r\rOpen " + dir.Path("out") + "?");
    EXPECT_EQ(host.Sounds(), std::vector<Sound>{Sound::Question});
    ASSERT_EQ(host.events.back().type, HostEvent::Type::ShellOpen);
    EXPECT_EQ(host.events.back().text, "out");
    EXPECT_EQ(host.events.back().directory, dir.Folder());
    EXPECT_EQ(window.Outcome, ConversionOutcome::Succeeded);
}

// Every failing file operation gives the one error box naming the source, and
// the drain keeps no end marker.
TEST_F(GroupEncoding, FileErrorsReportConvertError) {
    // Text of more than four writer buffers.
    const std::string source = RandomBytes(2 * BufferedWriter::kCapacity, 7);
    struct Case {
        Op op;
        int occurrence;
        std::string name;
    };
    const std::vector<Case> cases = {
        {Op::OpenRead, 1, "in"}, {Op::CreateNew, 1, "out"},  {Op::Read, 1, "in"},
        {Op::Read, 2, "in"},     {Op::Write, 1, "out"},      {Op::Write, 3, "out"},
        {Op::Close, 1, "in"},    {Op::ShortWrite, 2, "out"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.op) * 10 + c.occurrence);
        host.events.clear();
        files = FaultyFileSystem();
        files.FailAt(c.op, c.occurrence, dir.Path(c.name));
        const std::string drain = Encode(source);
        EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"File:\rin\rconvert error!"});
        EXPECT_EQ(host.Sounds(), std::vector<Sound>{Sound::Hand});
        EXPECT_EQ(drain.find("Groups:"), std::string::npos);
        EXPECT_EQ(window.Outcome, ConversionOutcome::Failed);
    }
}

TEST_F(GroupEncoding, FailedCloseOfTheDrainIsAnError) {
    files.FailAt(Op::Close, 1, dir.Path("out"));
    Encode("abc");
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"File:\rin\rconvert error!"});
}

// Abort takes effect at the end of the block being encoded; the drain keeps
// the groups so far, with neither end marker nor count line.
TEST_F(GroupEncoding, AbortKeepsTheOldDrainAndReportsOnClose) {
    const std::string source = RandomBytes(300000, 3);
    host.events.clear();
    dir.Write("in", source);
    dir.Write("out", "old drain");
    host.onProcess = [this] { window.ModalResult = ConversionSession::kModalAbort; };
    ASSERT_EQ(Convert("in", "out"), ConversionOutcome::Aborted);
    EXPECT_EQ(dir.Read("out"), "old drain");
    EXPECT_EQ(host.MessageTexts(),
              std::vector<std::string>{"File conversion halted due to user abortion!"});
    EXPECT_EQ(host.Sounds(), std::vector<Sound>{Sound::Hand});
}

TEST_F(GroupEncoding, ApplicationEndingStopsLikeAbort) {
    dir.Write("in", RandomBytes(300000, 4));
    host.onProcess = [this] { host.stop = StopReason::Terminating; };
    EXPECT_EQ(Convert("in", "out"), ConversionOutcome::Aborted);
    EXPECT_EQ(host.MessageTexts(),
              std::vector<std::string>{"File conversion halted due to user abortion!"});
}

}  // namespace
}  // namespace velkor::testing
