#include "Widgets.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionMenuItem>
#include <QUrl>
#include <algorithm>
#include <cmath>

#include "Cp1252.h"
#include "Glyphs.h"
#include "HintHook.h"

namespace velkor {

std::optional<std::string> Cp1252Bytes(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar character : text) {
        if (character.isSurrogate()) {
            return std::nullopt;
        }
        const auto byte = ToCp1252(character.unicode());
        if (!byte) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<char>(*byte));
    }
    return bytes;
}

QValidator::State Cp1252Validator::validate(QString& input, int& /*position*/) const {
    return Cp1252Bytes(input) ? Acceptable : Invalid;
}

namespace {

// Draws the password character "X" whatever the widget style prefers.
class KeyFieldStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) {
            return 'X';
        }
        if (hint == SH_LineEdit_PasswordMaskDelay) {
            return 0;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Draws a dotted focus frame inside a focused push button: some styles show
// keyboard focus on the default button no differently from its default look.
class FocusFrameStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        QProxyStyle::drawControl(element, option, painter, widget);
        if (element != CE_PushButton || !(option->state & State_HasFocus)) {
            return;
        }
        painter->save();
        QPen pen(option->palette.color(QPalette::ButtonText), 1, Qt::DotLine);
        pen.setCosmetic(true);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(4, 4, -5, -5));
        painter->restore();
    }
};

class RoomySeparatorStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (type == CT_MenuItem && item != nullptr &&
            item->menuItemType == QStyleOptionMenuItem::Separator) {
            constexpr int kSeparatorHeight = 9;
            result.setHeight(std::max(result.height(), kSeparatorHeight));
        }
        return result;
    }
};

// A click is a left press and a release inside the control.
bool EndsClick(bool& pressed, const QMouseEvent& release, const QRect& area) {
    const bool click = pressed && release.button() == Qt::LeftButton &&
                       area.contains(release.position().toPoint());
    pressed = false;
    return click;
}

}  // namespace

void UseRoomySeparators(QMenu& menu) {
    auto* style = new RoomySeparatorStyle(menu.style()->name());
    style->setParent(&menu);
    menu.setStyle(style);
}

void ShowFocusFrame(QPushButton& button) {
    auto* style = new FocusFrameStyle(button.style()->name());
    style->setParent(&button);
    button.setStyle(style);
}

void SetUpSmallWindow(QDialog& dialog, const QString& name, QSize size, Qt::WindowFlags extraFlags,
                      const QString& hint) {
    dialog.setObjectName(name);
    dialog.setWindowTitle(QStringLiteral("Velkor32"));
    dialog.setWindowIcon(ProgramIcon());
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | extraFlags);
    dialog.setFixedSize(size);
    dialog.setFont(fonts::Dialog());
    HintHook::SetHint(&dialog, hint);
}

QLabel* ProgressHeading(const QString& text, QWidget& window) {
    auto* heading = new QLabel(text, &window);
    heading->setGeometry(0, 0, window.width(), 30);
    heading->setAlignment(Qt::AlignCenter);
    heading->setTextFormat(Qt::PlainText);
    heading->setFont(fonts::Technical(24));
    return heading;
}

EntryEdit::EntryEdit(QWidget* parent) : QLineEdit(parent) {}

void EntryEdit::MakeKeyField(int maxLength) {
    auto* style = new KeyFieldStyle(this->style()->name());
    style->setParent(this);
    setStyle(style);
    setEchoMode(QLineEdit::Password);
    setMaxLength(maxLength);
    setValidator(new Cp1252Validator(this));
    SetAutoSelect(false);
    keyField_ = true;
}

bool EntryEdit::KeyCharactersFit(const QString& text) {
    if (!keyField_ || text.isEmpty() || Cp1252Bytes(text)) {
        return true;
    }
    emit characterRefused();
    return false;
}

void EntryEdit::keyPressEvent(QKeyEvent* event) {
    if (!KeyCharactersFit(event->text())) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void EntryEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (!KeyCharactersFit(event->commitString())) {
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

std::optional<QString> DroppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) {
        return std::nullopt;
    }
    const QUrl url = data->urls().first();
    if (!url.isLocalFile() || QFileInfo(url.toLocalFile()).isDir()) {
        return std::nullopt;
    }
    return url.toLocalFile();
}

// Never the address as text: a file field takes the file, any other field
// leaves it to the window. False for a drag without addresses.
bool EntryEdit::AnswerFileDrag(QDragMoveEvent* event) const {
    if (!event->mimeData()->hasUrls()) {
        return false;
    }
    if (fileDrops_ && DroppedFile(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
    return true;
}

void EntryEdit::dragEnterEvent(QDragEnterEvent* event) {
    if (!AnswerFileDrag(event)) {
        QLineEdit::dragEnterEvent(event);
    }
}

void EntryEdit::dragMoveEvent(QDragMoveEvent* event) {
    if (!AnswerFileDrag(event)) {
        QLineEdit::dragMoveEvent(event);
    }
}

void EntryEdit::dropEvent(QDropEvent* event) {
    if (event->mimeData()->hasUrls()) {
        const std::optional<QString> file =
            fileDrops_ ? DroppedFile(event->mimeData()) : std::nullopt;
        if (file) {
            event->acceptProposedAction();
            emit fileDropped(*file);
        } else {
            event->ignore();
        }
        return;
    }
    QLineEdit::dropEvent(event);
}

void EntryEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (!autoSelect_ && hasSelectedText()) {
        deselect();
        end(false);
    }
}

void EntryEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

BevelPanel::BevelPanel(const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption) {}

void BevelPanel::SetLowered(bool lowered) {
    if (lowered_ != lowered) {
        lowered_ = lowered;
        update();
    }
}

void BevelPanel::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.fillRect(rect(), palette().button());
    // Border and bevel in whole device pixels: at a fractional scale factor
    // lines drawn in logical pixels land between device pixels and lose edges.
    const qreal scale = devicePixelRatioF();
    const int line = std::max(1, static_cast<int>(scale));
    const QRect device(0, 0, static_cast<int>(std::lround(width() * scale)),
                       static_cast<int>(std::lround(height() * scale)));
    p.save();
    p.scale(1 / scale, 1 / scale);
    const QColor border = palette().color(QPalette::WindowText);
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    const auto frame = [&p](const QRect& area, int width, const QColor& topLeft,
                            const QColor& bottomRight) {
        p.fillRect(area.left(), area.top(), area.width(), width, topLeft);
        p.fillRect(area.left(), area.top(), width, area.height(), topLeft);
        p.fillRect(area.left(), area.bottom() + 1 - width, area.width(), width, bottomRight);
        p.fillRect(area.right() + 1 - width, area.top(), width, area.height(), bottomRight);
    };
    frame(device, line, border, border);
    // The two-pixel outer bevel inside the border.
    const QRect bevel = device.adjusted(line, line, -line, -line);
    frame(bevel, 2 * line, lowered_ ? dark : light, lowered_ ? light : dark);
    p.restore();

    p.setFont(font());
    p.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    const QRect face = rect().adjusted(3, 3, -3, -3).translated(lowered_ ? 1 : 0, lowered_ ? 1 : 0);
    p.drawText(face, Qt::AlignCenter, caption_);
}

void BevelPanel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
}

void BevelPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (EndsClick(pressed_, *event, rect())) {
        emit clicked();
    }
}

void ClickImage::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
}

void ClickImage::mouseReleaseEvent(QMouseEvent* event) {
    if (EndsClick(pressed_, *event, rect())) {
        emit clicked();
    }
}

namespace fonts {

namespace {

QFont Make(const QString& family, int pixelHeight) {
    QFont font(family);
    font.setPixelSize(pixelHeight);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace

QFont Dialog() {
    return DialogAt(11);
}

QFont DialogAt(int pixelHeight) {
    return Make(QStringLiteral("Liberation Sans"), pixelHeight);
}

QFont SystemBold(int pixelHeight) {
    QFont font = Make(QStringLiteral("Liberation Sans"), pixelHeight - 1);
    font.setBold(true);
    return font;
}

QFont Technical(int pixelHeight) {
    // The height is the whole cell, as the original font sizes were given;
    // the em is about four fifths of it.
    QFont font = Make(QStringLiteral("DejaVu Sans Condensed"), pixelHeight * 4 / 5);
    font.setWeight(QFont::ExtraLight);
    font.setItalic(true);
    return font;
}

}  // namespace fonts

}  // namespace velkor
