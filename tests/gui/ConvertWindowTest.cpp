#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <climits>
#include <deque>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "ConversionDialog.h"
#include "ConversionRequest.h"
#include "CopyAnimation.h"
#include "FileDialogs.h"
#include "GuiFixture.h"
#include "TempDir.h"

using velkor::Answer;
using velkor::Buttons;
using velkor::ConversionDialog;
using velkor::ConversionSession;
using velkor::MessageKind;
using velkor::Sound;
using velkor::testing::HostEvent;
using velkor::testing::TempDir;
using velkor::testing::WhenShown;
using velkor::testing::Windows;

namespace {

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 engine(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes(size, '\0');
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(byte(engine)); });
    return bytes;
}

// The main window shown, its dialogs answered from a script, in a fresh folder.
struct Session {
    Session() {
        w.main().show();
        QVERIFY(QTest::qWaitForWindowActive(&w.main()));
        w.main().RunFileDialog = [this](velkor::FileDialog& dialog) -> std::optional<QString> {
            shownDialogs.push_back(&dialog);
            if (dialogAnswers.empty()) {
                return std::nullopt;
            }
            const QString answer = dialogAnswers.front();
            dialogAnswers.pop_front();
            if (answer.isNull()) {
                return std::nullopt;
            }
            return answer;
        };
    }

    ConversionDialog& window() { return w.windows->Convert(); }
    ConversionSession& model() { return w.windows->Convert(); }

    // Names to pick in the open and save dialogs; nothing means cancel.
    void Pick(const std::optional<std::string>& source, const std::optional<std::string>& drain) {
        const auto answer = [](const std::optional<std::string>& name) {
            return name ? QString::fromStdString(*name) : QString();
        };
        dialogAnswers.push_back(answer(source));
        dialogAnswers.push_back(answer(drain));
    }

    // Runs the Groups command from its button.
    void ConvertByButton(const std::optional<std::string>& source,
                         const std::optional<std::string>& drain) {
        Pick(source, drain);
        QTest::mouseClick(w.main().GroupsButton, Qt::LeftButton);
    }

    Windows w;
    TempDir dir;
    // A null name cancels its dialog.
    std::deque<QString> dialogAnswers;
    std::vector<velkor::FileDialog*> shownDialogs;
};

HostEvent AbortMessage() {
    HostEvent event;
    event.kind = MessageKind::Error;
    event.buttons = Buttons::Ok;
    event.text = "File conversion halted due to user abortion!";
    return event;
}

bool SameMessage(const HostEvent& a, const HostEvent& b) {
    return a.type == b.type && a.kind == b.kind && a.buttons == b.buttons && a.text == b.text;
}

}  // namespace

class ConvertWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void encodeThenDecodeRestoresEveryByte() {
        Session s;
        const std::string original = RandomBytes(70000, 5) + std::string(300, '\0') + "\xff";
        s.dir.Write("data.bin", original);
        struct WhileAsked {
            bool groupsButtonEnabled = true;
            bool groupItemEnabled = true;
            bool windowUp = false;
        };
        std::vector<WhileAsked> seen;
        s.w.host.onMessage = [&](const HostEvent&) {
            seen.push_back({s.w.main().GroupsButton->isEnabled(), s.w.main().GroupItem->isEnabled(),
                            s.window().isVisible()});
        };

        s.ConvertByButton(s.dir.Path("data.bin"), s.dir.Path("data.txt"));
        const std::string text = s.dir.Read("data.txt");
        QVERIFY(text.starts_with("/////\r\n"));
        QVERIFY(text.find("\r\n/////\r\nGroups: ") != std::string::npos);
        QCOMPARE(s.window().result(), ConversionSession::kModalOk);
        QVERIFY(!s.window().isVisible());
        QCOMPARE(s.model().ProgressBar.maximum, static_cast<std::int64_t>(original.size()));
        QCOMPARE(s.window().ProgressBar->value(), s.window().ProgressBar->maximum());
        QVERIFY(!s.window().FileConvertAnimation->Playing());

        // The other direction from the menu's shortcut; the offscreen platform has
        // no window manager to hand the activation back to the main window.
        s.w.main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&s.w.main()));
        s.Pick(s.dir.Path("data.txt"), s.dir.Path("back.bin"));
        QTest::keyClick(&s.w.main(), Qt::Key_G, Qt::AltModifier);
        QVERIFY(s.dir.Read("back.bin") == original);
        QCOMPARE(s.window().result(), ConversionSession::kModalOk);

        const std::vector<std::string> expected = {
            s.dir.Path("data.bin") + "\rgroups formed in file\r" + s.dir.Path("data.txt") +
                "\r\rOpen " + s.dir.Path("data.txt") + "?",
            s.dir.Path("data.txt") + "\rgroups resolved in file\r" + s.dir.Path("back.bin") +
                "\r\rOpen " + s.dir.Path("back.bin") + "?"};
        QCOMPARE(s.w.host.MessageTexts(), expected);
        QCOMPARE(seen.size(), std::size_t{2});
        for (const WhileAsked& asked : seen) {
            QVERIFY(!asked.groupsButtonEnabled);
            QVERIFY(!asked.groupItemEnabled);
            QVERIFY(asked.windowUp);
        }
        QVERIFY(s.w.main().GroupsButton->isEnabled());
        QVERIFY(s.w.main().GroupItem->isEnabled());
        const std::vector<velkor::FileDialog*> dialogs = {
            s.w.main().InputDialog, s.w.main().OutputDialog, s.w.main().InputDialog,
            s.w.main().OutputDialog};
        QCOMPARE(s.shownDialogs, dialogs);
    }

    void successOffersToOpenTheDrain() {
        for (const Answer answer : {Answer::Yes, Answer::No}) {
            Session s;
            s.dir.Write("in.bin", "abc");
            s.w.host.Answers({answer});
            s.ConvertByButton(s.dir.Path("in.bin"), s.dir.Path("out.txt"));
            const auto messages = s.w.host.Messages();
            QCOMPARE(messages.size(), std::size_t{1});
            QCOMPARE(messages[0].kind, MessageKind::Confirmation);
            QCOMPARE(messages[0].buttons, Buttons::YesNo);
            QCOMPARE(s.w.host.Sounds(), std::vector<Sound>{Sound::Question});
            std::vector<HostEvent> opened;
            std::copy_if(s.w.host.events.begin(), s.w.host.events.end(), std::back_inserter(opened),
                         [](const HostEvent& e) { return e.type == HostEvent::Type::ShellOpen; });
            if (answer == Answer::Yes) {
                QCOMPARE(opened.size(), std::size_t{1});
                QCOMPARE(opened[0].text, std::string("out.txt"));
                QCOMPARE(opened[0].directory, s.dir.Folder());
            } else {
                QVERIFY(opened.empty());
            }
        }
    }

    void abortAndCloseBoxStopALongConversion() {
        struct Stopper {
            const char* name;
            int modalResult;
            std::function<void(ConversionDialog&)> stop;
        };
        const std::vector<Stopper> stoppers = {
            {"Abort button", ConversionSession::kModalAbort,
             [](ConversionDialog& window) {
                 QTest::mouseClick(window.AbortButton, Qt::LeftButton);
             }},
            {"Enter on the default button", ConversionSession::kModalAbort,
             [](ConversionDialog& window) { QTest::keyClick(&window, Qt::Key_Return); }},
            {"close box", ConversionSession::kModalCancel,
             [](ConversionDialog& window) { window.close(); }},
        };
        const std::string original = RandomBytes(8 << 20, 9);
        for (const Stopper& stopper : stoppers) {
            Session s;
            s.dir.Write("big.bin", original);
            int calls = 0;
            bool stillUp = true;
            s.w.host.onProcess = [&] {
                if (++calls == 3) {
                    // Esc has no button to press and must not end the conversion.
                    QTest::keyClick(&s.window(), Qt::Key_Escape);
                    stillUp = s.window().isVisible() && s.model().ModalResult == 0;
                    stopper.stop(s.window());
                }
                QApplication::processEvents();
            };
            // The report comes once the conversion has stopped, from the window still up.
            bool reportedAfterStop = false;
            s.w.host.onMessage = [&](const HostEvent&) {
                reportedAfterStop = !s.model().Converting && s.window().isVisible();
            };
            s.ConvertByButton(s.dir.Path("big.bin"), s.dir.Path("big.txt"));
            QVERIFY2(stillUp, stopper.name);
            QVERIFY2(reportedAfterStop, stopper.name);
            QCOMPARE(s.window().result(), stopper.modalResult);
            QVERIFY(!s.window().isVisible());
            const auto messages = s.w.host.Messages();
            QCOMPARE(messages.size(), std::size_t{1});
            QVERIFY2(SameMessage(messages[0], AbortMessage()), stopper.name);
            QCOMPARE(s.w.host.Sounds(), std::vector<Sound>{Sound::Hand});
            // A stopped conversion leaves no drain behind.
            QVERIFY(!std::filesystem::exists(s.dir.Path("big.txt")));
            QVERIFY(s.window().ProgressBar->value() < s.window().ProgressBar->maximum());
            QVERIFY(s.w.main().GroupsButton->isEnabled());
            QVERIFY(s.w.main().GroupItem->isEnabled());
        }
    }

    void refusedRequestsConvertNothing() {
        Session s;
        s.dir.Write("f", "precious");
        std::filesystem::create_hard_link(s.dir.Path("f"), s.dir.Path("link"));
        int shown = 0;
        QObject::connect(&s.window(), &QDialog::finished, [&] { ++shown; });

        s.ConvertByButton(s.dir.Path("f"), s.dir.Path("f"));
        s.ConvertByButton(s.dir.Path("f"), s.dir.Path("link"));
        const std::vector<std::string> duplicates = {
            "Duplicated file names:\r\rSource: f\rDrain: f\r",
            "Duplicated file names:\r\rSource: f\rDrain: link\r"};
        QCOMPARE(s.w.host.MessageTexts(), duplicates);
        QCOMPARE(s.w.host.Sounds(), (std::vector<Sound>{Sound::Hand, Sound::Hand}));
        QCOMPARE(s.w.host.Messages()[0].kind, MessageKind::Error);
        QCOMPARE(s.dir.Read("f"), std::string("precious"));

        // A cancelled dialog: the other one is still shown, then nothing happens.
        s.w.host.events.clear();
        s.shownDialogs.clear();
        s.ConvertByButton(std::nullopt, s.dir.Path("out"));
        s.ConvertByButton(s.dir.Path("f"), std::nullopt);
        QCOMPARE(s.shownDialogs.size(), std::size_t{4});
        QVERIFY(s.w.host.events.empty());
        QVERIFY(!s.dir.Exists("out"));
        QCOMPARE(shown, 0);
        QVERIFY(!s.model().ConvertPending);
        QVERIFY(s.w.main().GroupsButton->isEnabled());
        QVERIFY(s.w.main().GroupItem->isEnabled());
    }

    void failedDetectionClosesWithoutAbortReport() {
        Session s;
        s.dir.Write("empty", "");
        s.ConvertByButton(s.dir.Path("empty"), s.dir.Path("out"));
        s.ConvertByButton(s.dir.Path("empty"), s.dir.Path("no/such/out"));
        const std::vector<std::string> expected = {"File:\rempty\ris empty!",
                                                   "File:\rempty\rread / write error!"};
        QCOMPARE(s.w.host.MessageTexts(), expected);
        QCOMPARE(s.window().result(), ConversionSession::kModalOk);
        QCOMPARE(s.dir.Read("out"), std::string());
    }

    void abortBeforeTheConversionStartsCancelsIt() {
        // With the main window hidden no idle moment starts the conversion.
        Windows w;
        TempDir dir;
        dir.Write("in", "data");
        ConversionDialog& window = w.windows->Convert();
        QVERIFY(velkor::RequestConversion(window, dir.Path("in"), dir.Path("out")));
        bool pendingWhileShown = false;
        WhenShown(window, [&] {
            pendingWhileShown = window.ConvertPending && window.FileConvertAnimation->Playing();
            window.AbortButton->click();
        });
        QCOMPARE(window.exec(), ConversionSession::kModalAbort);
        QVERIFY(pendingWhileShown);
        QVERIFY(!window.ConvertPending);
        QVERIFY(!window.FileConvertAnimation->Playing());
        QCOMPARE(w.host.MessageTexts(),
                 std::vector<std::string>{"File conversion halted due to user abortion!"});
        QVERIFY(!dir.Exists("out"));
    }

    void progressBeyondIntRangeKeepsItsProportion() {
        Windows w;
        ConversionDialog& window = w.windows->Convert();
        ConversionSession& model = window;
        model.ProgressBar.maximum = std::int64_t{3} << 40;
        model.ProgressBar.position = std::int64_t{1} << 40;
        model.AdvanceProgress(std::int64_t{1} << 40);
        const QProgressBar& bar = *window.ProgressBar;
        QVERIFY(bar.maximum() > INT_MAX / 2);
        QCOMPARE(bar.value(), bar.maximum() / 3 * 2);
        model.AdvanceProgress(std::int64_t{2} << 40);
        QCOMPARE(bar.value(), bar.maximum());

        model.ProgressBar = {0, 1000, 1};
        model.AdvanceProgress(400);
        QCOMPARE(bar.maximum(), 1000);
        QCOMPARE(bar.value(), 400);
    }
};

QTEST_MAIN(ConvertWindowTest)
#include "ConvertWindowTest.moc"
