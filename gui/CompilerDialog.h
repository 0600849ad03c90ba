#pragma once

#include <QDialog>

#include "CompileSession.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace velkor {

class CopyAnimation;
class ApplicationWindows;

// The progress window of a compile job and owner of the application's
// idle-time handler, the one place where deferred work starts.
class CompilerDialog : public QDialog, public CompileSession {
    Q_OBJECT

  public:
    static constexpr int kClientWidth = 273;
    static constexpr int kClientHeight = 149;

    explicit CompilerDialog(ApplicationWindows& app);
    ~CompilerDialog() override;

    void FormCreate();
    // Runs at every idle moment: the working-directory check while the main
    // window has no default directory, a requested compile job, a requested
    // conversion, in this order.
    void ApplicationIdle();
    void CompileJob();
    // Whether an idle moment would find anything to do.
    bool IdleWorkWaiting() const;

    // A request to close the window has been made while a job ran.
    bool CloseRequested() const override { return closeRequested_; }

    QLabel* TopicText = nullptr;
    CopyAnimation* Animation = nullptr;
    QLabel* CompilerInfo = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QPushButton* CloseButton = nullptr;

  protected:
    void BusyCursors(bool busy) override;
    void AnimationRunning(bool running) override;
    void CloseWindow() override;
    void ProgressChanged() override;

    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void showEvent(QShowEvent* event) override;

  private:
    void BuildControls();
    // Hourglass on the window and every control but Close, or arrows.
    void SetCursors(bool busy);
    void InstallIdleHandler();

    ApplicationWindows& app_;
    bool idleQueued_ = false;
    bool inIdle_ = false;
    bool closeRequested_ = false;
};

}  // namespace velkor
