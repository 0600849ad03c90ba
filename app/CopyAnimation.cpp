#include "CopyAnimation.h"

#include <QPainter>
#include <QPainterPath>

namespace velkor {

namespace {

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

}  // namespace

CopyAnimation::CopyAnimation(QWidget* parent) : QWidget(parent) {
    timer_.setInterval(60);
    connect(&timer_, &QTimer::timeout, this, [this] {
        frame_ = (frame_ + 1) % kFrames;
        update();
    });
}

void CopyAnimation::Play() {
    if (!timer_.isActive()) {
        timer_.start();
    }
}

void CopyAnimation::Stop() {
    timer_.stop();
    frame_ = kStopFrame;
    update();
}

void CopyAnimation::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double folderWidth = 40;
    const double top = height() * 0.45;
    const QRectF from(width() * 0.5 - 95, top, folderWidth, 26);
    const QRectF to(width() * 0.5 + 55, top, folderWidth, 26);
    DrawFolder(painter, from);
    DrawFolder(painter, to);
    // One sheet on its way along an arc, a new one every frame cycle.
    const double t = static_cast<double>(frame_) / kFrames;
    const QPointF start = from.center() - QPointF(0, 8);
    const QPointF end = to.center() - QPointF(0, 8);
    const double lift = 4 * t * (1 - t) * (height() * 0.4);
    const QPointF sheet = start + (end - start) * t - QPointF(0, lift);
    DrawSheet(painter, sheet, -25 + 50 * t);
}

}  // namespace velkor
