#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace velkor {

// The working indicator of the progress windows: sheets of paper flying from
// one folder to another, drawn by hand. Stopped, it shows its stop frame.
// Long jobs let the event loop run only every few milliseconds, so each frame
// repaints no more than the sheet's path over a background drawn once.
class CopyAnimation : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kFrames = 32;
    static constexpr int kStopFrame = 26;

    explicit CopyAnimation(QWidget* parent = nullptr);

    void Play();
    void Stop();
    bool Playing() const { return timer_.isActive(); }
    int Frame() const { return frame_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QRect SheetArea(int frame) const;
    QPointF SheetCentre(int frame) const;
    void ShowFrame(int frame);

    QTimer timer_;
    int frame_ = kStopFrame;
    QPixmap background_;
};

}  // namespace velkor
