#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "ApplicationWindows.h"
#include "CompilerDialog.h"
#include "GuiFixture.h"
#include "QtHost.h"
#include "TempDir.h"
#include "Widgets.h"

using velkor::testing::TempDir;

namespace {

// Where a message box stood when it appeared, and over which window.
struct Placement {
    QRect box;
    QRect owner;
    bool ownerOnScreen;
    QString text;
};

// Answers every message box with its default button, noting where it stood.
class BoxWatcher {
  public:
    BoxWatcher() {
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible() || box->property("answered").toBool()) {
                return;
            }
            box->setProperty("answered", true);
            QWidget* owner = box->parentWidget();
            placements.push_back({box->frameGeometry(),
                                  owner != nullptr ? owner->frameGeometry() : QRect(),
                                  owner != nullptr && velkor::OnScreen(*owner), box->text()});
            box->defaultButton()->click();
        });
        timer_.start();
    }
    std::vector<Placement> placements;

  private:
    QTimer timer_;
};

bool CentredOver(const QRect& inner, const QRect& outer) {
    const QPoint offset = inner.center() - outer.center();
    return std::abs(offset.x()) <= 1 && std::abs(offset.y()) <= 1;
}

}  // namespace

// Message boxes of the real host, on the real windows.
class MessagePlacementTest : public QObject {
    Q_OBJECT

  private slots:
    void everyResultBoxIsCentredOverTheCompilerWindowTheFirstIncluded() {
        TempDir dir;
        dir.Write("plain", std::string(3000, 'p'));
        velkor::QtHost host;
        velkor::FileSystem files;
        velkor::ApplicationWindows app(host, files, velkor::testing::RunningProgram());
        app.Create();
        auto& m = app.Main();
        m.DefaultDirectory = dir.Folder();
        m.show();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        m.KeyInput->setText(QStringLiteral("abcdefgh"));
        m.SourceFileNameInput->setText(QString::fromStdString(dir.Path("plain")));
        m.EncryptRadioButton->click();
        BoxWatcher watcher;
        // A window manager maps a new window a while after it was shown: the
        // first time, the compiler window reaches the screen only later.
        auto& compiler = app.Compiler();
        compiler.setAttribute(Qt::WA_DontShowOnScreen, true);
        QTimer mapper;
        QObject::connect(&mapper, &QTimer::timeout, [&] {
            if (compiler.isVisible() && compiler.CompilePending &&
                compiler.testAttribute(Qt::WA_DontShowOnScreen)) {
                compiler.setAttribute(Qt::WA_DontShowOnScreen, false);
                compiler.windowHandle()->show();
            }
        });
        mapper.start(1);
        for (int job = 0; job < 2; ++job) {
            m.DrainFileNameInput->setText(
                QString::fromStdString(dir.Path("cipher" + std::to_string(job))));
            m.StartCompiler();
        }
        QCOMPARE(watcher.placements.size(), std::size_t{2});
        const QRect screen = m.screen()->availableGeometry();
        for (const Placement& placement : watcher.placements) {
            QVERIFY2(placement.text.contains(QStringLiteral("compiled to")),
                     qPrintable(placement.text));
            QVERIFY(placement.ownerOnScreen);
            QVERIFY(CentredOver(placement.owner, screen));
            QVERIFY2(CentredOver(placement.box, placement.owner),
                     qPrintable(QStringLiteral("box at %1,%2, window at %3,%4")
                                    .arg(placement.box.x())
                                    .arg(placement.box.y())
                                    .arg(placement.owner.x())
                                    .arg(placement.owner.y()) +
                                QStringLiteral(" %1x%2")
                                    .arg(placement.owner.width())
                                    .arg(placement.owner.height())));
        }
    }
};

QTEST_MAIN(MessagePlacementTest)
#include "MessagePlacementTest.moc"
