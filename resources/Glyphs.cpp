#include "Glyphs.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

namespace velkor {

namespace {

constexpr int kGlyphSize = 16;

const QColor kOutline(40, 40, 48);
const QColor kGold(222, 170, 40);
const QColor kSteel(120, 140, 170);
const QColor kNavy(24, 52, 120);
const QColor kGreen(20, 150, 60);
const QColor kRed(190, 30, 30);
const QColor kPaper(250, 250, 240);
const QColor kFolder(238, 200, 80);

void DrawKey(QPainter& p, const QColor& fill) {
    p.setPen(QPen(kOutline, 1));
    p.setBrush(fill);
    p.drawEllipse(QRectF(1.5, 4.5, 6, 6));
    p.drawRect(QRectF(7.5, 6.5, 7, 2));
    p.drawRect(QRectF(11.5, 8.5, 1, 2));
    p.drawRect(QRectF(13.5, 8.5, 1, 3));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(3.5, 6.5, 2, 2));
}

void DrawTick(QPainter& p, const QRectF& box) {
    QPainterPath tick;
    tick.moveTo(box.left(), box.top() + box.height() * 0.55);
    tick.lineTo(box.left() + box.width() * 0.38, box.bottom());
    tick.lineTo(box.right(), box.top());
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kGreen, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
}

void DrawGlyph(QPainter& p, Glyph glyph) {
    switch (glyph) {
        case Glyph::Verify:
            DrawKey(p, kGold);
            DrawTick(p, QRectF(8.5, 10.5, 6.5, 4.5));
            break;
        case Glyph::OpenFile: {
            p.setPen(QPen(kOutline, 1));
            p.setBrush(kFolder.darker(115));
            p.drawRect(QRectF(0.5, 3.5, 12, 10));
            p.drawRect(QRectF(0.5, 2.5, 5, 1));
            QPainterPath front;
            front.moveTo(0.5, 13.5);
            front.lineTo(3.5, 7.5);
            front.lineTo(15.5, 7.5);
            front.lineTo(12.5, 13.5);
            front.closeSubpath();
            p.setBrush(kFolder);
            p.drawPath(front);
            break;
        }
        case Glyph::SaveFile:
            p.setPen(QPen(kOutline, 1));
            p.setBrush(kNavy);
            p.drawRect(QRectF(1.5, 1.5, 13, 13));
            p.setBrush(kPaper);
            p.drawRect(QRectF(3.5, 1.5, 9, 6));
            p.setBrush(kSteel);
            p.drawRect(QRectF(4.5, 10.5, 7, 4));
            p.setBrush(kNavy);
            p.drawRect(QRectF(5.5, 11.5, 2, 2));
            break;
        case Glyph::Analyse:
            p.setPen(QPen(kOutline, 1));
            p.drawLine(QPointF(0.5, 15.5), QPointF(15.5, 15.5));
            p.setBrush(kNavy);
            p.drawRect(QRectF(1.5, 8.5, 3, 6));
            p.setBrush(kRed);
            p.drawRect(QRectF(5.5, 3.5, 3, 11));
            p.setBrush(kGreen);
            p.drawRect(QRectF(9.5, 6.5, 3, 8));
            p.setBrush(kGold);
            p.drawRect(QRectF(13.5, 10.5, 2, 4));
            break;
        case Glyph::Groups:
            p.setPen(QPen(kOutline, 1));
            p.setBrush(kPaper);
            p.drawRect(QRectF(0.5, 1.5, 15, 13));
            p.setPen(QPen(kNavy, 2));
            for (int row = 0; row < 3; ++row) {
                const double y = 4.5 + row * 4;
                p.drawLine(QPointF(2.5, y), QPointF(6.5, y));
                p.drawLine(QPointF(9.5, y), QPointF(13.5, y));
            }
            break;
        case Glyph::Close: {
            p.setPen(QPen(kOutline, 1));
            p.setBrush(QColor(150, 95, 45));
            p.drawRect(QRectF(1.5, 0.5, 8, 15));
            p.setBrush(kGold);
            p.drawEllipse(QRectF(6.5, 7.5, 2, 2));
            QPainterPath arrow;
            arrow.moveTo(10, 5.5);
            arrow.lineTo(15.5, 8);
            arrow.lineTo(10, 10.5);
            arrow.closeSubpath();
            p.setBrush(kRed);
            p.setPen(QPen(kRed, 1));
            p.drawRect(QRectF(10, 7, 2.5, 2));
            p.drawPath(arrow);
            break;
        }
        case Glyph::Compile: {
            p.setPen(QPen(kOutline, 1.4));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(3.5, 0.5, 9, 10), 0, 180 * 16);
            p.drawLine(QPointF(3.5, 5.5), QPointF(3.5, 7.5));
            p.drawLine(QPointF(12.5, 5.5), QPointF(12.5, 7.5));
            p.setPen(QPen(kOutline, 1));
            QLinearGradient body(0, 7, 0, 16);
            body.setColorAt(0, kGold.lighter(130));
            body.setColorAt(1, kGold.darker(120));
            p.setBrush(body);
            p.drawRoundedRect(QRectF(1.5, 7.5, 13, 8), 1.5, 1.5);
            p.setBrush(kOutline);
            p.drawEllipse(QRectF(6.5, 9.5, 3, 3));
            p.drawRect(QRectF(7.5, 11.5, 1, 2.5));
            break;
        }
        case Glyph::VerifyCheck:
            DrawTick(p, QRectF(2, 3, 12, 10));
            break;
    }
}

// Grey, embossed copy of an image, drawn from its shape only.
QImage DisabledImage(const QImage& normal) {
    QImage shape = normal.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    auto tinted = [&shape](const QColor& color) {
        QImage out = shape;
        QPainter p(&out);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(out.rect(), color);
        return out;
    };
    QImage result(shape.size(), QImage::Format_ARGB32_Premultiplied);
    result.setDevicePixelRatio(shape.devicePixelRatio());
    result.fill(Qt::transparent);
    QPainter p(&result);
    p.drawImage(QPointF(1.0, 1.0), tinted(Qt::white));
    p.drawImage(QPointF(0, 0), tinted(QColor(128, 128, 128)));
    p.end();
    return result;
}

QImage RenderGlyph(Glyph glyph, int scale) {
    QImage image(kGlyphSize * scale, kGlyphSize * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(scale);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawGlyph(p, glyph);
    p.end();
    return image;
}

}  // namespace

QIcon GlyphIcon(Glyph glyph) {
    QIcon icon;
    for (const int scale : {1, 2}) {
        const QImage normal = RenderGlyph(glyph, scale);
        icon.addPixmap(QPixmap::fromImage(normal), QIcon::Normal);
        icon.addPixmap(QPixmap::fromImage(normal), QIcon::Active);
        icon.addPixmap(QPixmap::fromImage(DisabledImage(normal)), QIcon::Disabled);
    }
    return icon;
}

QImage ProgramIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/velkor32.svg"));
    QPainter p(&image);
    renderer.render(&p, QRectF(0, 0, size, size));
    p.end();
    return image;
}

QPixmap ProgramIconPixmap(int size) {
    return QPixmap::fromImage(ProgramIconImage(size));
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(ProgramIconPixmap(size));
    }
    return icon;
}

}  // namespace velkor
