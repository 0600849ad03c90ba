#include <QCompleter>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include "FileDialogs.h"
#include "GuiFixture.h"
#include "TempDir.h"
#include "Widgets.h"

using velkor::testing::RunEventLoopUntil;
using velkor::testing::SystemKeys;
using velkor::testing::TempDir;
using velkor::testing::Windows;

// Keys go through the window system, as a user's do: a popup that is still
// open takes them before any window.
class FileDialogKeysTest : public QObject {
    Q_OBJECT

  private slots:
    void keysAfterAcceptingWithTheCompleterOpenReachTheMainWindow() {
        TempDir dir;
        dir.Write("zebra-one", "1");
        dir.Write("zebra-two", "2");
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        QFileDialog& dialog = *m.InputDialog;
        dialog.setDirectory(QString::fromStdString(dir.Folder()));
        QLineEdit* name = nullptr;
        bool typed = false;
        velkor::testing::WhenShown(dialog, [&] {
            name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            VELKOR_VERIFY_IN_LOOP(name != nullptr);
            // The folder is read in the background; the completer offers
            // nothing before it has been.
            auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
            VELKOR_VERIFY_IN_LOOP(view != nullptr);
            VELKOR_VERIFY_IN_LOOP(
                RunEventLoopUntil([&] { return view->model()->rowCount(view->rootIndex()) == 2; }));
            VELKOR_VERIFY_IN_LOOP(RunEventLoopUntil([&] { return dialog.isActiveWindow(); }));
            VELKOR_VERIFY_IN_LOOP(QApplication::focusWidget() == name);
            SystemKeys(dialog.windowHandle(), QStringLiteral("zebra-"));
            // The completer offers both names in its popup.
            VELKOR_VERIFY_IN_LOOP(
                RunEventLoopUntil([&] { return QApplication::activePopupWidget() != nullptr; }));
            SystemKeys(QApplication::activePopupWidget()->windowHandle(), QStringLiteral("one"));
            QTest::keyClick(QApplication::activePopupWidget() != nullptr
                                ? QApplication::activePopupWidget()->windowHandle()
                                : dialog.windowHandle(),
                            Qt::Key_Return);
            typed = true;
            if (dialog.isVisible()) {
                QTest::keyClick(dialog.windowHandle(), Qt::Key_Return);
            }
        });
        m.InputFileSearch();
        QVERIFY(typed);
        QCOMPARE(m.SourceFileNameInput->text(), QString::fromStdString(dir.Path("zebra-one")));
        QVERIFY(!dialog.isVisible());
        QVERIFY(QApplication::activePopupWidget() == nullptr);

        // The next keys belong to the field that has the focus, none to the
        // closed dialog.
        m.SourceFileNameInput->clear();
        SystemKeys(m.windowHandle(), QStringLiteral("ZY"));
        QCOMPARE(m.SourceFileNameInput->text(), QStringLiteral("ZY"));
        QVERIFY(name->text().isEmpty());
    }
};

QTEST_MAIN(FileDialogKeysTest)
#include "FileDialogKeysTest.moc"
