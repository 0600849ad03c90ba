#pragma once

#include <QDialog>

#include "ConversionSession.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace velkor {

class CopyAnimation;
class ApplicationWindows;

// The progress window of a group conversion. The conversion runs from the
// idle handler while the window is shown modally; Abort and the close box only
// set the modal result, which the running conversion sees at its next block.
// The window's exec() returns the modal result.
class ConversionDialog : public QDialog, public ConversionSession {
    Q_OBJECT

  public:
    static constexpr int kClientWidth = 295;
    static constexpr int kClientHeight = 204;

    explicit ConversionDialog(ApplicationWindows& app);
    ~ConversionDialog() override;

    void FormCreate();
    // Runs the requested conversion, then closes the window.
    void Start();

    CopyAnimation* FileConvertAnimation = nullptr;
    QLabel* Title = nullptr;
    // Shows ConversionSession::ProgressBar, whose name it shares as the same control.
    // cppcheck-suppress duplInheritedMember
    QProgressBar* ProgressBar = nullptr;
    QPushButton* AbortButton = nullptr;
    QWidget* BreakPanel = nullptr;

  protected:
    void AnimationRunning(bool running) override;
    void ProgressChanged() override;
    [[nodiscard]] bool Visible() const override { return isVisible(); }

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void BuildControls();
    // Abort or the close box: a running conversion stops at its next check,
    // otherwise the window closes at once.
    void Halt(int modalResult);
    // What the modal loop does once the modal result is set.
    void CloseWindow();

    ApplicationWindows& app_;
};

}  // namespace velkor
