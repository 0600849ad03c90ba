#pragma once

#include <QTimer>
#include <QWidget>

namespace velkor {

// The working indicator of the progress windows: sheets of paper flying from
// one folder to another, drawn by hand. Stopped, it shows its stop frame.
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

  private:
    QTimer timer_;
    int frame_ = kStopFrame;
};

}  // namespace velkor
