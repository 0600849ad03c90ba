#include "CopyAnimation.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

namespace velkor {

namespace {

constexpr double kFolderWidth = 40;
constexpr double kFolderHeight = 26;

void DrawFolder(QPainter& painter, const QRectF& box) {
    QPainterPath tab;
    tab.addRoundedRect(QRectF(box.left(), box.top() - 4, box.width() * 0.45, 8), 2, 2);
    painter.setPen(QPen(QColor(120, 90, 20), 1));
    painter.setBrush(QColor(230, 190, 80));
    painter.drawPath(tab);
    painter.drawRoundedRect(box, 3, 3);
}

void DrawSheet(QPainter& painter, QPointF centre, double tilt) {
    painter.save();
    painter.translate(centre);
    painter.rotate(tilt);
    painter.setPen(QPen(QColor(90, 90, 90), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(-7, -9, 14, 18));
    painter.setPen(QPen(QColor(150, 150, 200), 1));
    for (int line = -5; line <= 5; line += 3) {
        painter.drawLine(QPointF(-4, line), QPointF(4, line));
    }
    painter.restore();
}

double Tilt(int frame) {
    return -25 + 50 * static_cast<double>(frame) / CopyAnimation::kFrames;
}

}  // namespace

CopyAnimation::CopyAnimation(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    timer_.setInterval(80);
    connect(&timer_, &QTimer::timeout, this, [this] { ShowFrame((frame_ + 1) % kFrames); });
}

void CopyAnimation::Play() {
    if (!timer_.isActive()) {
        timer_.start();
    }
}

void CopyAnimation::Stop() {
    timer_.stop();
    ShowFrame(kStopFrame);
}

void CopyAnimation::ShowFrame(int frame) {
    const QRect before = SheetArea(frame_);
    frame_ = frame;
    update(before.united(SheetArea(frame_)));
}

QPointF CopyAnimation::SheetCentre(int frame) const {
    // Along an arc from the left folder to the right one.
    const double t = static_cast<double>(frame) / kFrames;
    const double top = height() * 0.45;
    const QPointF start(width() * 0.5 - 95 + kFolderWidth / 2, top + kFolderHeight / 2 - 8);
    const QPointF end(width() * 0.5 + 55 + kFolderWidth / 2, top + kFolderHeight / 2 - 8);
    const double lift = 4 * t * (1 - t) * (height() * 0.4);
    return start + (end - start) * t - QPointF(0, lift);
}

QRect CopyAnimation::SheetArea(int frame) const {
    const QPointF centre = SheetCentre(frame);
    return QRectF(centre - QPointF(13, 13), QSizeF(26, 26)).toAlignedRect();
}

void CopyAnimation::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    background_ = QPixmap(size());
    background_.fill(palette().color(backgroundRole()));
    QPainter painter(&background_);
    painter.setRenderHint(QPainter::Antialiasing);
    const double top = height() * 0.45;
    DrawFolder(painter, QRectF(width() * 0.5 - 95, top, kFolderWidth, kFolderHeight));
    DrawFolder(painter, QRectF(width() * 0.5 + 55, top, kFolderWidth, kFolderHeight));
}

void CopyAnimation::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawPixmap(event->rect(), background_, event->rect());
    painter.setRenderHint(QPainter::Antialiasing);
    DrawSheet(painter, SheetCentre(frame_), Tilt(frame_));
}

}  // namespace velkor
