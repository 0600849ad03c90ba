#include <QAction>
#include <QFileDialog>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "AnalysisLogFormat.h"
#include "FileDialogs.h"
#include "GuiFixture.h"
#include "QtHost.h"
#include "SymbolAnalysis.h"
#include "TempDir.h"
#include "Widgets.h"

using velkor::Answer;
using velkor::Buttons;
using velkor::MainWindow;
using velkor::MessageKind;
using velkor::Sound;
using velkor::StopReason;
using velkor::testing::HostEvent;
using velkor::testing::ScriptedHost;
using velkor::testing::TempDir;
using velkor::testing::Windows;
using Type = velkor::testing::HostEvent::Type;

namespace {

// The log the core writes for these bytes under this path, line ends included.
std::string ExpectedLog(const std::string& path, const std::string& bytes) {
    velkor::AnalysisState state;
    state.AnalysisSourceName = path;
    state.AnalysedSize = bytes.size();
    for (const char byte : bytes) {
        ++state.SymbolCounts[static_cast<unsigned char>(byte)];
    }
    std::string log;
    for (const std::string& line : velkor::AnalysisLogLines(state)) {
        log += line + "\r\n";
    }
    return log;
}

// Every byte value, in an order that changes from block to block.
std::string LongContent(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 7 + i / 4096) % 256);
    }
    return bytes;
}

// Several blocks of the count, each one look at the window's messages.
constexpr std::size_t kLongSize = 4 * velkor::SymbolAnalysis::kBlockSize;

// The window program's own host, with its boxes, sounds and shell calls
// recorded instead of shown; pending messages are processed for real.
class RecordingQtHost : public velkor::QtHost {
  public:
    Answer ShowMessage(MessageKind kind, Buttons buttons, const std::string& text,
                       const std::string& caption) override {
        return record.ShowMessage(kind, buttons, text, caption);
    }
    void PlaySound(Sound sound) override { record.PlaySound(sound); }
    void ProcessPendingMessages() override {
        record.ProcessPendingMessages();
        QtHost::ProcessPendingMessages();
    }
    void ShellOpenFile(const std::string& fileName, const std::string& directory) override {
        record.ShellOpenFile(fileName, directory);
    }

    ScriptedHost record;
};

struct QtHostWindows {
    QtHostWindows() : windows(host, files, velkor::testing::RunningProgram()) {
        windows.messageInterval = std::chrono::nanoseconds(0);
        windows.Create();
        host.EndWith(windows.Main());
        windows.Main().DefaultDirectory = files.CurrentDirectory() + "/";
    }

    RecordingQtHost host;
    velkor::FileSystem files;
    velkor::ApplicationWindows windows;
};

// What the open dialog was asked, answered with a fixed path (or cancelled).
struct DialogLog {
    int shown = 0;
    int shownWithCommandOn = 0;
    int otherDialogs = 0;
};

std::shared_ptr<DialogLog> AnswerDialog(MainWindow& m, const std::optional<QString>& path) {
    auto log = std::make_shared<DialogLog>();
    m.RunFileDialog = [&m, path, log](velkor::FileDialog& dialog) {
        ++log->shown;
        log->otherDialogs += &dialog == m.InputDialog ? 0 : 1;
        log->shownWithCommandOn += m.AnalyseButton->isEnabled() || m.AnalyseSearchItem->isEnabled();
        if (path) {
            dialog.selectFile(*path);
        }
        return path;
    };
    return log;
}

bool CommandEnabled(const MainWindow& m) {
    return m.AnalyseButton->isEnabled() && m.AnalyseSearchItem->isEnabled();
}

}  // namespace

class AnalyseCommandTest : public QObject {
    Q_OBJECT

  private slots:
    void buttonAndAltAWriteTheLogByteForByte() {
        TempDir dir;
        // Names are bytes: a UTF-8 name reaches the log as it is.
        const std::string stem = "Gr\303\274\303\237e";
        const std::string source = dir.Path(stem + ".doc");
        velkor::testing::WriteFileBytes(source, "ABA");
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        const auto dialog = AnswerDialog(m, QString::fromStdString(source));

        QTest::mouseClick(m.AnalyseButton, Qt::LeftButton);
        QCOMPARE(dialog->shown, 1);
        const std::string log = dir.Read("!" + stem + "!.txt");
        QCOMPARE(log, ExpectedLog(source, "ABA"));
        QVERIFY(log.find("\r\n -> File Name:  " + source + "\r\n") != std::string::npos);
        QVERIFY(log.find("\r\n   A  ASCII DecCode:   65   Occurrence:         2"
                         "   Coincidence:  0.66666667\r\n") != std::string::npos);
        QVERIFY(log.find("\r\n   B  ASCII DecCode:   66   Occurrence:         1"
                         "   Coincidence:  0.33333333\r\n") != std::string::npos);
        QVERIFY(CommandEnabled(m));

        // Alt+A starts the same command; the log is replaced, not appended to.
        velkor::testing::WriteFileBytes(source, "A");
        QTest::keyClick(&m, Qt::Key_A, Qt::AltModifier);
        QCOMPARE(dialog->shown, 2);
        QCOMPARE(dir.Read("!" + stem + "!.txt"), ExpectedLog(source, "A"));
        QVERIFY(CommandEnabled(m));
        QCOMPARE(dialog->otherDialogs, 0);
        QCOMPARE(dialog->shownWithCommandOn, 0);
        // The dialog keeps no file name for the next time it opens.
        QVERIFY(!m.InputDialog->selectedFiles().contains(QString::fromStdString(source)));
    }

    void showResultsYesOpensTheLogNoDoesNot() {
        TempDir dir;
        const std::string source = dir.Path("letter.doc");
        velkor::testing::WriteFileBytes(source, "text");
        Windows w;
        auto& m = w.main();
        AnswerDialog(m, QString::fromStdString(source));
        const std::string question =
            "File: letter.doc analysed.\r\rResults written into file:\r!letter!.txt\r\r"
            "Show results?";

        w.host.Answers({Answer::Yes});
        m.AnalyseSearchItem->trigger();
        QCOMPARE(w.host.events.size(), std::size_t{3});
        QCOMPARE(w.host.events[0].type, Type::Sound);
        QCOMPARE(w.host.events[0].sound, Sound::Question);
        QCOMPARE(w.host.events[1].kind, MessageKind::Confirmation);
        QCOMPARE(w.host.events[1].buttons, Buttons::YesNo);
        QCOMPARE(w.host.events[1].text, question);
        QCOMPARE(w.host.events[2].type, Type::ShellOpen);
        QCOMPARE(w.host.events[2].text, std::string("!letter!.txt"));
        QCOMPARE(w.host.events[2].directory, dir.Folder());

        w.host.events.clear();
        w.host.Answers({Answer::No});
        m.AnalyseButton->click();
        QCOMPARE(w.host.MessageTexts(), std::vector<std::string>{question});
        for (const HostEvent& event : w.host.events) {
            QVERIFY(event.type != Type::ShellOpen);
        }
        QVERIFY(dir.Exists("!letter!.txt"));
    }

    void cancelSaysNothingAndErrorsGiveTheCommandBack() {
        TempDir dir;
        Windows w;
        auto& m = w.main();
        const auto dialog = AnswerDialog(m, std::nullopt);
        m.AnalyseButton->click();
        QCOMPARE(dialog->shown, 1);
        QVERIFY(w.host.events.empty());
        QVERIFY(std::filesystem::is_empty(dir.Folder()));
        QVERIFY(CommandEnabled(m));

        // A folder cannot be read as a file.
        std::filesystem::create_directory(dir.Path("folder"));
        AnswerDialog(m, QString::fromStdString(dir.Path("folder")));
        m.AnalyseButton->click();
        QCOMPARE(w.host.MessageTexts(), std::vector<std::string>{"File:\rfolder\rread error!"});
        QVERIFY(!dir.Exists("!folder!.txt"));
        QVERIFY(CommandEnabled(m));
    }

    void onlyItsOwnCommandsAreOffDuringALongCount() {
        TempDir dir;
        const std::string source = dir.Path("long.bin");
        const std::string content = LongContent(kLongSize);
        velkor::testing::WriteFileBytes(source, content);
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        const auto dialog = AnswerDialog(m, QString::fromStdString(source));
        const bool swiftBefore = m.Swift();
        long long commandOff = 0;
        QStringList hints;
        long long othersOn = 0;
        w.host.onProcess = [&] {
            if (!m.AnalyseButton->isEnabled() && !m.AnalyseSearchItem->isEnabled()) {
                ++commandOff;
            }
            if (m.CompileButton->isEnabled() && m.CompileItem->isEnabled() &&
                m.GroupsButton->isEnabled() && m.GroupItem->isEnabled() &&
                m.SwiftItem->isEnabled() && m.KeyInput->isEnabled()) {
                ++othersOn;
            }
            if (w.host.processCalls == 2) {
                // Other handlers run in the middle of the count ...
                m.SwiftItem->trigger();
                QTest::keyClicks(m.KeyInput, QStringLiteral("typed"));
                velkor::testing::MovePointer(m.CompileButton);
                hints.append(m.StatusText());
                velkor::testing::MovePointer(m.AnalyseButton);
                hints.append(m.StatusText());
                // ... but the command itself cannot start a second time.
                QTest::mouseClick(m.AnalyseButton, Qt::LeftButton);
                QTest::keyClick(&m, Qt::Key_A, Qt::AltModifier);
            }
        };

        m.AnalyseButton->click();
        w.host.onProcess = nullptr;
        QVERIFY(w.host.processCalls >=
                static_cast<long long>(kLongSize / velkor::SymbolAnalysis::kBlockSize));
        QCOMPARE(commandOff, w.host.processCalls);
        QCOMPARE(othersOn, w.host.processCalls);
        QCOMPARE(dialog->shown, 1);
        QCOMPARE(m.Swift(), !swiftBefore);
        QCOMPARE(m.Key, std::string("typed"));
        // The status bar follows the pointer, also over the disabled button.
        QCOMPARE(hints, (QStringList{QStringLiteral("Start the velkor compiler..."),
                                     QStringLiteral("Summarize the frequency of symbols in a "
                                                    "file...")}));
        QVERIFY(CommandEnabled(m));
        QCOMPARE(dir.Read("!long!.txt"), ExpectedLog(source, content));
    }

    void eventsReachTheWindowDuringACount() {
        TempDir dir;
        const std::string source = dir.Path("long.bin");
        velkor::testing::WriteFileBytes(source, LongContent(kLongSize));
        QtHostWindows w;
        auto& m = w.windows.Main();
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        AnswerDialog(m, QString::fromStdString(source));
        QString keyDuringCount;
        w.host.record.onProcess = [&] {
            if (w.host.record.processCalls == 1) {
                // Queued as the window system would deliver a key stroke.
                QCoreApplication::postEvent(
                    m.KeyInput, new QKeyEvent(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier,
                                              QStringLiteral("k")));
            } else if (w.host.record.processCalls == 3) {
                keyDuringCount = m.KeyInput->text();
            }
        };

        m.AnalyseButton->click();
        QCOMPARE(keyDuringCount, QStringLiteral("k"));
        QVERIFY(w.host.StopRequest() == StopReason::None);
        QCOMPARE(w.host.record.MessageTexts().size(), std::size_t{1});
        QVERIFY(w.host.record.MessageTexts()[0].find("Show results?") != std::string::npos);
        QVERIFY(dir.Exists("!long!.txt"));
    }

    void closingTheMainWindowStopsTheCount() {
        TempDir dir;
        const std::string source = dir.Path("long.bin");
        velkor::testing::WriteFileBytes(source, LongContent(kLongSize));
        QtHostWindows w;
        auto& m = w.windows.Main();
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        AnswerDialog(m, QString::fromStdString(source));
        w.host.record.onProcess = [&] {
            if (w.host.record.processCalls == 3) {
                m.CloseButton->click();
            }
        };

        m.AnalyseButton->click();
        QVERIFY(!m.isVisible());
        QVERIFY(w.host.StopRequest() == StopReason::Terminating);
        // Stopped within the block that saw the close: no question, no box, no log.
        QCOMPARE(w.host.record.processCalls, 3LL);
        QVERIFY(w.host.record.events.empty());
        QVERIFY(!dir.Exists("!long!.txt"));
        QVERIFY(CommandEnabled(m));
    }
};

QTEST_MAIN(AnalyseCommandTest)
#include "AnalyseCommandTest.moc"
