#include <QAction>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "GuiFixture.h"
#include "HintHook.h"
#include "Widgets.h"

using velkor::testing::RunEventLoopUntil;
using velkor::testing::Windows;

namespace {

QImage Rendered(QWidget& widget, qreal scale) {
    QPixmap pixmap(widget.size() * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::magenta);
    widget.render(&pixmap);
    return pixmap.toImage();
}

}  // namespace

class WindowFaultsTest : public QObject {
    Q_OBJECT

  private slots:
    void menuStartsWithAVisibleSeparator() {
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        // Opened from the menu bar with the keyboard, as Alt+M does.
        QTest::keyClick(m.windowHandle(), Qt::Key_M, Qt::AltModifier);
        QVERIFY(RunEventLoopUntil([&] { return m.FileMenu->isVisible(); }));
        const QRect separator = m.FileMenu->actionGeometry(m.BreakLine1);
        QVERIFY(separator.bottom() < m.FileMenu->actionGeometry(m.KeyConfirmItem).top());
        // A line of its own, clear of the menu's frame.
        const QImage menu = m.FileMenu->grab().toImage();
        const int x = separator.center().x();
        const QColor background = menu.pixelColor(x, separator.top() + 2);
        bool line = false;
        for (int y = separator.top() + 3; y < separator.bottom() - 1; ++y) {
            line = line || menu.pixelColor(x, y) != background;
        }
        QVERIFY(line);
        m.FileMenu->hide();
    }

    void hintIsTakenAgainAtIdleMomentsUnderAStillPointer() {
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        const QPoint pointer = m.CompileButton->mapToGlobal(m.CompileButton->rect().center());
        // The platform delivers the move of the pointer on its own time.
        QCursor::setPos(pointer);
        QVERIFY(RunEventLoopUntil(
            [&] { return m.StatusText() == QStringLiteral("Start the velkor compiler..."); }));
        QTest::qWait(0);
        // A hint left behind by a window that closed above the resting pointer.
        w.windows->hintHook->SetCurrentHint(QStringLiteral("Halt procedure..."));
        QVERIFY(RunEventLoopUntil(
            [&] { return m.StatusText() == QStringLiteral("Start the velkor compiler..."); }));
    }

    void arrowKeysChooseTheDirectionAndMoveTheCaretToTheKey() {
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        m.DecryptRadioButton->setFocus();
        QTest::keyClick(m.windowHandle(), Qt::Key_Up);
        QVERIFY(m.EncryptRadioButton->isChecked());
        QVERIFY(m.EncryptMode);
        QCOMPARE(QApplication::focusWidget(), m.KeyInput);
        m.DecryptRadioButton->setFocus();
        m.EncryptRadioButton->setFocus();
        QTest::keyClick(m.windowHandle(), Qt::Key_Down);
        QVERIFY(m.DecryptRadioButton->isChecked());
        QVERIFY(!m.EncryptMode);
        QCOMPARE(QApplication::focusWidget(), m.KeyInput);
    }

    void keyboardFocusOnTheDefaultButtonIsVisible() {
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        m.KeyInput->setFocus();
        const QImage without = Rendered(*m.CompileButton, 1);
        m.CompileButton->setFocus(Qt::TabFocusReason);
        QVERIFY(m.CompileButton->hasFocus());
        const QImage with = Rendered(*m.CompileButton, 1);
        QVERIFY(with != without);
    }

    void panelBorderIsWholeAtEveryScale() {
        Windows w;
        auto& panel = *w.main().SwiftButton;
        for (const qreal scale : {1.0, 1.25, 1.5, 1.75, 2.0}) {
            const QImage image = Rendered(panel, scale);
            const QColor border = panel.palette().color(QPalette::WindowText);
            for (const QPoint corner :
                 {QPoint(image.width() - 1, image.height() / 2),
                  QPoint(image.width() / 2, image.height() - 1), QPoint(0, image.height() / 2),
                  QPoint(image.width() / 2, 0)}) {
                QVERIFY2(image.pixelColor(corner) == border,
                         qPrintable(QStringLiteral("scale %1 at %2,%3: %4")
                                        .arg(scale)
                                        .arg(corner.x())
                                        .arg(corner.y())
                                        .arg(image.pixelColor(corner).name())));
            }
        }
    }
};

QTEST_MAIN(WindowFaultsTest)
#include "WindowFaultsTest.moc"
