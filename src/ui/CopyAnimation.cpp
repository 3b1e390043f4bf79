#include "ui/CopyAnimation.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tagmora {

namespace {

constexpr int kStepMs = 50;

// An open folder whose lower left corner stands at (x, bottom).
void DrawFolder(QPainter& painter, qreal x, qreal bottom, qreal width, qreal height) {
  const QColor edge(150, 112, 32), back(236, 196, 92), front(248, 214, 118);
  painter.setPen(QPen(edge, 1.2));
  QPainterPath backPath;
  backPath.moveTo(x, bottom);
  backPath.lineTo(x, bottom - height);
  backPath.lineTo(x + width * 0.35, bottom - height);
  backPath.lineTo(x + width * 0.42, bottom - height * 0.85);
  backPath.lineTo(x + width, bottom - height * 0.85);
  backPath.lineTo(x + width, bottom);
  backPath.closeSubpath();
  painter.setBrush(back);
  painter.drawPath(backPath);
  QPainterPath frontPath;
  frontPath.moveTo(x, bottom);
  frontPath.lineTo(x + width * 0.08, bottom - height * 0.6);
  frontPath.lineTo(x + width * 1.06, bottom - height * 0.6);
  frontPath.lineTo(x + width, bottom);
  frontPath.closeSubpath();
  painter.setBrush(front);
  painter.drawPath(frontPath);
}

// A written sheet centred on centre, turned by degrees.
void DrawSheet(QPainter& painter, QPointF centre, qreal degrees) {
  painter.save();
  painter.translate(centre);
  painter.rotate(degrees);
  const QRectF sheet(-9, -12, 18, 24);
  painter.setPen(QPen(QColor(110, 110, 110), 1));
  painter.setBrush(Qt::white);
  painter.drawRect(sheet);
  painter.setPen(QPen(QColor(90, 120, 190), 1));
  for (int line = 0; line < 4; ++line)
    painter.drawLine(QPointF(-6, -7 + line * 5), QPointF(line == 3 ? 1 : 6, -7 + line * 5));
  painter.restore();
}

}  // namespace

CopyAnimation::CopyAnimation(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setMinimumSize(sizeHint());
  timer_.setInterval(kStepMs);
  connect(&timer_, &QTimer::timeout, this, [this] {
    frame_ = frame_ % kFrames + 1;
    update();
  });
}

void CopyAnimation::SetPlaying(bool playing) {
  if (playing == Playing()) return;
  if (playing) {
    timer_.start();
  } else {
    timer_.stop();
    frame_ = 0;
  }
  update();
}

void CopyAnimation::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal bottom = height() - 4, folderWidth = 50, folderHeight = 34;
  const qreal left = 12, right = width() - folderWidth - 16;
  DrawFolder(painter, left, bottom, folderWidth, folderHeight);
  DrawFolder(painter, right, bottom, folderWidth, folderHeight);
  // The sheet leaves the first folder, rises and falls into the second,
  // turning over once on the way.
  const qreal t = qreal(frame_) / kFrames;
  const qreal startX = left + folderWidth / 2, endX = right + folderWidth / 2;
  const qreal restY = bottom - folderHeight * 0.75;
  const QPointF centre(startX + (endX - startX) * t, restY - std::sin(t * M_PI) * (restY - 14));
  DrawSheet(painter, centre, t * 360);
}

}  // namespace tagmora
