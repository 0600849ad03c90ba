#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BufferedWriter.h"
#include "ConvertFixture.h"

namespace velkor::testing {
namespace {

using Op = FaultyFileSystem::Op;

class GroupDecoding : public ConvertTest {
  protected:
    void ExpectOnlyMessage(const std::string& text, MessageKind kind, const std::string& caption) {
        const auto messages = host.Messages();
        ASSERT_EQ(messages.size(), 1U);
        EXPECT_EQ(messages[0].text, text);
        EXPECT_EQ(messages[0].kind, kind);
        EXPECT_EQ(messages[0].caption, caption);
        EXPECT_EQ(host.Sounds(), std::vector<Sound>{Sound::Hand});
        EXPECT_EQ(window.Outcome, ConversionOutcome::Failed);
    }
};

TEST_F(GroupDecoding, LenientReading) {
    struct Case {
        std::string text;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        // "Hi!" is the bytes 72, 105 and 33.
        {GroupFile("2U4B1 H\r\n", 2), "Hi!"},
        {"/////\r\n2u4b1 h\r\n/////\r\nGroups: 2\r\n", "Hi!"},
        {"/////\n2U4B\n1H\n/////\nGroups: 9\n", "Hi!"},
        {"/////ABC/////", std::string("\0\x01\x02", 3)},
        {"a/b/c", "\x01"},
        {"XYZ /////\r\n\tB\r\n  C/", std::string("\x01\x02")},
        {"/////2A3/////", "4"},
        {"/////9WXYZ9V/", std::string("\0\x01\x02\x03\xff", 5)},
        {"/////A\tB:C@[D\x80\xe1\r\n\r\nE/", std::string("\0\x01\x02\x03\x04", 5)},
        {"///\r\n/AB/", ""},
        {"hello\rthere /\r/\rAB/", ""},
        {"//\rAB\r/", std::string("\0\x01", 2)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        host.events.clear();
        EXPECT_EQ(Decode(c.text), c.bytes);
        EXPECT_EQ(window.Outcome, ConversionOutcome::Succeeded);
    }
}

TEST_F(GroupDecoding, SuccessAsksToOpenTheDrain) {
    Decode("/////ABC/////");
    ASSERT_EQ(host.Messages().size(), 1U);
    EXPECT_EQ(host.Messages()[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(host.Messages()[0].text, dir.Path("in") + "\rgroups resolved in file\r" +
                                           dir.Path("out") + "\r\rOpen " + dir.Path("out") + "?");
    EXPECT_EQ(host.Sounds(), std::vector<Sound>{Sound::Question});
}

TEST_F(GroupDecoding, MissingStartMarker) {
    for (const std::string text : {"ABCDE FGHIJ", "ABC\x1a/////A/", ""}) {
        SCOPED_TRACE(text);
        host.events.clear();
        EXPECT_EQ(Decode(text), "");
        EXPECT_FALSE(dir.Exists("out"));
        ExpectOnlyMessage("Start sequence ///// not found!", MessageKind::Plain, "Error");
    }
}

TEST_F(GroupDecoding, MissingEndMarkerKeepsTheBytes) {
    for (const std::string text :
         {"/////\r\nABC\r\n", "x/////ABC\x1a/", "/////ABC", "AB\r\n/////"}) {
        SCOPED_TRACE(text);
        host.events.clear();
        const std::string bytes = Decode(text);
        EXPECT_TRUE(bytes.empty() || bytes == std::string("\0\x01\x02", 3));
        ExpectOnlyMessage("End sequence ///// not found!", MessageKind::Plain, "Error");
    }
}

// The report follows how far the scan got when the fault struck.
TEST_F(GroupDecoding, FileErrors) {
    // Bytes for more than three writer buffers.
    const std::string text =
        "/////" + std::string(3 * BufferedWriter::kCapacity + 3000, 'B') + "/////";
    struct Case {
        Op op;
        int occurrence;
        std::string name;
        std::string message;
    };
    const std::vector<Case> cases = {
        {Op::OpenRead, 1, "in", "Start sequence ///// not found!"},
        {Op::CreateNew, 1, "out", "Start sequence ///// not found!"},
        {Op::Read, 1, "in", "Start sequence ///// not found!"},
        {Op::Read, 2, "in", "End sequence ///// not found!"},
        {Op::Write, 1, "out", "End sequence ///// not found!"},
        {Op::Write, 4, "out", "File:\rin\rconvert error!"},
        {Op::ShortWrite, 4, "out", "File:\rin\rconvert error!"},
        {Op::Close, 1, "in", "File:\rin\rconvert error!"},
        {Op::Close, 1, "out", "File:\rin\rconvert error!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message + std::to_string(c.occurrence));
        host.events.clear();
        files = FaultyFileSystem();
        files.FailAt(c.op, c.occurrence, dir.Path(c.name));
        Decode(text);
        ASSERT_EQ(host.Messages().size(), 1U);
        EXPECT_EQ(host.Messages()[0].text, c.message);
        EXPECT_EQ(host.Sounds(), std::vector<Sound>{Sound::Hand});
    }
}

// Abort is seen at the end of a line, or within one long line after a block.
TEST_F(GroupDecoding, AbortLeavesNoDrain) {
    std::string lines;
    for (int i = 0; i < 20000; ++i) {
        lines += "ABCDE FGHIJ\r\n";
    }
    for (const std::string& text :
         {"/////\r\n" + lines + "/////\r\n", "/////" + std::string(2000000, 'C') + "/"}) {
        host.events.clear();
        window.ModalResult = ConversionSession::kNoResult;
        host.onProcess = [this] { window.ModalResult = ConversionSession::kModalCancel; };
        dir.Write("in", text);
        ASSERT_EQ(Convert("in", "out"), ConversionOutcome::Aborted);
        EXPECT_FALSE(dir.Exists("out"));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Folder()),
                                std::filesystem::directory_iterator()),
                  1);
        EXPECT_EQ(host.MessageTexts(),
                  std::vector<std::string>{"File conversion halted due to user abortion!"});
    }
}

}  // namespace
}  // namespace velkor::testing
