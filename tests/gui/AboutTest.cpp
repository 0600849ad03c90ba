#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "AboutDialog.h"
#include "GuiFixture.h"
#include "HintHook.h"

using velkor::AboutDialog;
using velkor::testing::WhenShown;
using velkor::testing::Windows;

class AboutTest : public QObject {
    Q_OBJECT

  private:
    // Shows the About box through the main window; action runs while it is up.
    static bool ClosesBy(Windows& w, std::function<void(AboutDialog&)> action) {
        auto& about = w.windows->About();
        bool wasShown = false;
        WhenShown(about, [&] {
            wasShown = true;
            action(about);
        });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &about, [&about] { about.done(-1); });
        guard.start(5000);
        w.main().About();
        return wasShown && about.result() != -1 && !about.isVisible();
    }

  private slots:
    void looksAsLaidOut() {
        Windows w;
        auto& a = w.windows->About();
        QCOMPARE(a.windowTitle(), QStringLiteral("Velkor32"));
        QCOMPARE(a.size(), QSize(200, 205));
        QCOMPARE(a.minimumSize(), a.maximumSize());
        QVERIFY(!(a.windowFlags() & Qt::WindowMinimizeButtonHint));
        QCOMPARE(velkor::HintHook::HintOf(&a), QStringLiteral("About..."));
        QCOMPARE(a.VelkorAbout->geometry(), QRect(0, 0, 200, 161));
        QCOMPARE(a.VelkorAbout->lineWidth(), 6);
        QCOMPARE(a.ProgramIcon->geometry(), QRect(82, 26, 32, 32));
        QVERIFY(!a.ProgramIcon->pixmap().isNull());
        QCOMPARE(a.ProductName->text(), QStringLiteral("Velkor32"));
        QCOMPARE(a.ProductName->geometry().center().x(), QRect(80, 72, 42, 13).center().x());
        QCOMPARE(a.ProductName->y(), 72);
        QCOMPARE(a.Version->text(), QStringLiteral("Version: 2.0.1.2"));
        QCOMPARE(a.Version->y(), 96);
        QCOMPARE(a.Copyright->text(), AboutDialog::CopyrightLine());
        QCOMPARE(a.Copyright->y(), 128);
        QVERIFY(a.Comments->text().isEmpty());
        QVERIFY(a.Comments->wordWrap());
        QCOMPARE(a.OKButton->geometry(), QRect(70, 170, 65, 26));
        QCOMPARE(a.OKButton->text(), QStringLiteral("OK"));
        QVERIFY(a.OKButton->font().bold());
        QVERIFY(a.OKButton->isDefault());
        QCOMPARE(a.OKButton->cursor().shape(), Qt::PointingHandCursor);
    }

    void okButtonHasTheFocusAndCloses() {
        Windows w;
        bool focused = false;
        QVERIFY(ClosesBy(w, [&focused](AboutDialog& a) {
            focused = a.focusWidget() == a.OKButton;
            QTest::mouseClick(a.OKButton, Qt::LeftButton);
        }));
        QVERIFY(focused);
        QCOMPARE(w.windows->About().result(), int(QDialog::Accepted));
    }

    void enterCloses() {
        Windows w;
        QVERIFY(ClosesBy(w, [](AboutDialog& a) { QTest::keyClick(&a, Qt::Key_Return); }));
        QCOMPARE(w.windows->About().result(), int(QDialog::Accepted));
    }

    void escapeCloses() {
        Windows w;
        QVERIFY(ClosesBy(w, [](AboutDialog& a) { QTest::keyClick(&a, Qt::Key_Escape); }));
        QCOMPARE(w.windows->About().result(), int(QDialog::Accepted));
    }

    void closeBoxCloses() {
        Windows w;
        QVERIFY(ClosesBy(w, [](AboutDialog& a) { a.close(); }));
        QVERIFY(w.host.events.empty());
    }
};

QTEST_MAIN(AboutTest)
#include "AboutTest.moc"
