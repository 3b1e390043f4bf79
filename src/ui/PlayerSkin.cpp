#include "ui/PlayerSkin.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace tagmora {

namespace {

const QColor kAccent(79, 209, 232);
const QColor kSymbol(226, 236, 242);

QRectF Inner(const QPixmap& pixmap, qreal margin) {
  return QRectF(0, 0, pixmap.width(), pixmap.height()).adjusted(margin, margin, -margin, -margin);
}

QPixmap Blank(int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// A metal body: lit from above, darker and sunk in when pressed, with a
// cyan rim under the pointer.
void Body(QPainter& p, const QPainterPath& shape, const QRectF& box, int picture, bool lit) {
  const bool pressed = picture == kPicturePressed;
  QLinearGradient fill(box.topLeft(), box.bottomLeft());
  fill.setColorAt(0, pressed ? QColor(38, 44, 52) : QColor(112, 122, 134));
  fill.setColorAt(0.5, pressed ? QColor(52, 60, 70) : QColor(70, 78, 90));
  fill.setColorAt(1, pressed ? QColor(84, 94, 106) : QColor(40, 45, 53));
  p.setPen(Qt::NoPen);
  p.setBrush(fill);
  p.drawPath(shape);
  if (lit) {
    QRadialGradient glow(box.center(), box.width() / 2);
    glow.setColorAt(0, QColor(79, 209, 232, 120));
    glow.setColorAt(1, QColor(79, 209, 232, 0));
    p.setBrush(glow);
    p.drawPath(shape);
  }
  const QColor rim = picture == kPictureHover ? kAccent : QColor(20, 23, 28);
  p.setPen(QPen(rim, picture == kPictureHover ? 1.6 : 1.0));
  p.setBrush(Qt::NoBrush);
  p.drawPath(shape);
}

void Triangle(QPainter& p, qreal left, qreal cy, qreal width, qreal height, bool pointsLeft) {
  QPainterPath path;
  if (pointsLeft) {
    path.moveTo(left + width, cy - height / 2);
    path.lineTo(left, cy);
    path.lineTo(left + width, cy + height / 2);
  } else {
    path.moveTo(left, cy - height / 2);
    path.lineTo(left + width, cy);
    path.lineTo(left, cy + height / 2);
  }
  path.closeSubpath();
  p.drawPath(path);
}

void Symbol(QPainter& p, SkinImage image, const QRectF& box, int picture) {
  const QColor ink = picture == kPicturePressed ? kAccent : kSymbol;
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  const qreal cx = box.center().x() + (picture == kPicturePressed ? 0.5 : 0);
  const qreal cy = box.center().y() + (picture == kPicturePressed ? 0.5 : 0);
  const qreal s = box.width();
  switch (image) {
    case kImagePlay:
      Triangle(p, cx - s * 0.13, cy, s * 0.33, s * 0.38, false);
      break;
    case kImagePause:
      p.drawRect(QRectF(cx - s * 0.17, cy - s * 0.19, s * 0.12, s * 0.38));
      p.drawRect(QRectF(cx + s * 0.05, cy - s * 0.19, s * 0.12, s * 0.38));
      break;
    case kImageStop:
      p.drawRect(QRectF(cx - s * 0.16, cy - s * 0.16, s * 0.32, s * 0.32));
      break;
    case kImagePrev:
      p.drawRect(QRectF(cx - s * 0.25, cy - s * 0.17, s * 0.07, s * 0.34));
      Triangle(p, cx - s * 0.18, cy, s * 0.2, s * 0.34, true);
      Triangle(p, cx + 0.02 * s, cy, s * 0.2, s * 0.34, true);
      break;
    case kImageNext:
      Triangle(p, cx - s * 0.22, cy, s * 0.2, s * 0.34, false);
      Triangle(p, cx - s * 0.02, cy, s * 0.2, s * 0.34, false);
      p.drawRect(QRectF(cx + s * 0.18, cy - s * 0.17, s * 0.07, s * 0.34));
      break;
    default:
      break;
  }
}

// Two arrows that cross, or one that loops back, with the mode's lamp.
void ModeSymbol(QPainter& p, SkinImage image, const QRectF& box, int picture) {
  const bool on = picture == kPicturePressed;
  const QColor ink = on ? kAccent : kSymbol;
  const qreal cx = box.center().x() + 3, cy = box.center().y();
  QPen pen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.setBrush(ink);
  if (image == kImageShuffle) {
    QPainterPath one, two;
    one.moveTo(cx - 8, cy - 4);
    one.cubicTo(cx - 2, cy - 4, cx + 2, cy + 4, cx + 7, cy + 4);
    two.moveTo(cx - 8, cy + 4);
    two.cubicTo(cx - 2, cy + 4, cx + 2, cy - 4, cx + 7, cy - 4);
    p.setBrush(Qt::NoBrush);
    p.drawPath(one);
    p.drawPath(two);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    Triangle(p, cx + 6, cy - 4, 4, 5, false);
    Triangle(p, cx + 6, cy + 4, 4, 5, false);
  } else {
    QPainterPath loop;
    loop.addRoundedRect(QRectF(cx - 8, cy - 4.5, 15, 9), 4.5, 4.5);
    p.setBrush(Qt::NoBrush);
    p.drawPath(loop);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    Triangle(p, cx - 2, cy - 4.5, 5, 5, false);
  }
  // The lamp at the left end says whether the mode is on.
  const QPointF lamp(box.left() + 7, cy);
  if (on) {
    QRadialGradient glow(lamp, 5);
    glow.setColorAt(0, QColor(160, 240, 255));
    glow.setColorAt(1, QColor(79, 209, 232, 0));
    p.setBrush(glow);
    p.drawEllipse(lamp, 5, 5);
  }
  p.setBrush(on ? QColor(190, 246, 255) : QColor(24, 30, 36));
  p.drawEllipse(lamp, 2.2, 2.2);
}

}  // namespace

QPixmap SkinPicture(SkinImage image, int picture) {
  const SkinImageInfo& info = kSkinImages[image];
  QPixmap pixmap = Blank(info.width, info.height);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF box = Inner(pixmap, 1);
  QPainterPath shape;
  switch (image) {
    case kImageShuffle:
    case kImageRepeat: {
      // The pill keeps to the upper part of its box, clear of the round
      // buttons that the boxes overlap.
      const QRectF pill(image == kImageShuffle ? 7 : 3, 1.5, 34, 14);
      shape.addRoundedRect(pill, pill.height() / 2, pill.height() / 2);
      Body(p, shape, pill, picture, false);
      ModeSymbol(p, image, pill, picture);
      break;
    }
    case kImageScrollPosition:
    case kImageScrollVolume: {
      shape.addRoundedRect(box, 4, 4);
      Body(p, shape, box, picture == kPictureNormal ? kPictureNormal : picture, false);
      // Grip lines in the middle.
      p.setPen(QPen(picture == kPicturePressed ? kAccent : QColor(30, 34, 40), 1));
      for (int i = -1; i <= 1; ++i)
        p.drawLine(QPointF(box.center().x() + 3 * i, box.top() + 3),
                   QPointF(box.center().x() + 3 * i, box.bottom() - 3));
      break;
    }
    default:
      shape.addEllipse(box);
      Body(p, shape, box, picture, image == kImagePlay && picture == kPictureHover);
      Symbol(p, image, box, picture);
      break;
  }
  return pixmap;
}

QPixmap PlayerBackground() {
  QPixmap pixmap = Blank(kPlayerBack.width, kPlayerBack.height);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  // A rounded panel lit from above.
  auto panel = [&p](const QRectF& r, QColor top, QColor bottom, QColor edge, qreal radius) {
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setPen(QPen(edge, 1.2));
    p.setBrush(fill);
    p.drawRoundedRect(r, radius, radius);
  };
  panel(QRectF(0.5, 0.5, kPlayerBack.width - 1, kPlayerBack.height - 1), QColor(58, 64, 74),
        QColor(26, 29, 35), QColor(14, 16, 20), 14);
  // The display behind the time and the track.
  const QRectF display(9, 3, 182, 93);
  panel(display, QColor(14, 44, 50), QColor(8, 26, 31), QColor(6, 12, 15), 7);
  p.setPen(QPen(QColor(79, 209, 232, 40), 1));
  p.drawLine(QPointF(display.left() + 10, 36), QPointF(display.right() - 10, 36));

  // The knobs' bands, centred on the knobs' rows.
  auto band = [&p](SkinImage knob, int min, int max, bool wedge) {
    const SkinImageInfo& info = kSkinImages[knob];
    const qreal cy = info.top - kPlayerBack.top + info.height / 2.0;
    const qreal left = min - kPlayerBack.left + 2, right = max - kPlayerBack.left + info.width - 2;
    QPainterPath groove;
    if (wedge) {
      groove.moveTo(left, cy + 2.5);
      groove.lineTo(right, cy - 4.5);
      groove.lineTo(right, cy + 2.5);
      groove.closeSubpath();
    } else {
      groove.addRoundedRect(QRectF(left, cy - 2.5, right - left, 5), 2.5, 2.5);
    }
    p.setPen(QPen(QColor(90, 100, 112), 1));
    p.setBrush(QColor(12, 14, 18));
    p.drawPath(groove);
  };
  band(kImageScrollPosition, kPositionTrackMin, kPositionTrackMax, false);
  band(kImageScrollVolume, kVolumeTrackMin, kVolumeTrackMax, true);
  return pixmap;
}

}  // namespace tagmora
