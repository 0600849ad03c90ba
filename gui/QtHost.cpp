#include "QtHost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QUrl>

namespace velkor {

namespace {

// Notes that a window has been closed; lives as long as the window.
class CloseWatch : public QObject {
  public:
    CloseWatch(QWidget& window, bool& closed) : QObject(&window), closed_(closed) {
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            closed_ = true;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool& closed_;
};

}  // namespace

void QtHost::EndWith(QWidget& mainWindow) {
    new CloseWatch(mainWindow, terminating_);
}

void MessageBox::closeEvent(QCloseEvent* event) {
    // Skips QMessageBox's own handling, which would count the close box as "No".
    QDialog::closeEvent(event);  // NOLINT(bugprone-parent-virtual-call): skipped on purpose
}

QString QtHost::CaptionOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning:
            return QStringLiteral("Warnung");
        case MessageKind::Error:
            return QStringLiteral("Fehler");
        case MessageKind::Information:
            return QStringLiteral("Information");
        case MessageKind::Confirmation:
            return QStringLiteral("Bestätigen");
        case MessageKind::Plain:
            break;
    }
    return QStringLiteral("Velkor32");
}

QString QtHost::DisplayText(const std::string& text) {
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

std::unique_ptr<MessageBox> QtHost::MakeBox(MessageKind kind, Buttons buttons,
                                            const std::string& text, const std::string& caption,
                                            QWidget* parent) {
    auto box = std::make_unique<MessageBox>(parent);
    switch (kind) {
        case MessageKind::Warning:
            box->setIcon(QMessageBox::Warning);
            break;
        case MessageKind::Error:
            box->setIcon(QMessageBox::Critical);
            break;
        case MessageKind::Information:
            box->setIcon(QMessageBox::Information);
            break;
        case MessageKind::Confirmation:
            box->setIcon(QMessageBox::Question);
            break;
        case MessageKind::Plain:
            box->setIcon(QMessageBox::NoIcon);
            break;
    }
    box->setWindowTitle(kind == MessageKind::Plain && !caption.empty()
                            ? QString::fromUtf8(caption.c_str())
                            : CaptionOf(kind));
    box->setText(DisplayText(text));
    box->setTextFormat(Qt::PlainText);
    // A screen reader announces the caption and reads the whole text.
    box->setAccessibleName(box->windowTitle());
    box->setAccessibleDescription(box->text());
    if (buttons == Buttons::Ok) {
        QPushButton* ok = box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box->setDefaultButton(ok);
        box->setEscapeButton(ok);
    } else {
        QPushButton* yes = box->addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
        QPushButton* no = box->addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
        box->setDefaultButton(yes);
        box->setEscapeButton(no);
    }
    return box;
}

Answer QtHost::AnswerOf(const MessageBox& box) {
    QAbstractButton* clicked = box.clickedButton();
    if (clicked == nullptr) {
        return Answer::Closed;
    }
    switch (box.buttonRole(clicked)) {
        case QMessageBox::YesRole:
            return Answer::Yes;
        case QMessageBox::NoRole:
            return Answer::No;
        default:
            return Answer::Ok;
    }
}

Answer QtHost::ShowMessage(MessageKind kind, Buttons buttons, const std::string& text,
                           const std::string& caption) {
    QWidget* parent = QApplication::activeModalWidget();
    if (parent == nullptr) {
        parent = QApplication::activeWindow();
    }
    const auto box = MakeBox(kind, buttons, text, caption, parent);
    box->exec();
    return AnswerOf(*box);
}

void QtHost::PlaySound(Sound /*sound*/) {
    // The desktop has one bell; the kind matters to the tests' host only.
    QApplication::beep();
}

void QtHost::ProcessPendingMessages() {
    QCoreApplication::processEvents();
}

StopReason QtHost::StopRequest() {
    // Qt itself reports closing down only once the event loop has ended, too
    // late for work that runs inside a handler while the main window closes.
    return terminating_ || QCoreApplication::closingDown() ? StopReason::Terminating
                                                           : StopReason::None;
}

void QtHost::ShellOpenFile(const std::string& fileName, const std::string& directory) {
    if (fileName.empty()) {
        return;
    }
    const QString file = QString::fromUtf8(fileName.c_str());
    const QString folder = QString::fromUtf8(directory.c_str());
    // xdg-open runs the desktop's default action; the folder is its working
    // directory, so a bare file name is found there.
    if (QProcess::startDetached(QStringLiteral("xdg-open"), {file}, folder)) {
        return;
    }
    const QString path = folder.isEmpty() ? file : QDir(folder).absoluteFilePath(file);
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace velkor
