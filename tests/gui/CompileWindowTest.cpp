#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <algorithm>

#include "CompilerDialog.h"
#include "CopyAnimation.h"
#include "GuiFixture.h"
#include "TempDir.h"
#include "Widgets.h"

using velkor::Answer;
using velkor::MessageKind;
using velkor::Sound;
using velkor::testing::TempDir;
using velkor::testing::Windows;
using Type = velkor::testing::HostEvent::Type;

namespace {

// The main window ready for a request: key, files, direction, and a shown
// window so that idle moments come.
struct Request {
    Request() {
        auto& m = w.main();
        m.DefaultDirectory = dir.Folder();
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
    }
    void Fill(const QString& key, const std::string& source, const std::string& drain,
              const std::string& keyFile = {}) {
        auto& m = w.main();
        m.KeyInput->setText(key);
        m.SourceFileNameInput->setText(source.empty() ? QString() : Path(source));
        m.DrainFileNameInput->setText(drain.empty() ? QString() : Path(drain));
        m.KeyFileNameInput->setText(keyFile.empty() ? QString() : Path(keyFile));
    }
    QString Path(const std::string& name) const { return QString::fromStdString(dir.Path(name)); }
    void Encrypt() {
        w.main().EncryptRadioButton->click();
        w.main().StartCompiler();
    }
    void Decrypt() {
        w.main().DecryptRadioButton->click();
        w.main().StartCompiler();
    }
    velkor::CompilerDialog& compiler() { return w.windows->Compiler(); }

    TempDir dir;
    Windows w;
};

}  // namespace

class CompileWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void windowLooksAsLaidOut() {
        Windows w;
        auto& c = w.windows->Compiler();
        QCOMPARE(c.windowTitle(), QStringLiteral("Velkor32"));
        QCOMPARE(c.size(), QSize(273, 149));
        QVERIFY(c.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(c.TopicText->text(), QStringLiteral("Velkor Compiler"));
        QCOMPARE(c.CompilerInfo->text(), QStringLiteral("Key file status:"));
        QCOMPARE(c.CloseButton->text(), QStringLiteral("Close"));
        QCOMPARE(c.ProgressBar->geometry(), QRect(8, 120, 177, 13));
        QCOMPARE(c.CloseButton->geometry(), QRect(192, 112, 75, 25));
        QVERIFY(!c.Animation->Playing());
        QCOMPARE(c.Animation->Frame(), velkor::CopyAnimation::kStopFrame);
        QCOMPARE(c.cursor().shape(), Qt::WaitCursor);
        QCOMPARE(c.ProgressBar->cursor().shape(), Qt::WaitCursor);
        QCOMPARE(c.CloseButton->cursor().shape(), Qt::PointingHandCursor);
    }

    void emptyKeyIsReportedBeforeAnythingElse() {
        Request r;
        r.Fill(QString(), {}, {});
        r.w.main().StartCompiler();
        QCOMPARE(r.w.host.MessageTexts(),
                 std::vector<std::string>{"Key must be:\r - Longer than 6 characters.\r - Shorter "
                                          "than 129 characters."});
        QCOMPARE(r.w.host.Messages()[0].kind, MessageKind::Warning);
        QCOMPARE(r.w.host.Sounds(), std::vector<Sound>{Sound::Exclamation});
        QVERIFY(r.w.main().KeyInput->hasFocus());
        QVERIFY(r.w.main().CompileButton->isEnabled());
        QVERIFY(r.w.main().CompileItem->isEnabled());
    }

    void refusedFieldsAreEmptiedAndFocused() {
        Request r;
        auto& m = r.w.main();
        r.dir.Write("plain", "data");
        r.dir.Write("key", "");

        r.Fill("abcde", "plain", "out");  // five characters
        m.StartCompiler();
        QVERIFY(m.KeyInput->text().isEmpty());
        QVERIFY(m.Key.empty());
        QVERIFY(!m.VerifyButton->isEnabled());

        r.w.host.events.clear();
        r.Fill("abcdef", "plain", "out", "missing");
        m.StartCompiler();
        QCOMPARE(r.w.host.MessageTexts(), std::vector<std::string>{"File conflict:\rmissing"});
        QVERIFY(m.KeyFileNameInput->text().isEmpty());
        QVERIFY(m.KeyFileName.empty());
        QVERIFY(m.KeyFileNameInput->hasFocus());

        r.w.host.events.clear();
        r.Fill("abcdef", {}, "out");
        m.StartCompiler();
        QVERIFY(r.w.host.events.empty());
        QVERIFY(m.SourceFileNameInput->hasFocus());

        r.Fill("abcdef", "plain", "sub/PLAIN");
        m.StartCompiler();
        QCOMPARE(r.w.host.MessageTexts(), std::vector<std::string>{"File conflict:\rplain"});
        QVERIFY(m.SourceFileNameInput->text().isEmpty());
        QVERIFY(m.SourceFileNameInput->hasFocus());

        r.w.host.events.clear();
        r.Fill("abcdef", "plain", "out", "key");
        m.StartCompiler();
        QCOMPARE(r.w.host.MessageTexts(), std::vector<std::string>{"File:\rkey\ris empty!"});
        QVERIFY(m.KeyFileNameInput->text().isEmpty());
    }

    void overwriteQuestionYesNoAndClosed() {
        Request r;
        auto& m = r.w.main();
        r.dir.Write("plain", "data");
        r.dir.Write("out", "old drain");
        const std::string question = "File:\rout\ralready exists. Overwrite?";

        r.Fill("abcdef", "plain", "out");
        r.w.host.Answers({Answer::No});
        m.StartCompiler();
        QCOMPARE(r.w.host.MessageTexts(), std::vector<std::string>{question});
        QCOMPARE(r.w.host.Sounds(), std::vector<Sound>{Sound::Question});
        QVERIFY(m.DrainFileNameInput->text().isEmpty());
        QVERIFY(m.DrainFileNameInput->hasFocus());
        QVERIFY(!m.DrainConfirmed);

        r.w.host.events.clear();
        r.Fill("abcdef", "plain", "out");
        r.w.host.Answers({Answer::Closed});
        m.StartCompiler();
        QCOMPARE(m.DrainFileNameInput->text(), r.Path("out"));
        QVERIFY(m.DrainFileNameInput->hasFocus());
        QVERIFY(!m.DrainConfirmed);
        QCOMPARE(r.dir.Read("out"), std::string("old drain"));

        // Yes, then the write probe passes and a refused request keeps the drain.
        r.w.host.events.clear();
        r.dir.Write("empty", "");
        r.Fill("abcdef", "empty", "out");
        r.w.host.Answers({Answer::Yes});
        m.StartCompiler();
        QCOMPARE(r.w.host.MessageTexts(),
                 (std::vector<std::string>{question, "File:\rempty\ris empty!"}));
        QCOMPARE(r.dir.Read("out"), std::string("old drain"));
    }

    void roundTripThroughTheWindows() {
        for (const bool withKeyFile : {false, true}) {
            Request r;
            std::string plain;
            for (int i = 0; i < 50000; ++i) {
                plain += static_cast<char>(i * 31 + 7);
            }
            r.dir.Write("plain", plain);
            r.dir.Write("keys", std::string(700, 'k'));
            const std::string keyFile = withKeyFile ? "keys" : "";
            r.Fill(QStringLiteral("Schlüssel"), "plain", "cipher", keyFile);
            r.Encrypt();
            auto messages = r.w.host.Messages();
            QCOMPARE(messages.size(), std::size_t{1});
            QCOMPARE(messages[0].kind, MessageKind::Information);
            QCOMPARE(messages[0].text,
                     r.dir.Path("plain") + "\r\rcompiled to\r\r" + r.dir.Path("cipher"));
            QVERIFY(!r.compiler().isVisible());
            QVERIFY(r.w.main().CompileButton->isEnabled());
            // The fields stay for the next request.
            QCOMPARE(r.w.main().SourceFileNameInput->text(), r.Path("plain"));

            r.w.host.events.clear();
            r.Fill(QStringLiteral("Schlüssel"), "cipher", "back", keyFile);
            r.w.host.Answers({Answer::Yes});
            r.Decrypt();
            messages = r.w.host.Messages();
            QCOMPARE(messages.size(), std::size_t{1});
            QCOMPARE(messages[0].kind, MessageKind::Confirmation);
            QCOMPARE(r.dir.Read("back"), plain);
            const auto opened =
                std::find_if(r.w.host.events.begin(), r.w.host.events.end(),
                             [](const auto& event) { return event.type == Type::ShellOpen; });
            QVERIFY(opened != r.w.host.events.end());
            QCOMPARE(opened->text, std::string("back"));
            QVERIFY(!r.dir.Exists("VELKOR.VLK"));
        }
    }

    void wrongKeyIsReportedAndTheWindowCloses() {
        Request r;
        r.dir.Write("plain", std::string(5000, 'p'));
        r.Fill("right key", "plain", "cipher");
        r.Encrypt();
        r.w.host.events.clear();
        r.Fill("wrong key", "cipher", "back");
        r.Decrypt();
        QCOMPARE(
            r.w.host.MessageTexts(),
            std::vector<std::string>{"File:\r" + r.dir.Path("cipher") + "\rkey does not match!"});
        QVERIFY(!r.compiler().isVisible());
        QCOMPARE(r.w.main().KeyInput->text(), QStringLiteral("wrong key"));
    }

    void closeDuringALongJob() {
        Request r;
        r.dir.Write("plain", std::string(1 << 20, 'x'));
        r.Fill("abcdefgh", "plain", "cipher");
        bool closed = false;
        r.w.host.onProcess = [&] {
            if (!closed && r.compiler().Compiling) {
                closed = true;
                VELKOR_VERIFY_IN_LOOP(r.compiler().Animation->Playing());
                QTest::mouseClick(r.compiler().CloseButton, Qt::LeftButton);
            }
        };
        r.Encrypt();
        QVERIFY(closed);
        const auto messages = r.w.host.Messages();
        QCOMPARE(messages.size(), std::size_t{1});
        QVERIFY(messages[0].text.find("Velkor32 Compiler interruption!\r\rFile: ") == 0);
        QVERIFY(messages[0].text.find("compiler I/O error.") != std::string::npos);
        QVERIFY(!r.compiler().isVisible());
        QVERIFY(!r.dir.Exists("VELKOR.VLK"));
        QVERIFY(r.dir.Read("cipher").size() < (1U << 20));
        QVERIFY(!r.compiler().Animation->Playing());
    }

    void closeBoxDuringAJobReportsOnce() {
        Request r;
        r.dir.Write("plain", std::string(1 << 20, 'x'));
        r.Fill("abcdefgh", "plain", "cipher");
        r.w.host.onProcess = [&] {
            if (r.compiler().Compiling) {
                r.compiler().close();
            }
        };
        r.Encrypt();
        QCOMPARE(r.w.host.MessageTexts(),
                 std::vector<std::string>{
                     "Velkor32 Compiler interruption!\r\rOperation not complete.\r"});
        QVERIFY(r.compiler().CompileAborted);
        QVERIFY(!r.compiler().isVisible());
        QCOMPARE(r.compiler().cursor().shape(), Qt::WaitCursor);
    }

    void closeWithoutAJobClosesSilently() {
        Windows w;
        auto& c = w.windows->Compiler();
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        QTest::keyClick(&c, Qt::Key_Escape);
        QVERIFY(!c.isVisible());
        QVERIFY(w.host.events.empty());
    }

    // The bar spans the key file's size and follows the whole job, whose
    // passes all run together.
    void progressBarFollowsTheWholeJob() {
        for (const int size : {1000, 100}) {
            Request r;
            r.dir.Write("plain", std::string(3000000, 'p'));
            r.dir.Write("keys", std::string(static_cast<std::size_t>(size), 'k'));
            r.Fill("abcdefgh", "plain", "cipher", "keys");
            std::vector<int> values;
            QObject::connect(r.compiler().ProgressBar, &QProgressBar::valueChanged,
                             [&values](int value) { values.push_back(value); });
            r.Encrypt();
            QVERIFY(values.size() >= 2);
            QVERIFY(std::is_sorted(values.begin(), values.end()));
            QCOMPARE(values.back(), size);
            QVERIFY(values.front() < size);
            QCOMPARE(r.compiler().ProgressBar->maximum(), size);
        }
    }
};

QTEST_MAIN(CompileWindowTest)
#include "CompileWindowTest.moc"
