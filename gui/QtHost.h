#pragma once

#include <QMessageBox>
#include <QString>
#include <memory>

#include "Host.h"

namespace velkor {

// A message box whose close box closes it without an answer (no button counts
// as clicked); Esc still presses the escape button.
class MessageBox : public QMessageBox {
  public:
    explicit MessageBox(QWidget* parent = nullptr) : QMessageBox(parent) {}

  protected:
    void closeEvent(QCloseEvent* event) override;
};

// The host of the window program: German dialog captions and buttons, the
// desktop bell, the Qt event loop and the desktop's "open" action.
class QtHost : public Host {
  public:
    Answer ShowMessage(MessageKind kind, Buttons buttons, const std::string& text,
                       const std::string& caption = {}) override;
    void PlaySound(Sound sound) override;
    void ProcessPendingMessages() override;
    // True from the moment the main window closes: the program is ending, and
    // work running inside one of its handlers must stop.
    StopReason StopRequest() override;
    // The window whose closing ends the program.
    void EndWith(QWidget& mainWindow);
    void ShellOpenFile(const std::string& fileName, const std::string& directory) override;

    // The box ShowMessage runs, built but not shown.
    static std::unique_ptr<MessageBox> MakeBox(MessageKind kind, Buttons buttons,
                                               const std::string& text,
                                               const std::string& caption = {},
                                               QWidget* parent = nullptr);
    static Answer AnswerOf(const MessageBox& box);
    static QString CaptionOf(MessageKind kind);
    // "\r" is the line break of the stored texts.
    static QString DisplayText(const std::string& text);

  private:
    bool terminating_ = false;
};

}  // namespace velkor
