#pragma once

#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QString>
#include <QValidator>
#include <QWidget>
#include <optional>
#include <string>

namespace velkor {

// Keys are 8-bit text: each character is kept as its Windows-1252 byte.
// Nothing for a text holding a character that Windows-1252 lacks.
std::optional<std::string> Cp1252Bytes(const QString& text);

// Refuses any character that has no Windows-1252 byte.
class Cp1252Validator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
};

// Makes keyboard focus on a push button visible in every style.
void ShowFocusFrame(QPushButton& button);

// The one local file that a drag carries, if it carries exactly that: no
// folder, no remote address, no text.
std::optional<QString> DroppedFile(const QMimeData* data);

// Gives the menu's separators room for a visible line, the first one included.
void UseRoomySeparators(QMenu& menu);

// How a small window of the program looks: fixed in size, with the program's
// title and icon, a close box and the dialog font; `hint` is its status text.
void SetUpSmallWindow(QDialog& dialog, const QString& name, QSize size, Qt::WindowFlags extraFlags,
                      const QString& hint);
// The large centred heading of a progress window, across its width.
QLabel* ProgressHeading(const QString& text, QWidget& window);

// An edit field that can keep the caret instead of selecting everything when
// tabbed into, that reports double-clicks, and that can mask its text with "X".
class EntryEdit : public QLineEdit {
    Q_OBJECT

  public:
    explicit EntryEdit(QWidget* parent = nullptr);

    void SetAutoSelect(bool on) { autoSelect_ = on; }
    bool AutoSelect() const { return autoSelect_; }
    // Shows every character as "X" and accepts only Windows-1252 characters;
    // a typed character without one is reported, not taken.
    void MakeKeyField(int maxLength);
    // Takes a dropped local file as fileDropped(); a field that does not leaves
    // dropped addresses to the window around it.
    void TakeFileDrops() { fileDrops_ = true; }

  signals:
    void doubleClicked();
    void characterRefused();
    void fileDropped(const QString& path);

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // False, after reporting it, when text holds a character a key cannot.
    bool KeyCharactersFit(const QString& text);
    bool AnswerFileDrag(QDragMoveEvent* event) const;

    bool autoSelect_ = true;
    bool keyField_ = false;
    bool fileDrops_ = false;
};

// A panel used as a toggle: a single border and a two-pixel outer bevel that is
// either raised or lowered, with a centred caption; clicks come as clicked().
class BevelPanel : public QWidget {
    Q_OBJECT

  public:
    explicit BevelPanel(const QString& caption, QWidget* parent = nullptr);

    bool Lowered() const { return lowered_; }
    void SetLowered(bool lowered);
    QString Caption() const { return caption_; }

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QString caption_;
    bool lowered_ = false;
    bool pressed_ = false;
};

// An image (or a bevelled panel's face) that reports clicks.
class ClickImage : public QLabel {
    Q_OBJECT

  public:
    using QLabel::QLabel;

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool pressed_ = false;
};

// The fonts of the windows, from what Debian installs.
namespace fonts {
// "MS Sans Serif", the dialog font of every control without a font of its own.
QFont Dialog();
// Bold "System" font of buttons and the direction box.
QFont SystemBold(int pixelHeight = 13);
// The stroke lettering "Technical" of the titles.
QFont Technical(int pixelHeight);
// The dialog font at another size (the key-extension fields).
QFont DialogAt(int pixelHeight);
}  // namespace fonts

}  // namespace velkor
