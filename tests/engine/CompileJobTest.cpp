#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <deque>
#include <filesystem>
#include <random>
#include <set>

#include "BufferedWriter.h"
#include "CompileJob.h"
#include "FaultyFileSystem.h"
#include "KnownAnswers.h"
#include "LiteralModel.h"
#include "ScriptedHost.h"
#include "TempDir.h"
#include "TestPaths.h"

namespace velkor {
namespace {

using testing::FaultyFileSystem;
using testing::ScriptedHost;
using testing::TempDir;
using Op = FaultyFileSystem::Op;
using Bytes = std::vector<std::uint8_t>;

const std::string kVectors = std::string(VELKOR_TEST_DATA_DIR) + "/vectors";

// The compiler window without a screen: records how often it was closed.
class RecordingWindow : public CompileSession {
  public:
    using CompileSession::CompileSession;
    bool CloseRequested() const override { return closeRequested; }
    int closed = 0;
    bool closeRequested = false;
    std::vector<std::int64_t> positions;

  protected:
    void CloseWindow() override { ++closed; }
    void ProgressChanged() override { positions.push_back(Progress.position); }
};

std::string AsText(const Bytes& bytes) {
    return {bytes.begin(), bytes.end()};
}

SecretBytes Secret(const std::string& text) {
    return {text.begin(), text.end()};
}

// Names in the test folder: nothing of a job may stay behind.
std::set<std::string> Names(const TempDir& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Folder())) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class CompileJobTest : public ::testing::Test {
  protected:
    // Runs a job; header lengths come from `headers` (n of each pass), then at random.
    void Run(bool encrypt, const std::string& source, const std::string& drain,
             const std::string& keyFile = {}, std::deque<int> headers = {}) {
        settings.EncryptMode = encrypt;
        settings.SourceFileName = dir.Path(source);
        settings.DrainFileName = dir.Path(drain);
        settings.KeyFileName = keyFile.empty() ? std::string() : dir.Path(keyFile);
        window.CompilePending = true;
        auto random = std::make_shared<std::mt19937>(7);
        JobServices services{files,
                             [headers, random]() mutable {
                                 if (headers.empty()) {
                                     return static_cast<int>((*random)() & 0xFF);
                                 }
                                 const int n = headers.front();
                                 headers.pop_front();
                                 return 256 - n;
                             },
                             std::chrono::nanoseconds(0), passesPerGroup};
        CompileJob(window, settings, services);
    }

    void RoundTrip(const Bytes& plain, const Bytes& keyFile) {
        dir.Write("plain", AsText(plain));
        std::string key;
        if (!keyFile.empty()) {
            dir.Write("key", AsText(keyFile));
            key = "key";
        }
        Run(true, "plain", "cipher", key);
        ASSERT_EQ(window.closed, 1) << "encryption did not finish";
        Run(false, "cipher", "back", key);
        ASSERT_EQ(window.closed, 2) << "decryption did not finish";
        EXPECT_EQ(dir.Read("back"), AsText(plain));
    }

    TempDir dir;
    ScriptedHost host;
    FaultyFileSystem files;
    RecordingWindow window{host};
    CompileSettings settings = [] {
        CompileSettings s;
        s.Key = Secret("SecretKey");
        return s;
    }();
    std::size_t passesPerGroup = 512;
};

TEST_F(CompileJobTest, ReproducesKnownAnswerFiles) {
    for (const auto& c : testing::LoadCipherCases(kVectors + "/cipher")) {
        SCOPED_TRACE(c.name);
        dir.Write("plain", AsText(c.plain));
        dir.Write("cipher.expected", AsText(c.cipher));
        if (c.hasKeyFile) {
            dir.Write("key", AsText(c.keyFile));
        }
        settings.Key.assign(c.key.begin(), c.key.end());
        settings.KeyExtension = static_cast<std::uint8_t>(c.extension);
        settings.Swift = c.swift;
        Run(true, "plain", "cipher", c.hasKeyFile ? "key" : "",
            {c.headerLengths.begin(), c.headerLengths.end()});
        EXPECT_EQ(dir.Read("cipher"), AsText(c.cipher));
        Run(false, "cipher.expected", "back", c.hasKeyFile ? "key" : "");
        EXPECT_EQ(dir.Read("back"), AsText(c.decrypted));
    }
}

TEST_F(CompileJobTest, RoundTripsAcrossSizesKeyFilesAndModes) {
    std::mt19937 random(99);
    for (const bool swift : {true, false}) {
        for (const std::size_t size : {0, 1, 4095, 4096, 4097, 100000}) {
            for (const std::size_t keySize : {0, 1, 256, 257, 700}) {
                SCOPED_TRACE(::testing::Message()
                             << "swift " << swift << " size " << size << " key " << keySize);
                Bytes plain(size);
                Bytes keyFile(keySize);
                for (auto& b : plain)
                    b = static_cast<std::uint8_t>(random());
                for (auto& b : keyFile)
                    b = static_cast<std::uint8_t>(random());
                settings.Swift = swift;
                window.closed = 0;
                RoundTrip(plain, keyFile);
            }
        }
    }
}

TEST_F(CompileJobTest, MatchesTheLiteralModelWithKeyFilesAndExtensions) {
    std::mt19937 random(5);
    for (int round = 0; round < 13; ++round) {
        // The last round chains enough passes, on inputs long enough, for the
        // vector path with the narrower vectors of long chains.
        const bool longChain = round == 12;
        Bytes plain(longChain ? 20000 : random() % 3000);
        Bytes keyFile(longChain ? 2600 : 1 + random() % 600);
        for (auto& b : plain)
            b = static_cast<std::uint8_t>(random());
        for (auto& b : keyFile)
            b = static_cast<std::uint8_t>(random());
        settings.Swift = round % 2 == 0;
        settings.KeyExtension = static_cast<std::uint8_t>(round % 3 == 0 ? 0 : random() % 256);
        std::vector<int> headers;
        for (std::size_t pass = 0; pass <= (keyFile.size() + 255) / 256; ++pass) {
            headers.push_back(14 + static_cast<int>(random() % 243));
        }
        dir.Write("plain", AsText(plain));
        dir.Write("key", AsText(keyFile));
        Run(true, "plain", "cipher", "key", {headers.begin(), headers.end()});
        const Bytes key(settings.Key.begin(), settings.Key.end());
        const Bytes expected = literal::EncryptJob(key, settings.KeyExtension, settings.Swift,
                                                   keyFile, plain, headers);
        // A redrawn header length would show as a different file.
        ASSERT_EQ(dir.Read("cipher"), AsText(expected)) << round;
    }
}

TEST_F(CompileJobTest, HeaderOfFourteenAndOf256Bytes) {
    dir.Write("plain", "some text");
    Run(true, "plain", "short", "", {14});
    Run(true, "plain", "long", "", {256});
    EXPECT_EQ(dir.Read("short").size(), 9U + 14U);
    EXPECT_EQ(dir.Read("long").size(), 9U + 256U);
    Run(false, "long", "back");
    EXPECT_EQ(dir.Read("back"), "some text");
}

TEST_F(CompileJobTest, HeaderLengthIsRedrawnWhenTheFirstByteWouldPassForHeader) {
    const Bytes key(settings.Key.begin(), settings.Key.end());
    const auto material = literal::PreparedPass(key, 0, true);
    // With n = 20 the header would be followed by a byte equal to ExpandedKey[21].
    const std::string plain = std::string(1, static_cast<char>(material.ExpandedKey[21])) + "rest";
    dir.Write("plain", plain);
    Run(true, "plain", "cipher", "", {20, 30});
    EXPECT_EQ(dir.Read("cipher").size(), plain.size() + 30);
    Run(false, "cipher", "back");
    EXPECT_EQ(dir.Read("back"), plain);
}

TEST_F(CompileJobTest, ReportsSuccessOfEncryptionAndOffersToOpenDecryptedFile) {
    dir.Write("plain", "hello");
    Run(true, "plain", "cipher");
    ASSERT_EQ(host.Messages().size(), 1U);
    EXPECT_EQ(host.Messages()[0].kind, MessageKind::Information);
    EXPECT_EQ(host.Messages()[0].text,
              dir.Path("plain") + "\r\rcompiled to\r\r" + dir.Path("cipher"));
    EXPECT_EQ(host.Sounds(),
              (std::vector<Sound>{Sound::SimpleBeep, Sound::Default, Sound::SimpleBeep}));
    EXPECT_EQ(window.closed, 1);

    host.events.clear();
    host.Answers({Answer::Yes});
    Run(false, "cipher", "back");
    ASSERT_EQ(host.Messages().size(), 1U);
    EXPECT_EQ(host.Messages()[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(host.Messages()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(host.Messages()[0].text, dir.Path("cipher") + "\rcompiled to\r" + dir.Path("back") +
                                           "\r\rOpen " + dir.Path("back") + "?");
    EXPECT_EQ(host.Sounds()[1], Sound::Question);
    EXPECT_EQ(host.events.back().type, testing::HostEvent::Type::Sound);
    const auto opened = host.events[host.events.size() - 2];
    EXPECT_EQ(opened.type, testing::HostEvent::Type::ShellOpen);
    EXPECT_EQ(opened.text, "back");
    EXPECT_EQ(opened.directory, dir.Folder());
    EXPECT_EQ(window.closed, 2);
}

TEST_F(CompileJobTest, ClosingTheSuccessBoxOtherwiseKeepsTheWindow) {
    dir.Write("plain", "hello");
    host.Answers({Answer::Closed});
    Run(true, "plain", "cipher");
    EXPECT_EQ(window.closed, 0);
    EXPECT_FALSE(window.Compiling);
}

TEST_F(CompileJobTest, KeyFileJobReadsTheSourceOnceAndReplacesTheDrainOnce) {
    dir.Write("plain", std::string(5000, 'x'));
    dir.Write("key", std::string(700, 'k'));
    Run(true, "plain", "cipher", "key");
    EXPECT_EQ(files.replaced.size(), 1U);
    EXPECT_EQ(files.replaced.at(0).second, dir.Path("cipher"));
    EXPECT_EQ(files.calls[Op::CreateNew], 1);  // the result only: no work file
    files.replaced.clear();
    Run(false, "cipher", "back", "key");
    EXPECT_EQ(files.replaced.size(), 1U);
    EXPECT_EQ(dir.Read("back"), std::string(5000, 'x'));
    EXPECT_EQ(Names(dir), (std::set<std::string>{"back", "cipher", "key", "plain"}));
}

TEST_F(CompileJobTest, LongKeyFilesSpoolThroughPrivateNumberedWorkFiles) {
    dir.Write("plain", std::string(20000, 'x'));
    dir.Write("key", std::string(1500, 'k'));  // 7 passes
    dir.Write("VELKOR.VLK", "keep me");
    std::filesystem::create_symlink(dir.Path("target-of-link"), dir.Path("1VELKOR.VLK"));
    passesPerGroup = 2;
    std::vector<std::string> created;
    files.beforeCreate = [&](const std::string& name) { created.push_back(FileNamePart(name)); };
    Run(true, "plain", "cipher", "key");
    ASSERT_EQ(window.closed, 1);
    // Taken names, a dangling link among them, are passed over, never followed.
    EXPECT_NE(std::find(created.begin(), created.end(), "2VELKOR.VLK"), created.end());
    EXPECT_FALSE(dir.Exists("target-of-link"));
    EXPECT_EQ(dir.Read("VELKOR.VLK"), "keep me");
    passesPerGroup = 512;
    Run(false, "cipher", "back", "key");
    EXPECT_EQ(dir.Read("back"), std::string(20000, 'x'));
    EXPECT_EQ(Names(dir), (std::set<std::string>{"1VELKOR.VLK", "VELKOR.VLK", "back", "cipher",
                                                 "key", "plain"}));
}

TEST_F(CompileJobTest, ChainedGroupsGiveTheSameFileAsOneGroup) {
    dir.Write("plain", std::string(9000, 'c'));
    dir.Write("key", std::string(1100, 'q'));
    const std::deque<int> headers = {20, 30, 40, 50, 60, 70};
    Run(true, "plain", "whole", "key", headers);
    passesPerGroup = 2;
    Run(true, "plain", "grouped", "key", headers);
    EXPECT_EQ(dir.Read("grouped"), dir.Read("whole"));
    Run(false, "grouped", "back", "key");
    EXPECT_EQ(dir.Read("back"), std::string(9000, 'c'));
}

TEST_F(CompileJobTest, ProgressBarFollowsTheWholeJob) {
    dir.Write("plain", std::string(1000000, 'd'));
    dir.Write("key", std::string(1000, 'k'));
    Run(true, "plain", "cipher", "key");
    EXPECT_EQ(window.Progress.maximum, 1000);
    EXPECT_EQ(window.Progress.step, 256);
    ASSERT_GE(window.positions.size(), 3U);
    EXPECT_EQ(window.positions.front(), 0);
    EXPECT_EQ(window.positions.back(), 1000);
    EXPECT_TRUE(std::is_sorted(window.positions.begin(), window.positions.end()));
    EXPECT_TRUE(std::any_of(window.positions.begin(), window.positions.end(),
                            [](std::int64_t p) { return p > 0 && p < 1000; }));

    dir.Write("small", std::string(100, 'k'));
    Run(true, "plain", "cipher2", "small");
    EXPECT_EQ(window.Progress.step, 100);
}

TEST_F(CompileJobTest, WrongKeyStopsTheJobInsteadOfReportingSuccess) {
    dir.Write("plain", std::string(3000, 'p'));
    Run(true, "plain", "cipher");
    host.events.clear();
    window.closed = 0;
    settings.Key = Secret("OtherKey");
    Run(false, "cipher", "back");
    EXPECT_EQ(host.MessageTexts(),
              std::vector<std::string>{"File:\r" + dir.Path("cipher") + "\rkey does not match!"});
    EXPECT_EQ(host.Messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(host.Sounds().at(1), Sound::Hand);
    EXPECT_EQ(window.closed, 1);
    EXPECT_FALSE(dir.Exists("back"));

    // An existing drain stays as it was.
    dir.Write("back", "old drain");
    Run(false, "cipher", "back");
    EXPECT_EQ(dir.Read("back"), "old drain");
    EXPECT_EQ(Names(dir), (std::set<std::string>{"back", "cipher", "plain"}));
}

TEST_F(CompileJobTest, FileTooShortForAHeaderIsNotThisKeys) {
    dir.Write("tiny", "abc");
    Run(false, "tiny", "back");
    EXPECT_EQ(host.MessageTexts(),
              std::vector<std::string>{"File:\r" + dir.Path("tiny") + "\rkey does not match!"});
}

TEST_F(CompileJobTest, CloseButtonStopsThePassAndKeepsOnlyWhatWasTransformed) {
    dir.Write("plain", std::string(5000000, 'q'));
    int rounds = 0;
    host.onProcess = [&] {
        if (++rounds == 3) {
            window.Exit();
        }
    };
    Run(true, "plain", "cipher", "", {20});
    ASSERT_EQ(host.Messages().size(), 1U);
    EXPECT_EQ(host.Messages()[0].text,
              "Velkor32 Compiler interruption!\r\rFile: " + dir.Path("plain") +
                  "\rcompiler I/O error.\rFile: " + dir.Path("cipher") + "\rnot complete.");
    EXPECT_EQ(host.Sounds().at(1), Sound::Exclamation);
    // Nothing of the stopped job is left.
    EXPECT_EQ(Names(dir), (std::set<std::string>{"plain"}));
    EXPECT_EQ(window.closed, 1);
}

TEST_F(CompileJobTest, ClosingTheWindowReportsTheInterruptionOnce) {
    dir.Write("plain", std::string(100000, 'q'));
    host.onProcess = [&] { window.closeRequested = true; };
    Run(true, "plain", "cipher");
    EXPECT_EQ(
        host.MessageTexts(),
        std::vector<std::string>{"Velkor32 Compiler interruption!\r\rOperation not complete.\r"});
    EXPECT_TRUE(window.CompileAborted);
    EXPECT_EQ(host.Sounds().at(1), Sound::Exclamation);
}

TEST_F(CompileJobTest, TerminatingApplicationStopsTheJob) {
    dir.Write("plain", std::string(10000, 'q'));
    host.stop = StopReason::Terminating;
    Run(true, "plain", "cipher");
    ASSERT_EQ(host.Messages().size(), 1U);
    EXPECT_NE(host.Messages()[0].text.find("compiler I/O error."), std::string::npos);
}

struct FaultCase {
    const char* what;
    Op op;
    int occurrence;
    const char* file;  // the file the fault is made on
    bool encrypt;
    const char* message;  // name shown, then the error word
};

TEST_F(CompileJobTest, EveryFileErrorHasItsMessage) {
    const std::vector<FaultCase> cases = {
        {"key file open", Op::OpenRead, 1, "key", true, "key\rread error!"},
        {"source open", Op::OpenRead, 1, "plain", true, "plain\rread error!"},
        {"result create", Op::CreateNew, 1, "out", true, "out\rwrite error!"},
        {"key block read", Op::Read, 1, "key", true, "key\rread error!"},
        {"key block read (decrypt)", Op::Read, 1, "key", false, "key\rread error!"},
        {"key seek (decrypt)", Op::Seek, 1, "key", false, "key\rread error!"},
        {"result flush", Op::Sync, 1, "out", true, "out\rwrite error!"},
        {"result close", Op::Close, 1, "out", false, "out\rwrite error!"},
        {"result permissions", Op::CopyMode, 1, "out", true, "out\rwrite error!"},
        {"result rename", Op::Replace, 1, "out", true, "out\rwrite error!"},
    };
    dir.Write("plain", "plain text of the test");
    dir.Write("key", std::string(300, 'k'));
    // A file encrypted with the key file, for the decryption cases.
    Run(true, "plain", "enc", "key");
    dir.Write("out", "old drain");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        host.events.clear();
        window.closed = 0;
        files = FaultyFileSystem();
        files.FailAt(c.op, c.occurrence, dir.Path(c.file));
        Run(c.encrypt, c.encrypt ? "plain" : "enc", "out", "key");
        const auto texts = host.MessageTexts();
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts[0], "File:\r" + dir.Path(c.message));
        EXPECT_EQ(host.Messages()[0].kind, MessageKind::Error);
        EXPECT_EQ(window.closed, 1);
        EXPECT_FALSE(window.Compiling);
        EXPECT_EQ(dir.Read("plain"), "plain text of the test");
        EXPECT_EQ(dir.Read("out"), "old drain");
        EXPECT_EQ(Names(dir), (std::set<std::string>{"enc", "key", "out", "plain"}));
    }
}

TEST_F(CompileJobTest, PassErrorsReportAnIncompleteJob) {
    dir.Write("plain", std::string(9000, 'z'));
    dir.Write("out", "old drain");
    const std::vector<std::pair<Op, int>> faults = {
        {Op::Read, 1}, {Op::Read, 2}, {Op::Write, 1}, {Op::ShortWrite, 1}};
    for (const auto& [op, occurrence] : faults) {
        host.events.clear();
        files = FaultyFileSystem();
        files.FailAt(op, occurrence, {}, ENOSPC);
        Run(true, "plain", "out");
        ASSERT_EQ(host.Messages().size(), 1U);
        EXPECT_NE(host.Messages()[0].text.find("compiler I/O error."), std::string::npos);
        EXPECT_EQ(dir.Read("plain"), std::string(9000, 'z'));
        EXPECT_EQ(dir.Read("out"), "old drain");
        EXPECT_EQ(Names(dir), (std::set<std::string>{"out", "plain"}));
    }
}

TEST_F(CompileJobTest, KeyFileMissingStopsBeforeSourceAndDrainAreTouched) {
    dir.Write("plain", "p");
    dir.Write("out", "old drain");
    Run(true, "plain", "out", "missing");
    EXPECT_EQ(host.MessageTexts()[0], "File:\r" + dir.Path("missing") + "\rread error!");
    EXPECT_EQ(dir.Read("out"), "old drain");
    EXPECT_EQ(host.Sounds()[0], Sound::Hand);
}

// Permission bits stop nothing for root: these run as an unprivileged user.
TEST_F(CompileJobTest, UnprivilegedReadOnlySourceAndKeyFileAreRead) {
    namespace fs = std::filesystem;
    dir.Write("plain", "read only");
    dir.Write("key", std::string(300, 'k'));
    fs::permissions(dir.Path("plain"), fs::perms::owner_read);
    fs::permissions(dir.Path("key"), fs::perms::owner_read);
    Run(true, "plain", "cipher", "key");
    EXPECT_EQ(window.closed, 1);
    Run(false, "cipher", "back", "key");
    EXPECT_EQ(dir.Read("back"), "read only");
}

TEST_F(CompileJobTest, UnprivilegedUnwritableFolderKeepsTheDrain) {
    namespace fs = std::filesystem;
    dir.Write("plain", "p");
    fs::create_directory(dir.Path("locked"));
    dir.Write("locked/out", "old drain");
    fs::permissions(dir.Path("locked"), fs::perms::owner_read | fs::perms::owner_exec);
    Run(true, "plain", "locked/out");
    fs::permissions(dir.Path("locked"), fs::perms::owner_all);
    EXPECT_EQ(host.MessageTexts().at(0), "File:\r" + dir.Path("locked/out") + "\rwrite error!");
    EXPECT_EQ(dir.Read("locked/out"), "old drain");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path("locked")), fs::directory_iterator()),
              1);
}

TEST_F(CompileJobTest, FailuresAtEveryWriteFlushAndRenameKeepTheOldDrain) {
    // A result of more than four writes.
    dir.Write("plain", std::string(3 * BufferedWriter::kCapacity + 1000, 'w'));
    dir.Write("key", std::string(300, 'k'));
    for (const IoResult error : {ENOSPC, EIO}) {
        for (const Op op : {Op::Write, Op::ShortWrite, Op::Sync, Op::Replace}) {
            for (int occurrence = 1; occurrence <= (op == Op::Write ? 4 : 1); ++occurrence) {
                SCOPED_TRACE(::testing::Message() << static_cast<int>(op) << " " << occurrence);
                dir.Write("out", "old drain");
                host.events.clear();
                files = FaultyFileSystem();
                files.FailAt(op, occurrence, dir.Path("out"), error);
                Run(true, "plain", "out", "key");
                EXPECT_FALSE(host.MessageTexts().empty());
                EXPECT_TRUE(dir.Read("out") == "old drain");
                EXPECT_EQ(Names(dir), (std::set<std::string>{"key", "out", "plain"}));
            }
        }
    }
}

TEST_F(CompileJobTest, TwoJobsInOneFolderEachGetTheirOwnResult) {
    dir.Write("a", std::string(30000, 'a'));
    dir.Write("b", std::string(20000, 'b'));
    dir.Write("key", std::string(1200, 'k'));
    passesPerGroup = 2;
    // The second job starts while the first one is making its files.
    bool started = false;
    ScriptedHost otherHost;
    RecordingWindow other{otherHost};
    files.beforeCreate = [&](const std::string& /*name*/) {
        if (started) {
            return;
        }
        started = true;
        CompileSettings second;
        second.Key = Secret("OtherSecret");
        second.EncryptMode = true;
        second.SourceFileName = dir.Path("b");
        second.DrainFileName = dir.Path("b.vlk");
        second.KeyFileName = dir.Path("key");
        other.CompilePending = true;
        CompileJob(other, second, JobServices{files, {}, std::chrono::nanoseconds(0), 2});
    };
    Run(true, "a", "a.vlk", "key");
    files.beforeCreate = nullptr;
    ASSERT_EQ(window.closed, 1);
    ASSERT_EQ(other.closed, 1);
    Run(false, "a.vlk", "a.back", "key");
    EXPECT_EQ(dir.Read("a.back"), std::string(30000, 'a'));
    settings.Key = Secret("OtherSecret");
    Run(false, "b.vlk", "b.back", "key");
    EXPECT_EQ(dir.Read("b.back"), std::string(20000, 'b'));
    EXPECT_EQ(Names(dir),
              (std::set<std::string>{"a", "a.back", "a.vlk", "b", "b.back", "b.vlk", "key"}));
}

TEST_F(CompileJobTest, DrainLinksAreWrittenThroughAndDanglingOnesRefused) {
    dir.Write("plain", "linked");
    dir.Write("target", "old");
    std::filesystem::create_symlink(dir.Path("target"), dir.Path("link"));
    Run(true, "plain", "link");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("link")));
    Run(false, "target", "back");
    EXPECT_EQ(dir.Read("back"), "linked");

    std::filesystem::create_symlink(dir.Path("nowhere"), dir.Path("dangling"));
    host.events.clear();
    Run(true, "plain", "dangling");
    EXPECT_EQ(host.MessageTexts().at(0), "File:\r" + dir.Path("dangling") + "\rwrite error!");
    EXPECT_FALSE(dir.Exists("nowhere"));
}

TEST_F(CompileJobTest, TheDrainIsNeverTheSourceOrTheKeyFile) {
    dir.Write("plain", "precious source");
    dir.Write("key", std::string(300, 'k'));
    std::filesystem::create_hard_link(dir.Path("key"), dir.Path("key-link"));
    std::filesystem::create_symlink(dir.Path("plain"), dir.Path("source-link"));
    Run(true, "plain", "key-link", "key");
    EXPECT_EQ(host.MessageTexts().at(0), "File conflict:\rkey");
    host.events.clear();
    Run(true, "plain", "source-link");
    EXPECT_EQ(host.MessageTexts().at(0), "File conflict:\rplain");
    EXPECT_EQ(dir.Read("plain"), "precious source");
    EXPECT_EQ(dir.Read("key"), std::string(300, 'k'));
    EXPECT_EQ(window.closed, 2);
}

TEST_F(CompileJobTest, SpecialFilesAreRefusedWithoutBlocking) {
    dir.Write("plain", "p");
    ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0600), 0);
    Run(true, "fifo", "out");
    EXPECT_EQ(host.MessageTexts().at(0), "File:\r" + dir.Path("fifo") + "\rread error!");
    host.events.clear();
    Run(true, "plain", "out", "fifo");
    EXPECT_EQ(host.MessageTexts().at(0), "File:\r" + dir.Path("fifo") + "\rread error!");
    host.events.clear();
    Run(true, "plain", "fifo");
    EXPECT_EQ(host.MessageTexts().at(0), "File:\r" + dir.Path("fifo") + "\rwrite error!");
    EXPECT_FALSE(dir.Exists("out"));
}

TEST_F(CompileJobTest, NewDrainsAreOwnerOnlyAndReplacedOnesKeepTheirBits) {
    namespace fs = std::filesystem;
    dir.Write("plain", "p");
    fs::permissions(dir.Path("plain"),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    Run(true, "plain", "new");
    EXPECT_EQ(fs::status(dir.Path("new")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    dir.Write("shared", "old");
    const auto bits = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(dir.Path("shared"), bits);
    Run(true, "plain", "shared");
    EXPECT_EQ(fs::status(dir.Path("shared")).permissions(), bits);
}

// Thirteen matching header bytes mark this key's file; twelve do not.
TEST_F(CompileJobTest, HeaderThresholdIsThirteenMatchingBytes) {
    const Bytes key(settings.Key.begin(), settings.Key.end());
    const auto material = literal::PreparedPass(key, 0, true);
    for (const std::size_t matching : {std::size_t{13}, std::size_t{12}}) {
        SCOPED_TRACE(matching);
        // A "header" of exactly `matching` key bytes, then a byte that breaks it.
        Bytes plain;
        for (std::size_t i = 1; i <= matching; ++i) {
            plain.push_back(static_cast<std::uint8_t>(material.ExpandedKey[i]));
        }
        plain.push_back(static_cast<std::uint8_t>(material.ExpandedKey[matching + 1] ^ 0xFF));
        plain.push_back('!');
        auto state = literal::PreparedPass(key, 0, true);
        Bytes cipher;
        for (const auto byte : plain) {
            cipher.push_back(static_cast<std::uint8_t>(literal::EncryptStep(state, byte)));
        }
        dir.Write("cipher", AsText(cipher));
        std::filesystem::remove(dir.Path("back"));
        host.events.clear();
        Run(false, "cipher", "back");
        if (matching == 13) {
            EXPECT_EQ(dir.Read("back"), AsText({plain.begin() + 13, plain.end()}));
        } else {
            EXPECT_EQ(host.MessageTexts().at(0),
                      "File:\r" + dir.Path("cipher") + "\rkey does not match!");
            EXPECT_FALSE(dir.Exists("back"));
        }
    }
}

}  // namespace
}  // namespace velkor
