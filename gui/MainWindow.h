#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "CompileRequest.h"
#include "CompileSettings.h"

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTimer;
class QToolButton;

namespace velkor {

class BevelPanel;
class ClickImage;
class EntryEdit;
class ApplicationWindows;
class FileDialog;

// The main window: key, key extension, key, source and drain files, the
// direction, fast mode, the menu and the status bar with the current hint.
class MainWindow : public QMainWindow, public CompileRequestForm {
    Q_OBJECT

  public:
    static constexpr int kClientWidth = 361;
    static constexpr int kClientHeight = 354;
    static constexpr int kKeyCapacity = 128;
    static constexpr int kMinimumKeyLength = 6;

    explicit MainWindow(ApplicationWindows& app);
    ~MainWindow() override;

    // State fields; they follow the entry fields (see the change handlers).
    bool DrainConfirmed = false;
    std::string DefaultDirectory;  // ends with "/" once known
    bool EncryptMode = false;
    std::string Key;           // Windows-1252 bytes, at most 128
    std::string KeyExtension;  // always one byte; 0 means no extension
    std::string KeyFileName;
    std::string SourceFileName;
    std::string DrainFileName;
    // Flags of the compile request.
    bool CompileRequested = false;
    // The ordered checks of a compile request; they keep the once-per-run
    // read-error report.
    CompileRequestChecks RequestChecks;

    // Fast mode: the check mark of the menu item.
    bool Swift() const;
    // What a compile job takes from this window when it starts.
    CompileSettings JobSettings() const;

    // Event handlers.
    void FormCreate();
    void Authenticate();
    void ApplicationExit();
    void About();
    void KeyFileSearch();
    void InputFileSearch();
    void OutputFileSearch();
    void KeyHandler();
    void StartCompiler();
    void KeyExtensionHandler();
    void KeyFileNameHandler();
    void InputFileNameHandler();
    void OutputFileNameHandler();
    void DeCryptHandler();
    void EnCryptHandler();
    void KeyVerification();
    void AnalyseFile();
    void KeyFileNameEditHandler();
    void SourceFileNameEditHandler();
    void OutputFileNameEditHandler();
    void SwiftHandler();
    void Convert();
    void HintHandler(const QString& hint);
    // A file dropped on a file field, as if chosen in its dialog.
    void DropFileInto(EntryEdit& field, const QString& path);
    // A key field refused a typed character: warning sound and a hint.
    void KeyCharacterRefused();
    static QString RefusedKeyCharacterHint();

    // Runs a file dialog and gives the chosen name, nothing when cancelled.
    // Tests replace it to answer without a screen.
    std::function<std::optional<QString>(FileDialog&)> RunFileDialog;

    // What the compile request checks read and mend.
    std::size_t RequestKeyLength() const override { return Key.size(); }
    std::string RequestKeyFileName() const override { return KeyFileName; }
    std::string RequestSourceFileName() const override { return SourceFileName; }
    std::string RequestDrainFileName() const override { return DrainFileName; }
    bool& RequestDrainConfirmed() override { return DrainConfirmed; }
    void ClearField(RequestField field) override;
    void FocusField(RequestField field) override;

    // The status bar's text before any hint is shown.
    static QString Banner();
    QString StatusText() const;

    // Controls.
    QGroupBox* EncryptDecryptGroupBox = nullptr;
    QRadioButton* EncryptRadioButton = nullptr;
    QRadioButton* DecryptRadioButton = nullptr;
    QLabel* TopicText = nullptr;
    ClickImage* VelkorLogo = nullptr;
    QLabel* KeyInfo = nullptr;
    BevelPanel* SwiftButton = nullptr;
    QToolButton* VerifyButton = nullptr;
    EntryEdit* KeyInput = nullptr;
    EntryEdit* KeyExtensionInput = nullptr;
    QLabel* KeyFileInfo = nullptr;
    QToolButton* KeyFileSearchButton = nullptr;
    EntryEdit* KeyFileNameInput = nullptr;
    QLabel* InputFileInfo = nullptr;
    QToolButton* SourceFileSearchButton = nullptr;
    EntryEdit* SourceFileNameInput = nullptr;
    QLabel* OutputFileInfo = nullptr;
    QToolButton* DrainFileSearchButton = nullptr;
    EntryEdit* DrainFileNameInput = nullptr;
    QToolButton* AnalyseButton = nullptr;
    QToolButton* GroupsButton = nullptr;
    QPushButton* CloseButton = nullptr;
    QPushButton* CompileButton = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* StatusPanel = nullptr;
    FileDialog* InputDialog = nullptr;
    FileDialog* OutputDialog = nullptr;

    // Menu.
    QMenu* FileMenu = nullptr;
    QAction* BreakLine1 = nullptr;
    QAction* KeyConfirmItem = nullptr;
    QAction* SourceSearchItem = nullptr;
    QAction* DrainSearchItem = nullptr;
    QAction* KeySearchItem = nullptr;
    QAction* CompileItem = nullptr;
    QAction* AnalyseSearchItem = nullptr;
    QAction* SwiftItem = nullptr;
    QAction* GroupItem = nullptr;
    QAction* BreakLine2 = nullptr;
    QAction* ExitItem = nullptr;
    QMenu* Info = nullptr;
    QAction* AboutItem = nullptr;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void BuildControls(QWidget* client);
    void BuildMenu();
    void BindHandlers();
    void SetDirectionFocusPolicy();
    void FocusKeyAfterDirection();
    // Search handler body: open or save dialog into a field.
    void SearchInto(FileDialog& dialog, EntryEdit& field, bool saving);
    // What a confirmed or cancelled choice of a file does to its field.
    void PutChosenFile(EntryEdit& field, const std::optional<QString>& chosen, bool saving);
    void OpenFieldFile(const EntryEdit& field);
    EntryEdit& FieldEdit(RequestField field) const;

    ApplicationWindows& app_;
    bool shownOnce_ = false;
    QTimer* keyFocusAfterDirection_ = nullptr;
};

// Key bytes of a key field's text: its first 128 characters as Windows-1252.
std::string KeyFieldBytes(const QString& text);
// The stored form of a key extension: its first character, or code 0.
std::string KeyExtensionBytes(const QString& text);

}  // namespace velkor
