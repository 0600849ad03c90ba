#include <unistd.h>
#include <QAction>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyle>
#include <QTest>
#include <QToolButton>

#include "AboutDialog.h"
#include "CompilerDialog.h"
#include "ConversionDialog.h"
#include "FileDialogs.h"
#include "GuiFixture.h"
#include "HintHook.h"
#include "KeyVerificationDialog.h"
#include "TempDir.h"
#include "Widgets.h"

using velkor::HintHook;
using velkor::testing::MovePointer;
using velkor::testing::RunEventLoop;
using velkor::testing::RunEventLoopUntil;
using velkor::testing::TempDir;
using velkor::testing::TypeText;
using velkor::testing::Windows;
using Type = velkor::testing::HostEvent::Type;

namespace {

// Changes the current directory for one test.
class InDirectory {
  public:
    explicit InDirectory(const std::string& path) : previous_(QDir::currentPath()) {
        QVERIFY2(::chdir(path.c_str()) == 0, path.c_str());
    }
    ~InDirectory() { QDir::setCurrent(previous_); }

  private:
    QString previous_;
};

const std::string kNul(1, '\0');

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void windowsAreCreatedInOrder() {
        Windows w;
        const std::vector<std::string> expected = {"MainWindow", "AboutDialog", "CompilerDialog",
                                                   "KeyVerificationDialog", "ConversionDialog"};
        QCOMPARE(w.windows->creationLog, expected);
        QVERIFY(!w.main().isVisible());
        QVERIFY(!w.windows->About().isVisible());
        QVERIFY(!w.windows->Compiler().CompilePending);
        QVERIFY(!w.windows->Compiler().Compiling);
        QVERIFY(!w.windows->Compiler().CompileAborted);
        QVERIFY(!w.windows->Convert().ConvertPending);
    }

    void defaultsRightAfterStart() {
        Windows w(velkor::testing::RunningProgram(), true);
        auto& m = w.main();
        QVERIFY(!m.VerifyButton->isEnabled());
        QVERIFY(!m.KeyConfirmItem->isEnabled());
        QVERIFY(m.DecryptRadioButton->isChecked());
        QVERIFY(!m.EncryptRadioButton->isChecked());
        QVERIFY(!m.EncryptMode);
        QVERIFY(m.SwiftItem->isChecked());
        QVERIFY(m.SwiftButton->Lowered());
        QVERIFY(m.Swift());
        QVERIFY(m.Key.empty());
        QCOMPARE(m.KeyExtension, kNul);
        QVERIFY(m.KeyFileName.empty());
        QVERIFY(m.SourceFileName.empty());
        QVERIFY(m.DrainFileName.empty());
        QVERIFY(m.DefaultDirectory.empty());
        QVERIFY(!m.DrainConfirmed);
        QVERIFY(!m.CompileRequested);
        QVERIFY(m.RequestChecks.ReportReadErrors);
        QVERIFY(m.CompileButton->isEnabled());
        QVERIFY(m.CompileItem->isEnabled());
        QVERIFY(m.GroupsButton->isEnabled());
        QVERIFY(m.AnalyseButton->isEnabled());
        QCOMPARE(m.StatusText(), velkor::MainWindow::Banner());
        QVERIFY(!m.StatusText().isEmpty());
        const auto settings = m.JobSettings();
        QCOMPARE(settings.KeyExtension, 0);
        QVERIFY(settings.Swift);
        QVERIFY(!settings.EncryptMode);
    }

    void windowLooksAsLaidOut() {
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        QCOMPARE(m.windowTitle(), QStringLiteral("Velkor32"));
        QCOMPARE(m.width(), 361);
        QCOMPARE(m.height() - m.menuBar()->height(), 354);
        QCOMPARE(m.minimumSize(), m.maximumSize());
        QVERIFY(!(m.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(m.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(m.windowFlags() & Qt::WindowSystemMenuHint);
        QCOMPARE(m.centralWidget()->geometry().topLeft(), QPoint(0, m.menuBar()->height()));
        QCOMPARE(m.StatusBar->geometry(), QRect(0, m.menuBar()->height() + 335, 361, 19));
        QVERIFY(!m.StatusBar->isSizeGripEnabled());
        QVERIFY(!m.StatusBar->isEnabled());

        struct Row {
            QWidget* control;
            QRect rect;
            const char* hint;
        };
        const Row rows[] = {
            {m.EncryptDecryptGroupBox, {16, 0, 89, 65}, "Chose an action..."},
            {m.EncryptRadioButton, {8, 16, 70, 17}, "Encode a file..."},
            {m.DecryptRadioButton, {8, 40, 70, 17}, "Decode a file..."},
            {m.TopicText, {136, 0, 125, 50}, ""},
            {m.VelkorLogo, {312, 8, 32, 32}, "Who is who..."},
            {m.SwiftButton, {16, 80, 48, 25}, "Use fast method..."},
            {m.VerifyButton, {80, 80, 25, 25}, "Confirm your key and the optional keyextension..."},
            {m.KeyInput, {120, 80, 201, 21}, "Input your key..."},
            {m.KeyExtensionInput,
             {328, 72, 17, 28},
             "Input your key extension character [optional]..."},
            {m.KeyFileSearchButton, {80, 136, 25, 25}, "Search for the key file..."},
            {m.KeyFileNameInput, {120, 136, 225, 21}, "Insert the name of the key file..."},
            {m.SourceFileSearchButton, {80, 192, 25, 25}, "Search for the input file..."},
            {m.SourceFileNameInput,
             {120, 192, 225, 21},
             "Insert the name of the file to be compiled..."},
            {m.DrainFileSearchButton, {80, 248, 25, 25}, "Place the output file..."},
            {m.DrainFileNameInput,
             {120, 248, 225, 21},
             "Insert the name of the file to be compiled to..."},
            {m.AnalyseButton, {16, 296, 40, 25}, "Summarize the frequency of symbols in a file..."},
            {m.GroupsButton,
             {66, 296, 40, 25},
             "Encode or decode alphanumerical groups to five characters each..."},
            {m.CloseButton, {120, 296, 90, 25}, "Quit Velkor32..."},
            {m.CompileButton, {224, 296, 120, 25}, "Start the velkor compiler..."},
        };
        for (const Row& row : rows) {
            const QString name = row.control->metaObject()->className();
            QVERIFY2(row.control->geometry() == row.rect, qPrintable(name));
            QCOMPARE(HintHook::HintOf(row.control), QString::fromLatin1(row.hint));
            const bool tooltipOff =
                row.control == m.VelkorLogo || row.control == m.EncryptDecryptGroupBox;
            QCOMPARE(row.control->toolTip(),
                     tooltipOff ? QString() : QString::fromLatin1(row.hint));
        }

        // Labels size themselves; their places are fixed.
        QCOMPARE(m.KeyInfo->pos(), QPoint(136, 64));
        QCOMPARE(m.KeyFileInfo->pos(), QPoint(136, 120));
        QCOMPARE(m.InputFileInfo->pos(), QPoint(136, 176));
        QCOMPARE(m.OutputFileInfo->pos(), QPoint(136, 232));
        QCOMPARE(m.KeyInfo->text(), QStringLiteral("Key:  (Min. 6 Characters)"));
        QCOMPARE(m.KeyFileInfo->text(), QStringLiteral("Key file: [Optional]"));
        QCOMPARE(m.InputFileInfo->text(), QStringLiteral("Source file: (Input)"));
        QCOMPARE(m.OutputFileInfo->text(), QStringLiteral("Drain file: (Output)"));
        QCOMPARE(m.TopicText->text(), QStringLiteral("VELKOR"));
        QCOMPARE(m.EncryptRadioButton->text(), QStringLiteral("Encrypt"));
        QCOMPARE(m.DecryptRadioButton->text(), QStringLiteral("Decrypt"));
        QCOMPARE(m.SwiftButton->Caption(), QStringLiteral("Swift"));
        QCOMPARE(m.CloseButton->text(), QStringLiteral("Close"));
        QCOMPARE(m.CompileButton->text(), QStringLiteral(" Compile "));
        QVERIFY(m.EncryptDecryptGroupBox->title().isEmpty());
        QVERIFY(m.EncryptDecryptGroupBox->font().bold());
        QVERIFY(m.CompileButton->font().bold());
        QVERIFY(m.CloseButton->font().bold());
        QVERIFY(m.SwiftButton->font().italic());
        QVERIFY(!m.VelkorLogo->pixmap().isNull());
        QCOMPARE(m.VelkorLogo->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(m.SwiftButton->cursor().shape(), Qt::PointingHandCursor);
        for (QToolButton* button : {m.KeyFileSearchButton, m.SourceFileSearchButton,
                                    m.DrainFileSearchButton, m.AnalyseButton, m.GroupsButton}) {
            QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
            QVERIFY(!button->icon().isNull());
        }
        QVERIFY(!m.VerifyButton->icon().isNull());
        QVERIFY(!m.CloseButton->icon().isNull());
        QVERIFY(!m.CompileButton->icon().isNull());

        QCOMPARE(m.KeyInput->echoMode(), QLineEdit::Password);
        QCOMPARE(m.KeyInput->maxLength(), 128);
        QCOMPARE(m.KeyExtensionInput->echoMode(), QLineEdit::Password);
        QCOMPARE(m.KeyExtensionInput->maxLength(), 1);
        QCOMPARE(m.KeyExtensionInput->font().pixelSize(), 16);
        QVERIFY(!m.KeyInput->AutoSelect());
        QCOMPARE(m.KeyInput->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                                m.KeyInput),
                 int('X'));
        QCOMPARE(QApplication::focusWidget(), m.KeyInput);
    }

    void menuHasItsItemsShortcutsAndHints() {
        Windows w;
        auto& m = w.main();
        const QList<QAction*> top = m.menuBar()->actions();
        QCOMPARE(top.size(), 2);
        QCOMPARE(top[0]->text(), QStringLiteral("&Main"));
        QCOMPARE(HintHook::HintOf(top[0]), QStringLiteral("Velkor32's main menu..."));
        QCOMPARE(top[1]->text(), QStringLiteral("&Info"));
        QCOMPARE(HintHook::HintOf(top[1]), QStringLiteral("Velkor32's info menu..."));

        struct Item {
            QAction* action;
            const char* caption;
            QKeySequence shortcut;
            const char* hint;
        };
        const Item items[] = {
            {m.KeyConfirmItem, "Con&firm Key", QKeySequence(Qt::ALT | Qt::Key_F),
             "Confirm your key and the optional keyextension..."},
            {m.SourceSearchItem, "&Source file", QKeySequence(Qt::ALT | Qt::Key_S),
             "Search for the input file..."},
            {m.DrainSearchItem, "&Drain file", QKeySequence(Qt::ALT | Qt::Key_D),
             "Place the output file..."},
            {m.KeySearchItem, "&Key file", QKeySequence(Qt::ALT | Qt::Key_K),
             "Search for the key file..."},
            {m.CompileItem, "&Compile", QKeySequence(Qt::ALT | Qt::Key_C),
             "Start the velkor compiler..."},
            {m.AnalyseSearchItem, "&Analyse file", QKeySequence(Qt::ALT | Qt::Key_A),
             "Summarize the frequency of symbols in a file..."},
            {m.SwiftItem, "S&wift", QKeySequence(Qt::ALT | Qt::Key_W), "Use fast method..."},
            {m.GroupItem, "&Groups", QKeySequence(Qt::ALT | Qt::Key_G),
             "Encode or decode alphanumerical groups to five characters each..."},
            {m.ExitItem, "E&xit", QKeySequence(Qt::ALT | Qt::Key_X), "Quit Velkor32..."},
            {m.AboutItem, "&About", QKeySequence(Qt::ALT | Qt::Key_F1), "Who is who..."},
        };
        for (const Item& item : items) {
            QCOMPARE(item.action->text(), QString::fromLatin1(item.caption));
            QCOMPARE(item.action->shortcut(), item.shortcut);
            QCOMPARE(HintHook::HintOf(item.action), QString::fromLatin1(item.hint));
        }
        const QList<QAction*> entries = m.FileMenu->actions();
        const QList<QAction*> expected = {m.BreakLine1,        m.KeyConfirmItem, m.SourceSearchItem,
                                          m.DrainSearchItem,   m.KeySearchItem,  m.CompileItem,
                                          m.AnalyseSearchItem, m.SwiftItem,      m.GroupItem,
                                          m.BreakLine2,        m.ExitItem};
        QCOMPARE(entries, expected);
        QVERIFY(m.BreakLine1->isSeparator());
        QVERIFY(m.BreakLine2->isSeparator());
        QVERIFY(!m.FileMenu->separatorsCollapsible());
        QCOMPARE(m.FileMenu->defaultAction(), m.ExitItem);
        QVERIFY(m.ExitItem->font().bold());
        QVERIFY(m.SwiftItem->isCheckable());
        QCOMPARE(m.Info->actions(), QList<QAction*>{m.AboutItem});
    }

    void tabOrderFollowsTheFields() {
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        QCOMPARE(QApplication::focusWidget(), m.KeyInput);
        const QList<QWidget*> order = {
            m.KeyExtensionInput,  m.KeyFileNameInput, m.SourceFileNameInput, m.DrainFileNameInput,
            m.DecryptRadioButton, m.CompileButton,    m.CloseButton,         m.KeyInput};
        for (QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        // With Encrypt chosen, it is the direction's tab stop.
        QTest::mouseClick(m.EncryptRadioButton, Qt::LeftButton);
        m.DrainFileNameInput->setFocus();
        QTest::keyClick(m.DrainFileNameInput, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), m.EncryptRadioButton);
        QTest::keyClick(m.EncryptRadioButton, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), m.CompileButton);
        QTest::keyClick(m.CompileButton, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), m.EncryptRadioButton);
    }

    void sixthKeyCharacterEnablesVerifyAndFifthDisables() {
        Windows w;
        auto& m = w.main();
        QTest::keyClicks(m.KeyInput, "abcde");
        QCOMPARE(m.Key, std::string("abcde"));
        QVERIFY(!m.VerifyButton->isEnabled());
        QVERIFY(!m.KeyConfirmItem->isEnabled());
        QTest::keyClick(m.KeyInput, 'f');
        QCOMPARE(m.Key, std::string("abcdef"));
        QVERIFY(m.VerifyButton->isEnabled());
        QVERIFY(m.KeyConfirmItem->isEnabled());
        QTest::keyClick(m.KeyInput, Qt::Key_Backspace);
        QCOMPARE(m.Key, std::string("abcde"));
        QVERIFY(!m.VerifyButton->isEnabled());
        QVERIFY(!m.KeyConfirmItem->isEnabled());
    }

    void keyHoldsAtMost128Characters() {
        Windows w;
        auto& m = w.main();
        QTest::keyClicks(m.KeyInput, QString(130, QLatin1Char('k')));
        QCOMPARE(m.KeyInput->text().size(), 128);
        QCOMPARE(m.Key, std::string(128, 'k'));
    }

    void keysAreWindows1252Bytes() {
        Windows w;
        auto& m = w.main();
        TypeText(m.KeyInput, QStringLiteral("\u00E4\u20AC\u00DFxyz"));
        QCOMPARE(m.Key, std::string("\xE4\x80\xDFxyz"));
        QVERIFY(w.host.events.empty());
        TypeText(m.KeyExtensionInput, QStringLiteral("\u0153"));
        QCOMPARE(m.KeyExtension, std::string("\x9C"));
        QCOMPARE(m.JobSettings().KeyExtension, 0x9C);
    }

    void keyFieldsRefuseCharactersWithoutAByteAudibly() {
        Windows w;
        auto& m = w.main();
        auto& verify = w.windows->Verify();
        const std::vector<velkor::Sound> warning = {velkor::Sound::Exclamation};
        const std::pair<velkor::EntryEdit*, QString> cases[] = {
            {m.KeyInput, QStringLiteral("\u0142")},           // Polish l with stroke
            {m.KeyExtensionInput, QStringLiteral("\u0416")},  // Cyrillic Zhe
            {verify.KeyInput, QStringLiteral("\u03A9")},      // Greek Omega
            {verify.KeyExtensionInput, QStringLiteral("\u0142")},
        };
        for (const auto& [field, character] : cases) {
            w.host.events.clear();
            field->setText(QStringLiteral("abc"));
            velkor::testing::TypeText(field, character);
            QCOMPARE(field->text(), QStringLiteral("abc").left(field->maxLength()));
            QCOMPARE(w.host.Sounds(), warning);
            QCOMPARE(m.StatusText(), velkor::MainWindow::RefusedKeyCharacterHint());
            w.windows->hintHook->SetCurrentHint({});
        }
        QCOMPARE(m.Key, std::string("abc"));
    }

    void emptyExtensionIsCodeZero() {
        Windows w;
        auto& m = w.main();
        QTest::keyClick(m.KeyExtensionInput, 'q');
        QCOMPARE(m.KeyExtension, std::string("q"));
        QTest::keyClick(m.KeyExtensionInput, Qt::Key_Backspace);
        QCOMPARE(m.KeyExtension, kNul);
        QCOMPARE(m.KeyExtension.size(), std::size_t{1});
    }

    void fileFieldsFollowTheirTexts() {
        Windows w;
        auto& m = w.main();
        m.KeyFileNameInput->setText(QStringLiteral("/tmp/k\u00F6y"));
        m.SourceFileNameInput->setText(QStringLiteral("/tmp/source"));
        m.DrainFileNameInput->setText(QStringLiteral("/tmp/drain"));
        QCOMPARE(m.KeyFileName, std::string("/tmp/k\xC3\xB6y"));
        QCOMPARE(m.SourceFileName, std::string("/tmp/source"));
        QCOMPARE(m.DrainFileName, std::string("/tmp/drain"));
        const auto settings = m.JobSettings();
        QCOMPARE(settings.SourceFileName, std::string("/tmp/source"));
        QCOMPARE(settings.DrainFileName, std::string("/tmp/drain"));
    }

    void swiftFromPanelAndMenuNeverDisagree() {
        Windows w;
        auto& m = w.main();
        auto agree = [&m](bool on) {
            QCOMPARE(m.SwiftItem->isChecked(), on);
            QCOMPARE(m.SwiftButton->Lowered(), on);
            QCOMPARE(m.Swift(), on);
        };
        QTest::mouseClick(m.SwiftButton, Qt::LeftButton);
        agree(false);
        QTest::mouseClick(m.SwiftButton, Qt::LeftButton);
        agree(true);
        QTest::mouseClick(m.SwiftButton, Qt::LeftButton);
        agree(false);
        m.SwiftItem->trigger();
        agree(true);
        m.SwiftItem->trigger();
        agree(false);
        m.SwiftItem->trigger();
        agree(true);
        m.SwiftItem->trigger();
        agree(false);
        QTest::mouseClick(m.SwiftButton, Qt::LeftButton);
        agree(true);
    }

    void swiftShortcutToggles() {
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        QTest::keyClick(&m, Qt::Key_W, Qt::AltModifier);
        QVERIFY(!m.SwiftItem->isChecked());
        QVERIFY(!m.SwiftButton->Lowered());
        QTest::keyClick(&m, Qt::Key_W, Qt::AltModifier);
        QVERIFY(m.SwiftItem->isChecked());
        QVERIFY(m.SwiftButton->Lowered());
    }

    void directionMovesFocusToTheKey() {
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        m.SourceFileNameInput->setFocus();
        QTest::mouseClick(m.EncryptRadioButton, Qt::LeftButton);
        QVERIFY(m.EncryptMode);
        QCOMPARE(QApplication::focusWidget(), m.KeyInput);
        m.SourceFileNameInput->setFocus();
        QTest::mouseClick(m.DecryptRadioButton, Qt::LeftButton);
        QVERIFY(!m.EncryptMode);
        QCOMPARE(QApplication::focusWidget(), m.KeyInput);
        QCOMPARE(m.JobSettings().EncryptMode, false);
    }

    void drainConfirmedThroughSaveDialogCancelAndTyping() {
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        std::optional<QString> answer = QStringLiteral("/tmp/out.bin");
        velkor::FileDialog* used = nullptr;
        m.RunFileDialog = [&](velkor::FileDialog& dialog) {
            used = &dialog;
            dialog.selectFile(QStringLiteral("/tmp/typed-in-dialog"));
            return answer;
        };

        m.OutputFileSearch();
        QCOMPARE(used, m.OutputDialog);
        QCOMPARE(m.DrainFileName, std::string("/tmp/out.bin"));
        QCOMPARE(m.DrainFileNameInput->text(), QStringLiteral("/tmp/out.bin"));
        QVERIFY(m.DrainConfirmed);
        QCOMPARE(QApplication::focusWidget(), m.DrainFileNameInput);

        // The same file again: the text does not change, the name stays confirmed.
        m.OutputFileSearch();
        QVERIFY(m.DrainConfirmed);
        QCOMPARE(m.DrainFileName, std::string("/tmp/out.bin"));

        // Typing one character withdraws the confirmation.
        m.DrainFileNameInput->end(false);
        QTest::keyClick(m.DrainFileNameInput, 'x');
        QVERIFY(!m.DrainConfirmed);
        QCOMPARE(m.DrainFileName, std::string("/tmp/out.binx"));

        m.OutputFileSearch();
        QVERIFY(m.DrainConfirmed);
        // Cancelling keeps the text but withdraws the confirmation.
        answer.reset();
        m.OutputFileSearch();
        QVERIFY(!m.DrainConfirmed);
        QCOMPARE(m.DrainFileNameInput->text(), QStringLiteral("/tmp/out.bin"));
        QCOMPARE(QApplication::focusWidget(), m.DrainFileNameInput);
        QVERIFY(w.host.events.empty());
    }

    void openDialogFillsKeyAndSourceFields() {
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        std::optional<QString> answer = QStringLiteral("/tmp/key.dat");
        QList<velkor::FileDialog*> used;
        m.RunFileDialog = [&](velkor::FileDialog& dialog) {
            used.append(&dialog);
            return answer;
        };
        m.KeySearchItem->trigger();
        QCOMPARE(m.KeyFileName, std::string("/tmp/key.dat"));
        QCOMPARE(QApplication::focusWidget(), m.KeyFileNameInput);
        answer = QStringLiteral("/tmp/source.txt");
        QTest::mouseClick(m.SourceFileSearchButton, Qt::LeftButton);
        QCOMPARE(m.SourceFileName, std::string("/tmp/source.txt"));
        QCOMPARE(QApplication::focusWidget(), m.SourceFileNameInput);
        answer.reset();
        m.KeyFileSearch();
        QCOMPARE(m.KeyFileName, std::string("/tmp/key.dat"));
        QVERIFY(!m.DrainConfirmed);
        QCOMPARE(used, (QList<velkor::FileDialog*>{m.InputDialog, m.InputDialog, m.InputDialog}));
    }

    void dialogsHaveTheirTitlesAndOptions() {
        Windows w;
        auto& m = w.main();
        QCOMPARE(m.InputDialog->windowTitle(), QStringLiteral("Open file"));
        QCOMPARE(m.InputDialog->acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(m.InputDialog->fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(m.OutputDialog->windowTitle(), QStringLiteral("Save to file"));
        QCOMPARE(m.OutputDialog->acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(m.InputDialog->defaultSuffix().isEmpty());
        QVERIFY(m.OutputDialog->defaultSuffix().isEmpty());
    }

    void saveDialogAsksBeforeOverwritingOrCreating() {
        Windows w;
        TempDir dir;
        dir.Write("old.bin", "data");
        auto& dialog = static_cast<velkor::SaveFileDialog&>(*w.main().OutputDialog);
        w.host.Answers(
            {velkor::Answer::No, velkor::Answer::Yes, velkor::Answer::No, velkor::Answer::Yes});
        QVERIFY(!dialog.Acceptable(QString::fromStdString(dir.Path("old.bin"))));
        QVERIFY(dialog.Acceptable(QString::fromStdString(dir.Path("old.bin"))));
        QVERIFY(!dialog.Acceptable(QString::fromStdString(dir.Path("new.bin"))));
        QVERIFY(dialog.Acceptable(QString::fromStdString(dir.Path("new.bin"))));
        const auto messages = w.host.Messages();
        QCOMPARE(messages.size(), std::size_t{4});
        QCOMPARE(messages[0].kind, velkor::MessageKind::Confirmation);
        QCOMPARE(messages[0].buttons, velkor::Buttons::YesNo);
        QVERIFY(messages[0].text.find("old.bin already exists.") == 0);
        QVERIFY(messages[2].text.find("does not exist") != std::string::npos);
        QVERIFY(!dialog.Acceptable(QString::fromStdString(dir.Path("nofolder/x.bin"))));
        QCOMPARE(w.host.Messages().back().kind, velkor::MessageKind::Warning);
    }

    void saveDialogRefusesWriteProtectedFiles() {
        if (::geteuid() == 0) {
            QSKIP("root may write any file");
        }
        Windows w;
        TempDir dir;
        dir.Write("locked.bin", "data");
        QFile::setPermissions(QString::fromStdString(dir.Path("locked.bin")),
                              QFileDevice::ReadOwner);
        auto& dialog = static_cast<velkor::SaveFileDialog&>(*w.main().OutputDialog);
        QVERIFY(!dialog.Acceptable(QString::fromStdString(dir.Path("locked.bin"))));
        QVERIFY(w.host.Messages().at(0).text.find("write-protected") != std::string::npos);
    }

    void doubleClickOpensTheFileInItsFolder() {
        Windows w;
        auto& m = w.main();
        m.SourceFileNameInput->setText(QStringLiteral("/home/me/texts/notes.txt"));
        QTest::mouseDClick(m.SourceFileNameInput, Qt::LeftButton);
        m.KeyFileNameInput->setText(QStringLiteral("key.bin"));
        QTest::mouseDClick(m.KeyFileNameInput, Qt::LeftButton);
        QTest::mouseDClick(m.DrainFileNameInput, Qt::LeftButton);
        const auto& events = w.host.events;
        QCOMPARE(events.size(), std::size_t{3});
        QCOMPARE(events[0].type, Type::ShellOpen);
        QCOMPARE(events[0].text, std::string("notes.txt"));
        QCOMPARE(events[0].directory, std::string("/home/me/texts/"));
        QCOMPARE(events[1].text, std::string("key.bin"));
        QCOMPARE(events[1].directory, std::string());
        QCOMPARE(events[2].text, std::string());
    }

    void enterCompilesAndEscapeCloses() {
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        QSignalSpy compile(m.CompileButton, &QPushButton::clicked);
        QSignalSpy close(m.CloseButton, &QPushButton::clicked);
        QTest::keyClick(m.KeyInput, Qt::Key_Return);
        QCOMPARE(compile.count(), 1);
        m.DecryptRadioButton->setFocus();
        QTest::keyClick(m.DecryptRadioButton, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(compile.count(), 2);
        QVERIFY(m.CompileButton->isEnabled());
        QVERIFY(m.CompileItem->isEnabled());
        QCOMPARE(close.count(), 0);
        QVERIFY(m.isVisible());
        QTest::keyClick(m.SourceFileNameInput, Qt::Key_Escape);
        QCOMPARE(close.count(), 1);
        QVERIFY(!m.isVisible());
    }

    void enterOnFocusedCloseCloses() {
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        QSignalSpy compile(m.CompileButton, &QPushButton::clicked);
        m.CloseButton->setFocus();
        QTest::keyClick(m.CloseButton, Qt::Key_Return);
        QCOMPARE(compile.count(), 0);
        QVERIFY(!m.isVisible());
    }

    void exitItemAndCloseBoxEndTheProgram() {
        {
            Windows w;
            w.main().show();
            QVERIFY(QTest::qWaitForWindowExposed(&w.main()));
            w.main().ExitItem->trigger();
            QVERIFY(!w.main().isVisible());
        }
        {
            Windows w;
            w.main().show();
            QVERIFY(QTest::qWaitForWindowExposed(&w.main()));
            QVERIFY(w.main().close());
            QVERIFY(!w.main().isVisible());
            QVERIFY(w.host.events.empty());
        }
    }

    void statusBarShowsBannerUntilThePointerMoves() {
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        QTest::qWait(20);
        QCOMPARE(m.StatusText(), velkor::MainWindow::Banner());
        MovePointer(m.CompileButton);
        QCOMPARE(m.StatusText(), QStringLiteral("Start the velkor compiler..."));
        MovePointer(m.KeyInfo);
        QCOMPARE(m.StatusText(), QString());
        MovePointer(m.EncryptRadioButton);
        QCOMPARE(m.StatusText(), QStringLiteral("Encode a file..."));
        // Inside the group box but off its buttons: the box's own hint.
        MovePointer(m.EncryptDecryptGroupBox, QPoint(85, 60));
        QCOMPARE(m.StatusText(), QStringLiteral("Chose an action..."));
        // A disabled control still has its hint.
        MovePointer(m.VerifyButton);
        QCOMPARE(m.StatusText(),
                 QStringLiteral("Confirm your key and the optional keyextension..."));
        MovePointer(m.centralWidget(), QPoint(5, 275));
        QCOMPARE(m.StatusText(), QString());
        MovePointer(m.StatusBar);
        QCOMPARE(m.StatusText(), QString());
        QVERIFY(m.StatusText() != velkor::MainWindow::Banner());
    }

    void statusBarShowsMenuHints() {
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        const QRect mainTitle = m.menuBar()->actionGeometry(m.FileMenu->menuAction());
        MovePointer(m.menuBar(), mainTitle.center());
        QCOMPARE(m.StatusText(), QStringLiteral("Velkor32's main menu..."));
        m.FileMenu->popup(m.mapToGlobal(QPoint(0, 0)));
        QVERIFY(QTest::qWaitForWindowExposed(m.FileMenu));
        MovePointer(m.FileMenu, m.FileMenu->actionGeometry(m.GroupItem).center());
        QCOMPARE(
            m.StatusText(),
            QStringLiteral("Encode or decode alphanumerical groups to five characters each..."));
        MovePointer(m.FileMenu, m.FileMenu->actionGeometry(m.BreakLine2).center());
        QCOMPARE(m.StatusText(), QString());
        m.FileMenu->setActiveAction(m.ExitItem);
        QCOMPARE(m.StatusText(), QStringLiteral("Quit Velkor32..."));
        m.FileMenu->hide();
    }

    void hintsOfOtherWindowsReachTheStatusBar() {
        Windows w;
        auto& m = w.main();
        MovePointer(w.windows->Verify().KeyInput);
        QCOMPARE(m.StatusText(), QStringLiteral("Input your Key again..."));
        MovePointer(w.windows->Verify().KeyInfo);
        QCOMPARE(m.StatusText(), QStringLiteral("Confirm your Key and Key Extension..."));
        MovePointer(w.windows->About().Version);
        QCOMPARE(m.StatusText(), QStringLiteral("About..."));
    }

    void authenticateFindsTheProgramFromAnyFolder() {
        // Installed in one folder, started in another (a menu starts programs
        // in the home folder); the link's own name does not matter.
        TempDir dir;
        QDir().mkpath(QString::fromStdString(dir.Path("bin")));
        dir.Write("bin/velkor32", "program");
        QVERIFY(QFile::link(QString::fromStdString(dir.Path("bin/velkor32")),
                            QString::fromStdString(dir.Path("vk"))));
        QDir().mkpath(QString::fromStdString(dir.Path("home")));
        InDirectory here(dir.Path("home"));
        for (const char* started : {"bin/velkor32", "vk"}) {
            Windows w(dir.Path(started), true);
            w.main().Authenticate();
            QCOMPARE(w.main().DefaultDirectory, dir.Path("home") + "/");
            QVERIFY(w.host.events.empty());
        }
    }

    void authenticateEndsTheProgramWhenItsFileIsGone() {
        TempDir dir;
        dir.Write("velkor32", "x");  // a file of the same name in the current folder does not count
        QDir().mkpath(QString::fromStdString(dir.Path("bin/velkor32")));  // nor does a folder
        InDirectory here(dir.Folder());
        Windows w(dir.Path("bin/velkor32"), true);
        w.main().show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.main()));
        w.main().Authenticate();
        QVERIFY(w.main().DefaultDirectory.empty());
        QVERIFY(!w.main().isVisible());
        const auto& events = w.host.events;
        QCOMPARE(events.size(), std::size_t{2});
        QCOMPARE(events[0].type, Type::Sound);
        QCOMPARE(events[0].sound, velkor::Sound::Default);
        QCOMPARE(events[1].type, Type::Message);
        QCOMPARE(events[1].kind, velkor::MessageKind::Plain);
        QCOMPARE(events[1].buttons, velkor::Buttons::Ok);
        QCOMPARE(events[1].caption, std::string("File not found!"));
        QCOMPARE(events[1].text,
                 std::string("-> velkor32 not found! <-\r\rInfo:\rMake sure to place "
                             "velkor32\rinto the default directory.\r\r"));
    }

    void idleMomentRunsTheCheckOnceTheWindowIsShown() {
        TempDir dir;
        InDirectory here(dir.Folder());
        Windows w(velkor::testing::RunningProgram(), true);
        RunEventLoop(30);
        QVERIFY(w.main().DefaultDirectory.empty());
        w.main().show();
        QVERIFY(RunEventLoopUntil([&] { return !w.main().DefaultDirectory.empty(); }));
        QCOMPARE(w.main().DefaultDirectory, QDir::currentPath().toStdString() + "/");
        QVERIFY(w.host.events.empty());
    }

    void idleMomentEndsTheProgramWithoutItsFile() {
        TempDir dir;
        InDirectory here(dir.Folder());
        Windows w(dir.Path("velkor32"), true);
        w.main().show();
        QVERIFY(RunEventLoopUntil([&] { return !w.main().isVisible(); }));
        QCOMPARE(w.host.MessageTexts().size(), std::size_t{1});
        QCOMPARE(w.host.Sounds(), std::vector<velkor::Sound>{velkor::Sound::Default});
    }

    void aboutOpensFromLogoAndMenu() {
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        int shown = 0;
        auto closeAbout = [&] {
            velkor::testing::WhenShown(w.windows->About(), [&] {
                ++shown;
                w.windows->About().OKButton->click();
            });
        };
        closeAbout();
        QTest::mouseClick(m.VelkorLogo, Qt::LeftButton);
        QCOMPARE(shown, 1);
        closeAbout();
        m.AboutItem->trigger();
        QCOMPARE(shown, 2);
        QVERIFY(!w.windows->About().isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
