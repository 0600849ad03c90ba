#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "GuiFixture.h"
#include "TempDir.h"
#include "Widgets.h"

using velkor::Answer;
using velkor::testing::TempDir;
using velkor::testing::Windows;

namespace {

// Drags data over target and drops it there, as the window system delivers a
// drag: enter, move, then the drop to the widget that accepted the move.
// Returns whether the drop was taken.
bool Drop(QWidget* target, const QMimeData& data) {
    const QPointF at = QRectF(target->rect()).center();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    if (!move.isAccepted()) {
        return false;
    }
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

std::unique_ptr<QMimeData> Files(const QList<QUrl>& urls) {
    auto data = std::make_unique<QMimeData>();
    data->setUrls(urls);
    return data;
}

QUrl Local(const std::string& path) {
    return QUrl::fromLocalFile(QString::fromStdString(path));
}

}  // namespace

class DropTest : public QObject {
    Q_OBJECT

  private slots:
    void fileFieldsTakeADroppedFileThroughTheirHandlers() {
        TempDir dir;
        dir.Write("key.bin", "k");
        dir.Write("plain.txt", "p");
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        QVERIFY(Drop(m.KeyFileNameInput, *Files({Local(dir.Path("key.bin"))})));
        QCOMPARE(m.KeyFileName, dir.Path("key.bin"));
        QCOMPARE(QApplication::focusWidget(), m.KeyFileNameInput);
        QVERIFY(Drop(m.SourceFileNameInput, *Files({Local(dir.Path("plain.txt"))})));
        QCOMPARE(m.SourceFileName, dir.Path("plain.txt"));
        QCOMPARE(m.SourceFileNameInput->text(), QString::fromStdString(dir.Path("plain.txt")));
        QVERIFY(w.host.events.empty());
    }

    void droppedDrainIsAskedAboutAsInTheSaveDialog() {
        TempDir dir;
        dir.Write("old.vlk", "o");
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        w.host.Answers({Answer::Yes, Answer::No});
        QVERIFY(Drop(m.DrainFileNameInput, *Files({Local(dir.Path("old.vlk"))})));
        QCOMPARE(m.DrainFileName, dir.Path("old.vlk"));
        QVERIFY(m.DrainConfirmed);
        QCOMPARE(w.host.MessageTexts(),
                 std::vector<std::string>{"old.vlk already exists.\rDo you want to replace it?"});
        // No: the text stays, the confirmation is withdrawn.
        QVERIFY(Drop(m.DrainFileNameInput, *Files({Local(dir.Path("old.vlk"))})));
        QVERIFY(!m.DrainConfirmed);
        QCOMPARE(m.DrainFileName, dir.Path("old.vlk"));
    }

    void fileDroppedElsewhereIsTheSource() {
        TempDir dir;
        dir.Write("plain.txt", "p");
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        for (QWidget* target :
             {static_cast<QWidget*>(m.KeyInput), static_cast<QWidget*>(m.KeyExtensionInput),
              static_cast<QWidget*>(m.KeyInfo), m.centralWidget()}) {
            m.SourceFileNameInput->clear();
            QVERIFY(Drop(target, *Files({Local(dir.Path("plain.txt"))})));
            QCOMPARE(m.SourceFileName, dir.Path("plain.txt"));
        }
        // The key fields keep nothing of it.
        QVERIFY(m.KeyInput->text().isEmpty());
        QVERIFY(m.KeyExtensionInput->text().isEmpty());
    }

    void anythingButOneLocalFileIsRefused() {
        TempDir dir;
        dir.Write("a", "a");
        dir.Write("b", "b");
        Windows w;
        auto& m = w.main();
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        auto text = std::make_unique<QMimeData>();
        text->setText(QStringLiteral("/etc/passwd"));
        const std::unique_ptr<QMimeData> refused[] = {
            Files({QUrl(QStringLiteral("https://example.org/file.bin"))}),
            Files({Local(dir.Folder())}),
            Files({Local(dir.Path("a")), Local(dir.Path("b"))}),
        };
        for (const auto& data : refused) {
            for (QWidget* target : {static_cast<QWidget*>(m.SourceFileNameInput),
                                    static_cast<QWidget*>(m.DrainFileNameInput),
                                    static_cast<QWidget*>(m.KeyInput), m.centralWidget()}) {
                QVERIFY(!Drop(target, *data));
            }
        }
        // Text is no file, even when it reads like a path.
        QVERIFY(!Drop(m.centralWidget(), *text));
        QVERIFY(m.SourceFileNameInput->text().isEmpty());
        QVERIFY(m.DrainFileNameInput->text().isEmpty());
        QVERIFY(m.KeyInput->text().isEmpty());
        QVERIFY(w.host.events.empty());
    }
};

QTEST_MAIN(DropTest)
#include "DropTest.moc"
