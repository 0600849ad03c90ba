#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "GuiFixture.h"
#include "HintHook.h"
#include "KeyVerificationDialog.h"
#include "Widgets.h"

using velkor::KeyVerificationDialog;
using velkor::Sound;
using velkor::testing::WhenShown;
using velkor::testing::Windows;
using Type = velkor::testing::HostEvent::Type;

namespace {

const std::string kNul(1, '\0');

// Types key and extension into the verification window once it is up, then
// presses its Verify button.
void ReEnter(KeyVerificationDialog& verify, const QString& key, const QString& extension) {
    WhenShown(verify, [&verify, key, extension] {
        QTest::keyClicks(verify.KeyInput, key);
        QTest::keyClicks(verify.KeyExtensionInput, extension);
        QTest::mouseClick(verify.VerifyButton, Qt::LeftButton);
    });
}

// One event as text, for comparing whole sequences.
std::string Describe(const velkor::testing::HostEvent& event) {
    switch (event.type) {
        case Type::Sound:
            return "sound " + std::to_string(static_cast<int>(event.sound));
        case Type::Message:
            return "notice " + event.text + (event.caption.empty() ? "" : " / " + event.caption) +
                   (event.kind == velkor::MessageKind::Plain ? "" : " (kind)");
        case Type::ShellOpen:
            return "open " + event.text;
    }
    return {};
}

std::vector<std::string> Events(const velkor::testing::ScriptedHost& host) {
    std::vector<std::string> out;
    for (const auto& event : host.events) {
        out.push_back(Describe(event));
    }
    return out;
}

}  // namespace

class VerifyTest : public QObject {
    Q_OBJECT

  private:
    // Main window with key "Secret7" and extension "z", shown and active.
    static void Prepare(Windows& w, const QString& extension = QStringLiteral("z")) {
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        QTest::keyClicks(m.KeyInput, QStringLiteral("Secret7"));
        QTest::keyClicks(m.KeyExtensionInput, extension);
    }

  private slots:
    void windowLooksAsLaidOut() {
        Windows w;
        auto& v = w.windows->Verify();
        QCOMPARE(v.windowTitle(), QStringLiteral("Velkor32"));
        QCOMPARE(v.size(), QSize(241, 114));
        QCOMPARE(v.minimumSize(), v.maximumSize());
        QVERIFY(v.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(v.windowFlags() & Qt::WindowMinimizeButtonHint));
        QCOMPARE(velkor::HintHook::HintOf(&v),
                 QStringLiteral("Confirm your Key and Key Extension..."));
        QCOMPARE(v.KeyInfo->pos(), QPoint(16, 24));
        QCOMPARE(v.KeyInfo->text(), QStringLiteral("Key: [Min. 6 Characters]"));
        QCOMPARE(v.KeyInput->geometry(), QRect(16, 40, 185, 21));
        QCOMPARE(v.KeyInput->maxLength(), 128);
        QCOMPARE(v.KeyInput->echoMode(), QLineEdit::Password);
        QCOMPARE(v.KeyInput->toolTip(), QStringLiteral("Input your Key again..."));
        QCOMPARE(v.KeyExtensionInput->geometry(), QRect(208, 32, 17, 28));
        QCOMPARE(v.KeyExtensionInput->maxLength(), 1);
        QCOMPARE(v.KeyExtensionInput->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(v.KeyExtensionInput->toolTip(),
                 QStringLiteral("Input your Key Extension character again [optional]..."));
        QCOMPARE(v.VerifyButton->geometry(), QRect(80, 80, 75, 25));
        QCOMPARE(v.VerifyButton->text(), QStringLiteral("Verify"));
        QCOMPARE(v.VerifyButton->toolTip(), QStringLiteral("Start the verification..."));
        QVERIFY(v.VerifyButton->isDefault());
        QVERIFY(v.VerifyButton->font().bold());
        QVERIFY(!v.VerifyButton->icon().isNull());
        QVERIFY(!v.VerifyButton->isEnabled());
    }

    void verifyButtonWaitsForSixCharacters() {
        Windows w;
        auto& v = w.windows->Verify();
        QTest::keyClicks(v.KeyInput, "abcde");
        QVERIFY(!v.VerifyButton->isEnabled());
        QTest::keyClick(v.KeyInput, 'f');
        QVERIFY(v.VerifyButton->isEnabled());
        QTest::keyClick(v.KeyInput, Qt::Key_Backspace);
        QVERIFY(!v.VerifyButton->isEnabled());
    }

    void sameKeyAndExtensionGiveTwoNotices() {
        Windows w;
        Prepare(w);
        auto& m = w.main();
        ReEnter(w.windows->Verify(), QStringLiteral("Secret7"), QStringLiteral("z"));
        m.KeyConfirmItem->trigger();
        QCOMPARE(Events(w.host),
                 (std::vector<std::string>{"notice Key verification ok!",
                                           "notice Key Extension verification ok!"}));
        QCOMPARE(m.Key, std::string("Secret7"));
        QCOMPARE(m.KeyExtension, std::string("z"));
        QCOMPARE(m.KeyInput->text(), QStringLiteral("Secret7"));
        QCOMPARE(m.KeyExtensionInput->text(), QStringLiteral("z"));
        QVERIFY(m.VerifyButton->isEnabled());
    }

    void bothExtensionsEmptyVerifyAsEqual() {
        Windows w;
        Prepare(w, QString());
        ReEnter(w.windows->Verify(), QStringLiteral("Secret7"), QString());
        QTest::mouseClick(w.main().VerifyButton, Qt::LeftButton);
        QCOMPARE(
            w.host.MessageTexts(),
            (std::vector<std::string>{"Key verification ok!", "Key Extension verification ok!"}));
        QCOMPARE(w.main().KeyExtension, kNul);
    }

    void differentKeyEmptiesKeyAndExtension() {
        Windows w;
        Prepare(w);
        auto& m = w.main();
        m.KeyFileNameInput->setFocus();
        // Differs in the case of one letter only.
        ReEnter(w.windows->Verify(), QStringLiteral("secret7"), QStringLiteral("z"));
        m.KeyVerification();
        QCOMPARE(Events(w.host),
                 (std::vector<std::string>{"sound 64", "notice Key verification failure!"}));
        QVERIFY(m.Key.empty());
        QCOMPARE(m.KeyExtension, kNul);
        QVERIFY(m.KeyInput->text().isEmpty());
        QVERIFY(m.KeyExtensionInput->text().isEmpty());
        QCOMPARE(m.focusWidget(), m.KeyInput);
        QVERIFY(!m.VerifyButton->isEnabled());
        QVERIFY(!m.KeyConfirmItem->isEnabled());
    }

    void differentExtensionEmptiesTheExtensionOnly() {
        Windows w;
        Prepare(w);
        auto& m = w.main();
        ReEnter(w.windows->Verify(), QStringLiteral("Secret7"), QStringLiteral("y"));
        m.KeyVerification();
        QCOMPARE(Events(w.host),
                 (std::vector<std::string>{"notice Key verification ok!", "sound 64",
                                           "notice Key Extension verification failure!"}));
        QCOMPARE(m.Key, std::string("Secret7"));
        QCOMPARE(m.KeyInput->text(), QStringLiteral("Secret7"));
        QCOMPARE(m.KeyExtension, kNul);
        QVERIFY(m.KeyExtensionInput->text().isEmpty());
        QCOMPARE(m.focusWidget(), m.KeyExtensionInput);
        QVERIFY(m.VerifyButton->isEnabled());
    }

    void missingExtensionFailsAgainstAGivenOne() {
        Windows w;
        Prepare(w);
        ReEnter(w.windows->Verify(), QStringLiteral("Secret7"), QString());
        w.main().KeyVerification();
        QCOMPARE(w.host.MessageTexts(),
                 (std::vector<std::string>{"Key verification ok!",
                                           "Key Extension verification failure!"}));
        QCOMPARE(w.host.Sounds(), std::vector<Sound>{Sound::Asterisk});
    }

    void noticesAreTitledVelkor32() {
        Windows w;
        Prepare(w);
        ReEnter(w.windows->Verify(), QStringLiteral("Secret8"), QString());
        w.main().KeyVerification();
        const auto messages = w.host.Messages();
        QCOMPARE(messages.size(), std::size_t{1});
        QCOMPARE(messages[0].kind, velkor::MessageKind::Plain);
        QCOMPARE(messages[0].buttons, velkor::Buttons::Ok);
        QVERIFY(messages[0].caption.empty());  // the application title
    }

    void closeBoxChangesNothing() {
        Windows w;
        Prepare(w);
        auto& v = w.windows->Verify();
        WhenShown(v, [&v] {
            QTest::keyClicks(v.KeyInput, QStringLiteral("Other99"));
            v.close();
        });
        w.main().KeyVerification();
        QVERIFY(w.host.events.empty());
        QCOMPARE(w.main().Key, std::string("Secret7"));
        QCOMPARE(w.main().KeyExtension, std::string("z"));
    }

    void escapeDoesNotCloseIt() {
        Windows w;
        Prepare(w);
        auto& v = w.windows->Verify();
        bool stillOpen = false;
        WhenShown(v, [&] {
            QTest::keyClick(v.KeyInput, Qt::Key_Escape);
            stillOpen = v.isVisible();
            v.close();
        });
        w.main().KeyVerification();
        QVERIFY(stillOpen);
        QVERIFY(w.host.events.empty());
    }

    void enterPressesVerifyOnceSixCharactersAreIn() {
        Windows w;
        Prepare(w);
        auto& v = w.windows->Verify();
        bool openAfterShortEnter = false;
        WhenShown(v, [&] {
            QTest::keyClicks(v.KeyInput, QStringLiteral("Secre"));
            QTest::keyClick(v.KeyInput, Qt::Key_Return);
            openAfterShortEnter = v.isVisible();
            QTest::keyClick(v.KeyInput, 't');
            QTest::keyClick(v.KeyInput, '7');
            QTest::keyClicks(v.KeyExtensionInput, QStringLiteral("z"));
            QTest::keyClick(v.KeyExtensionInput, Qt::Key_Return);
        });
        w.main().KeyVerification();
        QVERIFY(openAfterShortEnter);
        QCOMPARE(
            w.host.MessageTexts(),
            (std::vector<std::string>{"Key verification ok!", "Key Extension verification ok!"}));
    }

    void everyShowingStartsEmpty() {
        Windows w;
        Prepare(w);
        auto& v = w.windows->Verify();
        ReEnter(v, QStringLiteral("Secret7"), QStringLiteral("z"));
        w.main().KeyVerification();
        bool emptyOnShow = false;
        WhenShown(v, [&] {
            emptyOnShow = v.KeyInput->text().isEmpty() && v.KeyExtensionInput->text().isEmpty() &&
                          !v.VerifyButton->isEnabled() && v.focusWidget() == v.KeyInput;
            v.close();
        });
        w.main().KeyVerification();
        QVERIFY(emptyOnShow);
    }
};

QTEST_MAIN(VerifyTest)
#include "VerifyTest.moc"
