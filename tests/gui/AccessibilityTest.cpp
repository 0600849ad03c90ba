#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QTest>

#include "AboutDialog.h"
#include "CompilerDialog.h"
#include "ConversionDialog.h"
#include "CopyAnimation.h"
#include "GuiFixture.h"
#include "HintHook.h"
#include "KeyVerificationDialog.h"
#include "QtHost.h"
#include "Widgets.h"

using velkor::HintHook;
using velkor::testing::Windows;

namespace {

QString Said(QWidget* widget, QAccessible::Text what) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face == nullptr ? QString() : face->text(what);
}

// Every control a user can reach or read: buttons, fields, bars, the logo,
// the animations and the toggle panel.
bool IsControl(QWidget* widget) {
    return qobject_cast<QAbstractButton*>(widget) != nullptr ||
           qobject_cast<QLineEdit*>(widget) != nullptr ||
           qobject_cast<QProgressBar*>(widget) != nullptr ||
           qobject_cast<velkor::ClickImage*>(widget) != nullptr ||
           qobject_cast<velkor::BevelPanel*>(widget) != nullptr ||
           qobject_cast<velkor::CopyAnimation*>(widget) != nullptr;
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

  private slots:
    void everyControlHasANameAndItsHintAsDescription() {
        Windows w;
        const QList<QWidget*> windows = {&w.main(), &w.windows->About(), &w.windows->Compiler(),
                                         &w.windows->Verify(), &w.windows->Convert()};
        int controls = 0;
        for (QWidget* window : windows) {
            for (QWidget* widget : window->findChildren<QWidget*>()) {
                if (!IsControl(widget) || widget->window() != window ||
                    !widget->isVisibleTo(window)) {
                    continue;
                }
                ++controls;
                const QString where = window->objectName() + QLatin1Char('/') +
                                      QString::fromLatin1(widget->metaObject()->className()) +
                                      QLatin1Char(' ') + HintHook::HintOf(widget);
                QVERIFY2(!Said(widget, QAccessible::Name).trimmed().isEmpty(), qPrintable(where));
                if (!HintHook::HintOf(widget).isEmpty()) {
                    QCOMPARE(Said(widget, QAccessible::Description), HintHook::HintOf(widget));
                }
            }
        }
        QVERIFY(controls >= 20);
        QCOMPARE(Said(w.main().KeyExtensionInput, QAccessible::Name),
                 QStringLiteral("Key extension"));
        QCOMPARE(Said(w.main().VelkorLogo, QAccessible::Name), QStringLiteral("About Velkor32"));
    }

    void messageBoxesGiveTheirCaptionAndWholeText() {
        const auto box = velkor::QtHost::MakeBox(velkor::MessageKind::Error, velkor::Buttons::Ok,
                                                 "File:\rplain.txt\rread error!");
        QCOMPARE(Said(box.get(), QAccessible::Name), QStringLiteral("Fehler"));
        QCOMPARE(Said(box.get(), QAccessible::Description),
                 QStringLiteral("File:\nplain.txt\nread error!"));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
