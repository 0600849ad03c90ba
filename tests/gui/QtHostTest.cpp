#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "QtHost.h"

using velkor::Answer;
using velkor::Buttons;
using velkor::MessageKind;
using velkor::QtHost;
using velkor::StopReason;

namespace {

QStringList ButtonTexts(const QMessageBox& box) {
    QStringList texts;
    for (QAbstractButton* button : box.buttons()) {
        texts.append(button->text());
    }
    texts.sort();
    return texts;
}

// Shows the message through the host and does `action` to its box.
Answer AnswerBy(MessageKind kind, Buttons buttons, std::function<void(QMessageBox&)> action) {
    // Acts as soon as the box is up.
    auto* poll = new QTimer;
    poll->setInterval(1);
    QObject::connect(poll, &QTimer::timeout, [poll, action = std::move(action)] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        action(*box);
    });
    poll->start();
    QtHost host;
    return host.ShowMessage(kind, buttons, "question");
}

}  // namespace

class QtHostTest : public QObject {
    Q_OBJECT

  private slots:
    void captionsByKind() {
        QCOMPARE(QtHost::MakeBox(MessageKind::Warning, Buttons::Ok, "t")->windowTitle(),
                 QStringLiteral("Warnung"));
        QCOMPARE(QtHost::MakeBox(MessageKind::Error, Buttons::Ok, "t")->windowTitle(),
                 QStringLiteral("Fehler"));
        QCOMPARE(QtHost::MakeBox(MessageKind::Information, Buttons::Ok, "t")->windowTitle(),
                 QStringLiteral("Information"));
        QCOMPARE(QtHost::MakeBox(MessageKind::Confirmation, Buttons::YesNo, "t")->windowTitle(),
                 QString::fromUtf8("Best\xC3\xA4tigen"));
        QCOMPARE(QtHost::MakeBox(MessageKind::Plain, Buttons::Ok, "t")->windowTitle(),
                 QStringLiteral("Velkor32"));
        QCOMPARE(
            QtHost::MakeBox(MessageKind::Plain, Buttons::Ok, "t", "File not found!")->windowTitle(),
            QStringLiteral("File not found!"));
    }

    void iconsByKind() {
        QCOMPARE(QtHost::MakeBox(MessageKind::Warning, Buttons::Ok, "t")->icon(),
                 QMessageBox::Warning);
        QCOMPARE(QtHost::MakeBox(MessageKind::Error, Buttons::Ok, "t")->icon(),
                 QMessageBox::Critical);
        QCOMPARE(QtHost::MakeBox(MessageKind::Confirmation, Buttons::YesNo, "t")->icon(),
                 QMessageBox::Question);
        QCOMPARE(QtHost::MakeBox(MessageKind::Plain, Buttons::Ok, "t")->icon(),
                 QMessageBox::NoIcon);
    }

    void buttonTextsAndLineBreaks() {
        const auto ok = QtHost::MakeBox(MessageKind::Error, Buttons::Ok, "File:\rx\rread error!");
        QCOMPARE(ButtonTexts(*ok), QStringList{QStringLiteral("OK")});
        QCOMPARE(ok->text(), QStringLiteral("File:\nx\nread error!"));
        const auto yesNo = QtHost::MakeBox(MessageKind::Confirmation, Buttons::YesNo, "?");
        QCOMPARE(ButtonTexts(*yesNo),
                 (QStringList{QStringLiteral("&Ja"), QStringLiteral("&Nein")}));
    }

    void answersYesNoAndClosed() {
        QCOMPARE(AnswerBy(MessageKind::Confirmation, Buttons::YesNo,
                          [](QMessageBox& box) { box.buttons().at(0)->click(); }),
                 Answer::Yes);
        QCOMPARE(AnswerBy(MessageKind::Confirmation, Buttons::YesNo,
                          [](QMessageBox& box) { box.buttons().at(1)->click(); }),
                 Answer::No);
        QCOMPARE(AnswerBy(MessageKind::Confirmation, Buttons::YesNo,
                          [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }),
                 Answer::No);
        QCOMPARE(AnswerBy(MessageKind::Confirmation, Buttons::YesNo,
                          [](QMessageBox& box) { box.close(); }),
                 Answer::Closed);
        QCOMPARE(AnswerBy(MessageKind::Error, Buttons::Ok,
                          [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }),
                 Answer::Ok);
    }

    void processesPendingMessages() {
        bool ran = false;
        QTimer::singleShot(0, [&ran] { ran = true; });
        QtHost host;
        QTest::qWait(1);
        host.ProcessPendingMessages();
        QVERIFY(ran);
        QVERIFY(host.StopRequest() == StopReason::None);
    }
};

QTEST_MAIN(QtHostTest)
#include "QtHostTest.moc"
