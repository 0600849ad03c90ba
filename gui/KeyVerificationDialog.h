#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace velkor {

class EntryEdit;
class ApplicationWindows;

// The key re-entry window: the user types key and extension once more; its
// Verify button hands them to the main window, which compares.
class KeyVerificationDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kClientWidth = 241;
    static constexpr int kClientHeight = 114;

    explicit KeyVerificationDialog(ApplicationWindows& app);

    void FormCreate();
    void FormShow();
    void ResetVerifyFields();
    void KeyHandler();
    void StartVerification();

    QLabel* KeyInfo = nullptr;
    EntryEdit* KeyInput = nullptr;
    EntryEdit* KeyExtensionInput = nullptr;
    QPushButton* VerifyButton = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    ApplicationWindows& app_;
};

}  // namespace velkor
