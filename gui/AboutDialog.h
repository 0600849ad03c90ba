#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace velkor {

class ApplicationWindows;

// Program icon, name, version and copyright; OK, Enter, Esc and the close box
// close it.
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kClientWidth = 200;
    static constexpr int kClientHeight = 205;

    explicit AboutDialog(ApplicationWindows& app);

    static QString CopyrightLine();

    QFrame* VelkorAbout = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Comments = nullptr;
    QLabel* Version = nullptr;
    QLabel* Copyright = nullptr;
    QPushButton* OKButton = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace velkor
