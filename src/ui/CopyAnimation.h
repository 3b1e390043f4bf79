#pragma once
// The rename job's copy animation: a sheet flies from one folder to the
// other while the job runs, and stands still in the first folder when it
// does not. Drawn with QPainter; the binder plays it while its control is
// checked.

#include <QTimer>
#include <QWidget>

namespace tagmora {

class CopyAnimation : public QWidget {
  Q_OBJECT

 public:
  explicit CopyAnimation(QWidget* parent = nullptr);

  void SetPlaying(bool playing);
  bool Playing() const { return timer_.isActive(); }
  // The flight in steps; 0 while it stands still.
  int Frame() const { return frame_; }
  static constexpr int kFrames = 24;

  QSize sizeHint() const override { return {272, 56}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QTimer timer_;
  int frame_ = 0;
};

}  // namespace tagmora
