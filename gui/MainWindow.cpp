#include "MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <utility>

#include "AboutDialog.h"
#include "ApplicationWindows.h"
#include "CompilerDialog.h"
#include "ConversionDialog.h"
#include "ConversionRequest.h"
#include "FileDialogs.h"
#include "Glyphs.h"
#include "HintHook.h"
#include "KeyVerificationDialog.h"
#include "QtHost.h"
#include "ShellOpen.h"
#include "SymbolAnalysis.h"
#include "Widgets.h"

namespace velkor {

std::string KeyFieldBytes(const QString& text) {
    // The field refuses characters without a Windows-1252 byte.
    return Cp1252Bytes(text.left(MainWindow::kKeyCapacity)).value_or(std::string());
}

std::string KeyExtensionBytes(const QString& text) {
    const std::string bytes = KeyFieldBytes(text.left(1));
    return bytes.empty() ? std::string(1, '\0') : bytes;
}

namespace {

QString Hint(const char* text) {
    return QString::fromLatin1(text);
}

// A control that shows its hint as a tooltip and in the status bar.
template <typename W>
W* Place(W* widget, int left, int top, int width, int height, const char* hint = nullptr,
         bool tooltip = true) {
    widget->setGeometry(left, top, width, height);
    if (hint != nullptr) {
        HintHook::SetHint(widget, Hint(hint));
        if (tooltip) {
            widget->setToolTip(Hint(hint));
        }
    }
    return widget;
}

// A label that sizes itself to its caption, as the original labels did.
QLabel* AutoLabel(QWidget* parent, const char* caption, int left, int top) {
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QToolButton* SpeedButton(QWidget* parent, Glyph glyph, bool handCursor) {
    auto* button = new QToolButton(parent);
    button->setIcon(GlyphIcon(glyph));
    button->setIconSize(QSize(16, 16));
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    if (handCursor) {
        button->setCursor(Qt::PointingHandCursor);
    }
    return button;
}

QAction* MenuItem(QMenu* menu, const char* caption, const QKeySequence& shortcut,
                  const char* hint) {
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setShortcut(shortcut);
    HintHook::SetHint(action, Hint(hint));
    return action;
}

}  // namespace

MainWindow::MainWindow(ApplicationWindows& app)
    : QMainWindow(nullptr), RequestChecks(app.host, app.files), app_(app) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Velkor32"));
    setWindowIcon(ProgramIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setAcceptDrops(true);

    auto* client = new QWidget(this);
    client->setFixedSize(kClientWidth, kClientHeight - 19);
    setCentralWidget(client);
    BuildControls(client);
    BuildMenu();

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    StatusBar->setFixedHeight(19);
    StatusPanel = new QLabel(Banner(), StatusBar);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    StatusPanel->setAccessibleName(QStringLiteral("Status"));
    StatusBar->addWidget(StatusPanel, 1);
    // Takes no input, but its text stays as readable as an enabled one.
    StatusBar->setEnabled(false);
    QPalette readable = StatusPanel->palette();
    readable.setColor(QPalette::Disabled, QPalette::WindowText,
                      readable.color(QPalette::Active, QPalette::WindowText));
    StatusPanel->setPalette(readable);
    setStatusBar(StatusBar);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    InputDialog = new FileDialog(this);
    OutputDialog = new SaveFileDialog(app_.host, app_.files, this);
    RunFileDialog = [](FileDialog& dialog) { return dialog.Run(); };

    BindHandlers();
    FormCreate();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildControls(QWidget* client) {
    setFont(fonts::Dialog());

    EncryptDecryptGroupBox =
        Place(new QGroupBox(client), 16, 0, 89, 65, "Chose an action...", false);
    EncryptDecryptGroupBox->setFont(fonts::SystemBold());
    EncryptRadioButton = Place(new QRadioButton(QStringLiteral("Encrypt"), EncryptDecryptGroupBox),
                               8, 16, 70, 17, "Encode a file...");
    DecryptRadioButton = Place(new QRadioButton(QStringLiteral("Decrypt"), EncryptDecryptGroupBox),
                               8, 40, 70, 17, "Decode a file...");
    DecryptRadioButton->setChecked(true);

    TopicText = Place(new QLabel(QStringLiteral("VELKOR"), client), 136, 0, 125, 50);
    TopicText->setFont(fonts::Technical(37));
    TopicText->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    VelkorLogo = Place(new ClickImage(client), 312, 8, 32, 32, "Who is who...", false);
    VelkorLogo->setPixmap(ProgramIconPixmap(32));
    VelkorLogo->setCursor(Qt::PointingHandCursor);

    KeyInfo = AutoLabel(client, "Key:  (Min. 6 Characters)", 136, 64);

    SwiftButton = Place(new BevelPanel(QStringLiteral("Swift"), client), 16, 80, 48, 25,
                        "Use fast method...");
    QFont italic = fonts::Dialog();
    italic.setItalic(true);
    SwiftButton->setFont(italic);
    SwiftButton->setCursor(Qt::PointingHandCursor);
    SwiftButton->SetLowered(true);

    VerifyButton = Place(SpeedButton(client, Glyph::Verify, false), 80, 80, 25, 25,
                         "Confirm your key and the optional keyextension...");
    KeyInput = Place(new EntryEdit(client), 120, 80, 201, 21, "Input your key...");
    KeyInput->MakeKeyField(kKeyCapacity);
    KeyExtensionInput = Place(new EntryEdit(client), 328, 72, 17, 28,
                              "Input your key extension character [optional]...");
    KeyExtensionInput->MakeKeyField(1);
    KeyExtensionInput->setFont(fonts::DialogAt(16));
    KeyExtensionInput->setTextMargins(-2, 0, -2, 0);
    KeyExtensionInput->setAlignment(Qt::AlignCenter);

    KeyFileInfo = AutoLabel(client, "Key file: [Optional]", 136, 120);
    KeyFileSearchButton = Place(SpeedButton(client, Glyph::OpenFile, true), 80, 136, 25, 25,
                                "Search for the key file...");
    KeyFileNameInput =
        Place(new EntryEdit(client), 120, 136, 225, 21, "Insert the name of the key file...");

    InputFileInfo = AutoLabel(client, "Source file: (Input)", 136, 176);
    SourceFileSearchButton = Place(SpeedButton(client, Glyph::OpenFile, true), 80, 192, 25, 25,
                                   "Search for the input file...");
    SourceFileNameInput = Place(new EntryEdit(client), 120, 192, 225, 21,
                                "Insert the name of the file to be compiled...");

    OutputFileInfo = AutoLabel(client, "Drain file: (Output)", 136, 232);
    DrainFileSearchButton = Place(SpeedButton(client, Glyph::SaveFile, true), 80, 248, 25, 25,
                                  "Place the output file...");
    DrainFileNameInput = Place(new EntryEdit(client), 120, 248, 225, 21,
                               "Insert the name of the file to be compiled to...");

    AnalyseButton = Place(SpeedButton(client, Glyph::Analyse, true), 16, 296, 40, 25,
                          "Summarize the frequency of symbols in a file...");
    GroupsButton = Place(SpeedButton(client, Glyph::Groups, true), 66, 296, 40, 25,
                         "Encode or decode alphanumerical groups to five characters each...");

    CloseButton = Place(new QPushButton(GlyphIcon(Glyph::Close), QStringLiteral("Close"), client),
                        120, 296, 90, 25, "Quit Velkor32...");
    CompileButton =
        Place(new QPushButton(GlyphIcon(Glyph::Compile), QStringLiteral(" Compile "), client), 224,
              296, 120, 25, "Start the velkor compiler...");
    for (QPushButton* button : {CloseButton, CompileButton}) {
        button->setFont(fonts::SystemBold());
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::StrongFocus);
        ShowFocusFrame(*button);
    }
    CompileButton->setDefault(true);

    // Names for a screen reader where no caption says what a control is.
    const std::pair<QWidget*, const char*> names[] = {
        {EncryptDecryptGroupBox, "Action"},
        {VelkorLogo, "About Velkor32"},
        {SwiftButton, "Swift"},
        {VerifyButton, "Confirm key"},
        {KeyInput, "Key"},
        {KeyExtensionInput, "Key extension"},
        {KeyFileSearchButton, "Search key file"},
        {KeyFileNameInput, "Key file"},
        {SourceFileSearchButton, "Search source file"},
        {SourceFileNameInput, "Source file"},
        {DrainFileSearchButton, "Place drain file"},
        {DrainFileNameInput, "Drain file"},
        {AnalyseButton, "Analyse file"},
        {GroupsButton, "Groups"},
    };
    for (const auto& [widget, name] : names) {
        widget->setAccessibleName(QString::fromLatin1(name));
    }

    for (QLabel* label : {TopicText, KeyInfo, KeyFileInfo, InputFileInfo, OutputFileInfo}) {
        label->setFocusPolicy(Qt::NoFocus);
    }
    QWidget* chain[] = {
        KeyInput,           KeyExtensionInput,  KeyFileNameInput,   SourceFileNameInput,
        DrainFileNameInput, EncryptRadioButton, DecryptRadioButton, CompileButton,
        CloseButton};
    for (std::size_t i = 0; i + 1 < std::size(chain); ++i) {
        QWidget::setTabOrder(chain[i], chain[i + 1]);
    }
    SetDirectionFocusPolicy();
}

void MainWindow::BuildMenu() {
    FileMenu = menuBar()->addMenu(QStringLiteral("&Main"));
    HintHook::SetHint(FileMenu->menuAction(), Hint("Velkor32's main menu..."));
    // The menu starts with a separator; keep it, and tall enough that its line
    // does not vanish into the menu's frame.
    FileMenu->setSeparatorsCollapsible(false);
    UseRoomySeparators(*FileMenu);
    BreakLine1 = FileMenu->addSeparator();
    KeyConfirmItem = MenuItem(FileMenu, "Con&firm Key", QKeySequence(Qt::ALT | Qt::Key_F),
                              "Confirm your key and the optional keyextension...");
    SourceSearchItem = MenuItem(FileMenu, "&Source file", QKeySequence(Qt::ALT | Qt::Key_S),
                                "Search for the input file...");
    DrainSearchItem = MenuItem(FileMenu, "&Drain file", QKeySequence(Qt::ALT | Qt::Key_D),
                               "Place the output file...");
    KeySearchItem = MenuItem(FileMenu, "&Key file", QKeySequence(Qt::ALT | Qt::Key_K),
                             "Search for the key file...");
    CompileItem = MenuItem(FileMenu, "&Compile", QKeySequence(Qt::ALT | Qt::Key_C),
                           "Start the velkor compiler...");
    AnalyseSearchItem = MenuItem(FileMenu, "&Analyse file", QKeySequence(Qt::ALT | Qt::Key_A),
                                 "Summarize the frequency of symbols in a file...");
    SwiftItem =
        MenuItem(FileMenu, "S&wift", QKeySequence(Qt::ALT | Qt::Key_W), "Use fast method...");
    SwiftItem->setCheckable(true);
    SwiftItem->setChecked(true);
    GroupItem = MenuItem(FileMenu, "&Groups", QKeySequence(Qt::ALT | Qt::Key_G),
                         "Encode or decode alphanumerical groups to five characters each...");
    BreakLine2 = FileMenu->addSeparator();
    ExitItem = MenuItem(FileMenu, "E&xit", QKeySequence(Qt::ALT | Qt::Key_X), "Quit Velkor32...");
    QFont bold = ExitItem->font();
    bold.setBold(true);
    ExitItem->setFont(bold);
    FileMenu->setDefaultAction(ExitItem);

    Info = menuBar()->addMenu(QStringLiteral("&Info"));
    HintHook::SetHint(Info->menuAction(), Hint("Velkor32's info menu..."));
    AboutItem = MenuItem(Info, "&About", QKeySequence(Qt::ALT | Qt::Key_F1), "Who is who...");
}

void MainWindow::BindHandlers() {
    keyFocusAfterDirection_ = new QTimer(this);
    keyFocusAfterDirection_->setSingleShot(true);
    keyFocusAfterDirection_->setInterval(0);
    connect(keyFocusAfterDirection_, &QTimer::timeout, this, [this] {
        if (QApplication::focusWidget() == EncryptRadioButton ||
            QApplication::focusWidget() == DecryptRadioButton) {
            KeyInput->setFocus();
        }
    });
    connect(EncryptRadioButton, &QRadioButton::clicked, this, [this] { EnCryptHandler(); });
    connect(DecryptRadioButton, &QRadioButton::clicked, this, [this] { DeCryptHandler(); });
    connect(EncryptRadioButton, &QRadioButton::toggled, this,
            [this] { SetDirectionFocusPolicy(); });
    connect(VelkorLogo, &ClickImage::clicked, this, [this] { About(); });
    connect(SwiftButton, &BevelPanel::clicked, this, [this] { SwiftHandler(); });
    connect(VerifyButton, &QToolButton::clicked, this, [this] { KeyVerification(); });
    connect(KeyInput, &QLineEdit::textChanged, this, [this] { KeyHandler(); });
    connect(KeyExtensionInput, &QLineEdit::textChanged, this, [this] { KeyExtensionHandler(); });
    connect(KeyFileSearchButton, &QToolButton::clicked, this, [this] { KeyFileSearch(); });
    connect(KeyFileNameInput, &QLineEdit::textChanged, this, [this] { KeyFileNameHandler(); });
    connect(KeyFileNameInput, &EntryEdit::doubleClicked, this,
            [this] { KeyFileNameEditHandler(); });
    connect(SourceFileSearchButton, &QToolButton::clicked, this, [this] { InputFileSearch(); });
    connect(SourceFileNameInput, &QLineEdit::textChanged, this, [this] { InputFileNameHandler(); });
    connect(SourceFileNameInput, &EntryEdit::doubleClicked, this,
            [this] { SourceFileNameEditHandler(); });
    connect(DrainFileSearchButton, &QToolButton::clicked, this, [this] { OutputFileSearch(); });
    connect(DrainFileNameInput, &QLineEdit::textChanged, this, [this] { OutputFileNameHandler(); });
    connect(DrainFileNameInput, &EntryEdit::doubleClicked, this,
            [this] { OutputFileNameEditHandler(); });
    for (EntryEdit* field : {KeyFileNameInput, SourceFileNameInput, DrainFileNameInput}) {
        field->TakeFileDrops();
        connect(field, &EntryEdit::fileDropped, this,
                [this, field](const QString& path) { DropFileInto(*field, path); });
    }
    for (EntryEdit* field : {KeyInput, KeyExtensionInput}) {
        connect(field, &EntryEdit::characterRefused, this, [this] { KeyCharacterRefused(); });
    }
    connect(AnalyseButton, &QToolButton::clicked, this, [this] { AnalyseFile(); });
    connect(GroupsButton, &QToolButton::clicked, this, [this] { Convert(); });
    connect(CloseButton, &QPushButton::clicked, this, [this] { ApplicationExit(); });
    connect(CompileButton, &QPushButton::clicked, this, [this] { StartCompiler(); });

    connect(KeyConfirmItem, &QAction::triggered, this, [this] { KeyVerification(); });
    connect(SourceSearchItem, &QAction::triggered, this, [this] { InputFileSearch(); });
    connect(DrainSearchItem, &QAction::triggered, this, [this] { OutputFileSearch(); });
    connect(KeySearchItem, &QAction::triggered, this, [this] { KeyFileSearch(); });
    connect(CompileItem, &QAction::triggered, this, [this] { StartCompiler(); });
    connect(AnalyseSearchItem, &QAction::triggered, this, [this] { AnalyseFile(); });
    connect(SwiftItem, &QAction::triggered, this, [this](bool checked) {
        // Qt has already flipped the mark; SwiftHandler decides from the old state.
        SwiftItem->setChecked(!checked);
        SwiftHandler();
    });
    connect(GroupItem, &QAction::triggered, this, [this] { Convert(); });
    connect(ExitItem, &QAction::triggered, this, [this] { ApplicationExit(); });
    connect(AboutItem, &QAction::triggered, this, [this] { About(); });
}

void MainWindow::FormCreate() {
    app_.hintHook = std::make_unique<HintHook>();
    connect(app_.hintHook.get(), &HintHook::hintChanged, this,
            [this](const QString& hint) { HintHandler(hint); });
    DefaultDirectory.clear();
    SourceFileName.clear();
    DrainFileName.clear();
    KeyFileName.clear();
    Key.clear();
    KeyExtension = std::string(1, '\0');
    EncryptMode = false;
    DrainConfirmed = false;
    KeyConfirmItem->setEnabled(false);
    VerifyButton->setEnabled(false);
    app_.creationLog.emplace_back("MainWindow");
}

QString MainWindow::Banner() {
    return QStringLiteral("Velkor32 Version " VELKOR_VERSION "  -  Copyright \u00A9 Velkor32 team");
}

QString MainWindow::StatusText() const {
    return StatusPanel->text();
}

void MainWindow::HintHandler(const QString& hint) {
    StatusPanel->setText(hint);
}

bool MainWindow::Swift() const {
    return SwiftItem->isChecked();
}

CompileSettings MainWindow::JobSettings() const {
    CompileSettings settings;
    settings.Key.assign(Key.begin(), Key.end());
    settings.KeyExtension = static_cast<std::uint8_t>(KeyExtension.empty() ? 0 : KeyExtension[0]);
    settings.KeyFileName = KeyFileName;
    settings.SourceFileName = SourceFileName;
    settings.DrainFileName = DrainFileName;
    settings.EncryptMode = EncryptMode;
    settings.Swift = Swift();
    return settings;
}

void MainWindow::Authenticate() {
    // The running program's own file, wherever it was started from; the
    // default directory is still the one it was started in.
    if (app_.files.FileExists(app_.programPath)) {
        DefaultDirectory = app_.files.CurrentDirectory() + "/";
        return;
    }
    const std::string program = FileNamePart(app_.programPath);
    app_.host.PlaySound(Sound::Default);
    app_.host.ShowMessage(MessageKind::Plain, Buttons::Ok,
                          "-> " + program + " not found! <-\r\rInfo:\rMake sure to place " +
                              program + "\rinto the default directory.\r\r",
                          "File not found!");
    ApplicationExit();
}

void MainWindow::ApplicationExit() {
    close();
}

void MainWindow::About() {
    app_.About().exec();
}

void MainWindow::SearchInto(FileDialog& dialog, EntryEdit& field, bool saving) {
    PutChosenFile(field, RunFileDialog(dialog), saving);
    ClearFileName(dialog);
}

void MainWindow::PutChosenFile(EntryEdit& field, const std::optional<QString>& chosen,
                               bool saving) {
    if (chosen) {
        field.setText(*chosen);
        if (saving) {
            DrainConfirmed = true;  // the save dialog asked its own overwrite question
        }
    } else if (saving) {
        DrainConfirmed = false;
    }
    field.setFocus();
}

void MainWindow::DropFileInto(EntryEdit& field, const QString& path) {
    activateWindow();
    if (&field == DrainFileNameInput) {
        // A dropped drain is asked about as one chosen in the save dialog.
        PutChosenFile(field, OutputDialog->Acceptable(path) ? std::optional(path) : std::nullopt,
                      true);
    } else {
        PutChosenFile(field, path, false);
    }
}

void MainWindow::KeyCharacterRefused() {
    app_.host.PlaySound(Sound::Exclamation);
    app_.hintHook->SetCurrentHint(RefusedKeyCharacterHint());
}

QString MainWindow::RefusedKeyCharacterHint() {
    return QStringLiteral("This character cannot be part of a key...");
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (DroppedFile(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (DroppedFile(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    // Anywhere but a file field, a dropped file is the source.
    if (const std::optional<QString> file = DroppedFile(event->mimeData())) {
        event->acceptProposedAction();
        DropFileInto(*SourceFileNameInput, *file);
    }
}

void MainWindow::KeyFileSearch() {
    SearchInto(*InputDialog, *KeyFileNameInput, false);
}

void MainWindow::InputFileSearch() {
    SearchInto(*InputDialog, *SourceFileNameInput, false);
}

void MainWindow::OutputFileSearch() {
    SearchInto(*OutputDialog, *DrainFileNameInput, true);
}

void MainWindow::KeyHandler() {
    Key = KeyFieldBytes(KeyInput->text());
    const bool verifiable = Key.size() >= static_cast<std::size_t>(kMinimumKeyLength);
    VerifyButton->setEnabled(verifiable);
    KeyConfirmItem->setEnabled(verifiable);
}

void MainWindow::StartCompiler() {
    CompileItem->setEnabled(false);
    CompileButton->setEnabled(false);
    CompileRequested = RequestChecks.CheckCompileRequest(*this);
    if (CompileRequested) {
        DrainConfirmed = false;
        CompileRequested = false;
        CompilerDialog& compiler = app_.Compiler();
        compiler.CompilePending = true;
        compiler.exec();
    }
    CompileItem->setEnabled(true);
    CompileButton->setEnabled(true);
}

EntryEdit& MainWindow::FieldEdit(RequestField field) const {
    switch (field) {
        case RequestField::Key:
            return *KeyInput;
        case RequestField::KeyFile:
            return *KeyFileNameInput;
        case RequestField::Source:
            return *SourceFileNameInput;
        case RequestField::Drain:
            break;
    }
    return *DrainFileNameInput;
}

void MainWindow::ClearField(RequestField field) {
    // The state field first: an edit that is empty already runs no change handler.
    switch (field) {
        case RequestField::Key:
            Key.clear();
            break;
        case RequestField::KeyFile:
            KeyFileName.clear();
            break;
        case RequestField::Source:
            SourceFileName.clear();
            break;
        case RequestField::Drain:
            DrainFileName.clear();
            break;
    }
    FieldEdit(field).setText(QString());
    FocusField(field);
}

void MainWindow::FocusField(RequestField field) {
    FieldEdit(field).setFocus();
}

void MainWindow::KeyExtensionHandler() {
    KeyExtension = KeyExtensionBytes(KeyExtensionInput->text());
}

void MainWindow::KeyFileNameHandler() {
    KeyFileName = KeyFileNameInput->text().toStdString();
}

void MainWindow::InputFileNameHandler() {
    SourceFileName = SourceFileNameInput->text().toStdString();
}

void MainWindow::OutputFileNameHandler() {
    DrainConfirmed = false;
    DrainFileName = DrainFileNameInput->text().toStdString();
}

void MainWindow::DeCryptHandler() {
    EncryptMode = false;
    FocusKeyAfterDirection();
}

void MainWindow::EnCryptHandler() {
    EncryptMode = true;
    FocusKeyAfterDirection();
}

void MainWindow::FocusKeyAfterDirection() {
    KeyInput->setFocus();
    // Chosen with the arrow keys, the radio button takes the focus itself
    // after its click; the key field takes it back once that is done.
    keyFocusAfterDirection_->start();
}

void MainWindow::KeyVerification() {
    const std::string extensionBefore = KeyExtension;
    if (app_.Verify().exec() != QDialog::Accepted) {
        return;
    }
    Host& host = app_.host;
    if (KeyFieldBytes(KeyInput->text()) != Key) {
        host.PlaySound(Sound::Asterisk);
        host.ShowMessage(MessageKind::Plain, Buttons::Ok, "Key verification failure!");
        KeyExtension = std::string(1, '\0');
        KeyExtensionInput->setText(QString());
        Key.clear();
        KeyInput->setText(QString());
        KeyInput->setFocus();
        return;
    }
    host.ShowMessage(MessageKind::Plain, Buttons::Ok, "Key verification ok!");
    if (extensionBefore != KeyExtension) {
        host.PlaySound(Sound::Asterisk);
        host.ShowMessage(MessageKind::Plain, Buttons::Ok, "Key Extension verification failure!");
        KeyExtension = std::string(1, '\0');
        KeyExtensionInput->setText(QString());
        KeyExtensionInput->setFocus();
        return;
    }
    host.ShowMessage(MessageKind::Plain, Buttons::Ok, "Key Extension verification ok!");
}

void MainWindow::AnalyseFile() {
    AnalyseSearchItem->setEnabled(false);
    AnalyseButton->setEnabled(false);
    std::optional<std::string> chosen;
    if (const std::optional<QString> name = RunFileDialog(*InputDialog)) {
        chosen = QFile::encodeName(*name).toStdString();
    }
    ClearFileName(*InputDialog);
    SymbolAnalysis(app_.host, app_.files, app_.messageInterval).Run(chosen);
    AnalyseSearchItem->setEnabled(true);
    AnalyseButton->setEnabled(true);
}

void MainWindow::Convert() {
    GroupItem->setEnabled(false);
    GroupsButton->setEnabled(false);
    // The save dialog is shown even when the open dialog was cancelled.
    const std::optional<QString> source = RunFileDialog(*InputDialog);
    const std::optional<QString> drain = RunFileDialog(*OutputDialog);
    if (source && drain) {
        ConversionDialog& window = app_.Convert();
        if (RequestConversion(window, QFile::encodeName(*source).toStdString(),
                              QFile::encodeName(*drain).toStdString())) {
            window.exec();
        }
    }
    ClearFileName(*InputDialog);
    ClearFileName(*OutputDialog);
    GroupItem->setEnabled(true);
    GroupsButton->setEnabled(true);
}

void MainWindow::OpenFieldFile(const EntryEdit& field) {
    ShellOpenPath(app_.host, field.text().toStdString());
}

void MainWindow::KeyFileNameEditHandler() {
    OpenFieldFile(*KeyFileNameInput);
}

void MainWindow::SourceFileNameEditHandler() {
    OpenFieldFile(*SourceFileNameInput);
}

void MainWindow::OutputFileNameEditHandler() {
    OpenFieldFile(*DrainFileNameInput);
}

void MainWindow::SwiftHandler() {
    const bool on = SwiftButton->Lowered() || SwiftItem->isChecked();
    SwiftItem->setChecked(!on);
    SwiftButton->SetLowered(!on);
}

void MainWindow::SetDirectionFocusPolicy() {
    // Only the checked direction is a tab stop, as in a radio group.
    const bool encrypt = EncryptRadioButton->isChecked();
    EncryptRadioButton->setFocusPolicy(encrypt ? Qt::StrongFocus : Qt::ClickFocus);
    DecryptRadioButton->setFocusPolicy(encrypt ? Qt::ClickFocus : Qt::StrongFocus);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
                // A focused button takes Enter itself; otherwise the default button.
                auto* focused = qobject_cast<QPushButton*>(focusWidget());
                QPushButton* target = focused != nullptr ? focused : CompileButton;
                if (target->isEnabled()) {
                    target->click();
                }
                return;
            }
            break;
        case Qt::Key_Escape:
            if (event->modifiers() == Qt::NoModifier) {
                CloseButton->click();
                return;
            }
            break;
        default:
            break;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        CentreOnScreen(*this);
        KeyInput->setFocus();
    }
}

}  // namespace velkor
