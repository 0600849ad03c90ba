#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "FaultyFileSystem.h"
#include "ScriptedHost.h"
#include "SymbolAnalysis.h"
#include "TempDir.h"

namespace velkor {
namespace {

using testing::FaultyFileSystem;
using testing::HostEvent;
using testing::ScriptedHost;
using testing::TempDir;
using Op = FaultyFileSystem::Op;

// The lines of a log, checking that every one of them ends in CR LF.
std::vector<std::string> LogLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = bytes.find("\r\n"); end != std::string::npos;
         end = bytes.find("\r\n", start)) {
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, bytes.size()) << "text after the last line end";
    return lines;
}

void ExpectOnlyErrorBox(const ScriptedHost& host, const std::string& text) {
    ASSERT_EQ(host.events.size(), 2u);
    EXPECT_EQ(host.events[0].type, HostEvent::Type::Sound);
    EXPECT_EQ(host.events[0].sound, Sound::Hand);
    EXPECT_EQ(host.events[1].type, HostEvent::Type::Message);
    EXPECT_EQ(host.events[1].kind, MessageKind::Error);
    EXPECT_EQ(host.events[1].buttons, Buttons::Ok);
    EXPECT_EQ(host.events[1].text, text);
}

// A file of zero bytes that lives in memory only; it may report another size
// than it has, as a file changed after its size was taken does.
class ZeroFileSystem : public FileSystem {
  public:
    ZeroFileSystem(std::uint64_t reportedSize, std::uint64_t actualSize)
        : reportedSize_(reportedSize), remaining_(actualSize) {}

    IoResult OpenRead(const std::string& /*name*/, File& file) override {
        // Any regular file will do: the reads below never touch it.
        return FileSystem::OpenRead("/proc/self/exe", file);
    }
    IoResult Size(File& /*file*/, std::int64_t& size) override {
        size = static_cast<std::int64_t>(reportedSize_);
        return 0;
    }
    IoResult Read(File& /*file*/, void* buffer, std::size_t count, std::size_t& done) override {
        done = static_cast<std::size_t>(std::min<std::uint64_t>(count, remaining_));
        std::memset(buffer, 0, done);
        remaining_ -= done;
        return 0;
    }

  private:
    std::uint64_t reportedSize_;
    std::uint64_t remaining_;
};

class SymbolAnalysisTest : public ::testing::Test {
  protected:
    bool Analyse(const std::string& name, FileSystem& fileSystem = FileSystem::Native()) {
        SymbolAnalysis analysis(host, fileSystem);
        return analysis.Run(dir.Path(name));
    }

    TempDir dir;
    ScriptedHost host;
};

TEST_F(SymbolAnalysisTest, OneByteFileGivesTheWorkedExampleLogAndOffersIt) {
    dir.Write("one.bin", "A");
    ASSERT_TRUE(Analyse("one.bin"));

    const std::vector<std::string> lines = LogLines(dir.Read("!one!.txt"));
    ASSERT_EQ(lines.size(), 270u);
    const std::string stars(22, '*');
    EXPECT_EQ(lines[1], stars + "> Velkor32 Log File <" + std::string(36, '*'));
    EXPECT_EQ(lines[1].size(), 79u);
    EXPECT_EQ(lines[4], " -> File Name:  " + dir.Path("one.bin"));
    EXPECT_EQ(lines[6], " -> File Size:  1");
    EXPECT_EQ(lines[10 + 65],
              "   A  ASCII DecCode:   65   Occurrence:         1   Coincidence:  1.00000000");
    for (int value = 0; value < 256; ++value) {
        const std::string& line = lines[10 + static_cast<std::size_t>(value)];
        ASSERT_EQ(line.size(), 4u + 18 + 3 + 16 + 8 + 17 + 10) << value;
        EXPECT_EQ(std::stoi(line.substr(22, 3)), value);
        if (value != 65) {
            EXPECT_EQ(line.substr(41), "       0   Coincidence:  0.00000000") << value;
        }
    }
    EXPECT_EQ(lines[268], stars + "> Velkor32 Log End <" + std::string(37, '*'));
    EXPECT_EQ(lines[268].size(), 79u);
    for (const std::size_t empty : {0, 2, 3, 5, 7, 8, 9, 266, 267, 269}) {
        EXPECT_EQ(lines[empty], "") << "line " << empty + 1;
    }

    ASSERT_EQ(host.events.size(), 2u);
    EXPECT_EQ(host.events[0].sound, Sound::Question);
    EXPECT_EQ(host.events[1].kind, MessageKind::Confirmation);
    EXPECT_EQ(host.events[1].buttons, Buttons::YesNo);
    EXPECT_EQ(host.events[1].text,
              "File: one.bin analysed.\r\rResults written into file:\r!one!.txt\r\rShow results?");
}

TEST_F(SymbolAnalysisTest, SharesOfControlBytesInTheLog) {
    dir.Write("thirds", std::string("\f\0\0", 3));
    dir.Write("halves.dat", std::string(511, 'x') + "y");
    ASSERT_TRUE(Analyse("thirds"));
    ASSERT_TRUE(Analyse("halves.dat"));

    const std::vector<std::string> thirds = LogLines(dir.Read("!!.txt"));
    ASSERT_EQ(thirds.size(), 270u);
    EXPECT_EQ(thirds[10], std::string("   ") + '\0' +
                              "  ASCII DecCode:    0   Occurrence:         2   Coincidence:  "
                              "0.66666667");
    EXPECT_EQ(thirds[22],
              "   \f  ASCII DecCode:   12   Occurrence:         1   Coincidence:  0.33333333");
    EXPECT_EQ(thirds[23],
              " nil  ASCII DecCode:   13   Occurrence:         0   Coincidence:  0.00000000");
    const std::vector<std::string> halves = LogLines(dir.Read("!halves!.txt"));
    ASSERT_EQ(halves.size(), 270u);
    EXPECT_EQ(halves[10 + 'y'].substr(41), "       1   Coincidence:  0.00195313");
}

TEST_F(SymbolAnalysisTest, YesOpensTheLogFromItsFolder) {
    dir.Write("one.bin", "A");
    host.Answers({Answer::Yes});
    ASSERT_TRUE(Analyse("one.bin"));
    ASSERT_EQ(host.events.size(), 3u);
    EXPECT_EQ(host.events[2].type, HostEvent::Type::ShellOpen);
    EXPECT_EQ(host.events[2].text, "!one!.txt");
    EXPECT_EQ(host.events[2].directory, dir.Folder());
}

TEST_F(SymbolAnalysisTest, CancelledOrEmptyChoiceDoesNothing) {
    SymbolAnalysis analysis(host, FileSystem::Native());
    EXPECT_FALSE(analysis.Run(std::nullopt));
    EXPECT_FALSE(analysis.Run(std::string()));
    EXPECT_TRUE(host.events.empty());
}

TEST_F(SymbolAnalysisTest, EmptyFileIsReportedAndGetsNoLog) {
    dir.Write("empty.txt", "");
    EXPECT_FALSE(Analyse("empty.txt"));
    ExpectOnlyErrorBox(host, "File:\rempty.txt\ris empty!");
    EXPECT_FALSE(dir.Exists("!empty!.txt"));
}

TEST_F(SymbolAnalysisTest, FileEmptiedAfterItsSizeWasTakenIsReportedEmpty) {
    ZeroFileSystem shrunk(10, 0);
    EXPECT_FALSE(Analyse("gone.bin", shrunk));
    ExpectOnlyErrorBox(host, "File:\rgone.bin\ris empty!");
    EXPECT_FALSE(dir.Exists("!gone!.txt"));
}

TEST_F(SymbolAnalysisTest, ExistingLogIsReplacedWithoutAsking) {
    dir.Write("one.bin", "A");
    dir.Write("!one!.txt", std::string(50'000, '#'));
    ASSERT_TRUE(Analyse("one.bin"));
    const std::string log = dir.Read("!one!.txt");
    EXPECT_EQ(LogLines(log).size(), 270u);
    EXPECT_LT(log.size(), 50'000u);
    EXPECT_EQ(host.Messages().size(), 1u);
}

TEST_F(SymbolAnalysisTest, LongPathsAreKeptWhole) {
    const std::string folder = dir.Path(std::string(60, 'f') + "/" + std::string(60, 'g'));
    std::filesystem::create_directories(folder);
    const std::string source = folder + "/data.bin";
    testing::WriteFileBytes(source, "xy");
    ASSERT_TRUE(SymbolAnalysis(host, FileSystem::Native()).Run(source));
    const std::vector<std::string> lines = LogLines(testing::ReadFileBytes(folder + "/!data!.txt"));
    ASSERT_EQ(lines.size(), 270u);
    EXPECT_EQ(lines[4], " -> File Name:  " + source);
}

TEST_F(SymbolAnalysisTest, EveryFileFailureIsReportedOnce) {
    struct Case {
        Op op;
        int occurrence;
        bool onLog;
        std::string text;
    };
    const std::vector<Case> cases = {
        {Op::OpenRead, 1, false, "File:\rdata.bin\rread error!"},
        {Op::Size, 1, false, "File:\rdata.bin\rread error!"},
        {Op::Read, 2, false, "File:\rdata.bin\rread error!"},
        {Op::Close, 1, false, "File:\rdata.bin\rread error!"},
        {Op::CreateNew, 1, true, "File:\r!data!.txt\rwrite error!"},
        {Op::Write, 1, true, "File:\r!data!.txt\rwrite error!"},
        {Op::ShortWrite, 1, true, "File:\r!data!.txt\rwrite error!"},
        {Op::Close, 1, true, "File:\r!data!.txt\rwrite error!"},
    };
    dir.Write("data.bin", std::string(5000, 'd'));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + " at " + std::to_string(static_cast<int>(c.op)));
        std::filesystem::remove(dir.Path("!data!.txt"));
        ScriptedHost faultHost;
        FaultyFileSystem fileSystem;
        fileSystem.FailAt(c.op, c.occurrence, dir.Path(c.onLog ? "!data!.txt" : "data.bin"));
        EXPECT_FALSE(SymbolAnalysis(faultHost, fileSystem).Run(dir.Path("data.bin")));
        ExpectOnlyErrorBox(faultHost, c.text);
        // No log, and nothing half-written beside it.
        EXPECT_FALSE(dir.Exists("!data!.txt"));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Folder()),
                                std::filesystem::directory_iterator()),
                  1);
    }
}

TEST_F(SymbolAnalysisTest, ALogThatFailedLeavesTheOldOneAsItWas) {
    dir.Write("data.bin", "abc");
    dir.Write("!data!.txt", "older log");
    for (const Op op : {Op::ShortWrite, Op::Sync, Op::Replace}) {
        FaultyFileSystem fileSystem;
        fileSystem.FailAt(op, 1, dir.Path("!data!.txt"), ENOSPC);
        EXPECT_FALSE(Analyse("data.bin", fileSystem));
        EXPECT_EQ(dir.Read("!data!.txt"), "older log");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Folder()),
                                std::filesystem::directory_iterator()),
                  2);
    }
}

TEST_F(SymbolAnalysisTest, LogNeverLandsOnTheSourceOrAFolder) {
    dir.Write("a.bin", "keep me");
    std::filesystem::create_directory(dir.Path("!a!.txt"));
    EXPECT_FALSE(Analyse("a.bin"));
    ExpectOnlyErrorBox(host, "File:\r!a!.txt\rwrite error!");
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path("!a!.txt")));

    std::filesystem::remove(dir.Path("!a!.txt"));
    std::filesystem::create_hard_link(dir.Path("a.bin"), dir.Path("!a!.txt"));
    dir.Write("b.bin", "keep me too");
    std::filesystem::create_symlink(dir.Path("b.bin"), dir.Path("!b!.txt"));
    for (const std::string name : {"a.bin", "b.bin"}) {
        ScriptedHost linkHost;
        EXPECT_FALSE(SymbolAnalysis(linkHost, FileSystem::Native()).Run(dir.Path(name)));
        ExpectOnlyErrorBox(linkHost, "File:\r!" + name.substr(0, 1) + "!.txt\rwrite error!");
    }
    EXPECT_EQ(dir.Read("a.bin"), "keep me");
    EXPECT_EQ(dir.Read("b.bin"), "keep me too");
}

TEST_F(SymbolAnalysisTest, MessagesAreLetThroughWhileCountingAndTerminationStopsSilently) {
    const std::size_t block = SymbolAnalysis::kBlockSize;
    dir.Write("blocks.bin", std::string(3 * block + 1, 'b'));
    ScriptedHost counting;
    ASSERT_TRUE(SymbolAnalysis(counting, FileSystem::Native(), std::chrono::nanoseconds(0))
                    .Run(dir.Path("blocks.bin")));
    EXPECT_GE(counting.processCalls, 4);

    ScriptedHost closing;
    closing.onProcess = [&closing] { closing.stop = StopReason::Terminating; };
    std::filesystem::remove(dir.Path("!blocks!.txt"));
    EXPECT_FALSE(SymbolAnalysis(closing, FileSystem::Native(), std::chrono::nanoseconds(0))
                     .Run(dir.Path("blocks.bin")));
    EXPECT_EQ(closing.processCalls, 1);
    EXPECT_TRUE(closing.events.empty());
    EXPECT_FALSE(dir.Exists("!blocks!.txt"));
}

// A block is read while the one before is still being counted: every block
// of a different byte shows whether one was read over before its count.
TEST_F(SymbolAnalysisTest, EveryBlockIsCountedAsItWasRead) {
    constexpr int kBlocks = 24;
    std::string bytes;
    for (int block = 1; block <= kBlocks; ++block) {
        bytes.append(SymbolAnalysis::kBlockSize, static_cast<char>(block));
    }
    dir.Write("blocks.bin", bytes);
    ASSERT_TRUE(Analyse("blocks.bin"));
    const std::vector<std::string> lines = LogLines(dir.Read("!blocks!.txt"));
    ASSERT_EQ(lines.size(), 270u);
    for (int value = 0; value <= kBlocks + 1; ++value) {
        const std::string& line = lines[10 + static_cast<std::size_t>(value)];
        const auto occurrence = std::stoull(line.substr(line.find("Occurrence:") + 11));
        EXPECT_EQ(occurrence, value == 0 || value > kBlocks ? 0 : SymbolAnalysis::kBlockSize)
            << value;
    }
}

TEST_F(SymbolAnalysisTest, CountsFilesBeyond2GiBIn64Bits) {
    const std::uint64_t size = (std::uint64_t{1} << 31) + 5;
    ZeroFileSystem huge(size, size);
    ASSERT_TRUE(Analyse("huge.img", huge));
    const std::vector<std::string> lines = LogLines(dir.Read("!huge!.txt"));
    ASSERT_EQ(lines.size(), 270u);
    EXPECT_EQ(lines[6], " -> File Size:  2147483653");
    EXPECT_EQ(lines[10].substr(4),
              "  ASCII DecCode:    0   Occurrence:  2147483653   Coincidence:  1.00000000");
}

}  // namespace
}  // namespace velkor
