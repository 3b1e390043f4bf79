#include "ui/PlayerPage.h"

#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "app/Control.h"
#include "player/Player.h"
#include "ui/ControlBinder.h"
#include "ui/PlayerSkin.h"

namespace tagmora {

namespace {

QRect RectOf(const SkinRect& r) { return QRect(r.left, r.top, r.width, r.height); }

}  // namespace

// One picture button or knob: shows the picture its control names and
// hands the mouse to the player. Only its drawn shape takes the mouse, so
// that neighbours whose boxes overlap stay reachable.
class SkinImageWidget : public QWidget {
 public:
  SkinImageWidget(SkinImage image, Player& player, Control& control, QWidget* parent)
      : QWidget(parent), image_(image), player_(player), control_(control) {
    const SkinImageInfo& info = kSkinImages[image];
    setObjectName(QString::fromLatin1(info.name));
    for (int i = 0; i < 3; ++i) pictures_[static_cast<size_t>(i)] = SkinPicture(image, i);
    setGeometry(info.left, info.top, info.width, info.height);
    setMask(pictures_[0].mask());
    setMouseTracking(true);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    const int picture = control_.Image();
    if (picture < 0 || picture > 2) return;
    QPainter(this).drawPixmap(0, 0, pictures_[static_cast<size_t>(picture)]);
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) player_.MouseDown(image_, X(event));
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    player_.MouseMove(image_, X(event), event->buttons() & Qt::LeftButton);
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    const bool inside = rect().contains(event->position().toPoint());
    player_.MouseUp(image_);
    // A knob has no click; a button clicks when let go over itself.
    if (inside && image_ != kImageScrollPosition && image_ != kImageScrollVolume)
      control_.Click();
  }

 private:
  static int X(QMouseEvent* event) { return static_cast<int>(event->position().x()); }

  SkinImage image_;
  Player& player_;
  Control& control_;
  std::array<QPixmap, 3> pictures_;
};

PlayerPage::PlayerPage(Player& player, ControlSet& controls, QWidget* page)
    : QGroupBox(page), player_(player), controls_(controls), page_(page) {
  setObjectName(QStringLiteral("GroupBoxMp3Player"));
  setFixedSize(kPlayerBack.left + kPlayerBack.width + 4, kPlayerBack.top + kPlayerBack.height + 4);
  setMouseTracking(true);

  auto* background = new QLabel(this);
  background->setObjectName(QStringLiteral("ImagePlayerBack"));
  background->setPixmap(PlayerBackground());
  background->setGeometry(RectOf(kPlayerBack));
  background->setMouseTracking(true);
  background->installEventFilter(this);
  background_ = background;

  const QString display = QStringLiteral("color: #a8f2ff; background: transparent;");
  auto* time = new QLabel(this);
  time->setObjectName(QStringLiteral("LabelTime"));
  time->setGeometry(RectOf(kLabelTimeRect));
  time->setAlignment(Qt::AlignCenter);
  QFont big = time->font();
  big.setPointSize(18);
  big.setBold(true);
  time->setFont(big);
  time->setStyleSheet(display);
  auto* track = new QLabel(this);
  track->setObjectName(QStringLiteral("LabelTrack"));
  track->setGeometry(RectOf(kLabelTrackRect));
  track->setAlignment(Qt::AlignCenter);
  track->setWordWrap(true);
  track->setStyleSheet(display);
  for (QLabel* label : {time, track}) label->setAttribute(Qt::WA_TransparentForMouseEvents);

  for (int i = 0; i < kSkinImageCount; ++i) {
    const auto image = static_cast<SkinImage>(i);
    images_[static_cast<size_t>(i)] =
        new SkinImageWidget(image, player_, controls_[kSkinImages[image].name], this);
  }
  // The percentages sit on the knobs while these are used.
  auto percent = [this](const char* name) {
    auto* label = new QLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    QFont small = label->font();
    small.setPointSize(7);
    small.setBold(true);
    label->setFont(small);
    label->setStyleSheet(QStringLiteral("color: #0b1a1f; background: #bff6ff; border-radius: 3px;"));
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
  };
  positionPercent_ = percent("LabelPositionPercent");
  volumePercent_ = percent("LabelVolumePercent");
  PlaceKnob(kImageScrollPosition, positionPercent_);
  PlaceKnob(kImageScrollVolume, volumePercent_);

  binder_ = new ControlBinder(controls_, this, this);
  watch_ = controls_.Watch([this](Control& control, ControlProperty property) {
    if (property == ControlProperty::Image || property == ControlProperty::Index)
      Changed(control.Name());
  });

  page_->setMouseTracking(true);
  page_->installEventFilter(this);
  player_.SetPointerInWindow([this] { return window()->frameGeometry().contains(QCursor::pos()); });
}

PlayerPage::~PlayerPage() {
  controls_.Unwatch(watch_);
  player_.SetPointerInWindow({});
}

void PlayerPage::Changed(const std::string& name) {
  for (int i = 0; i < kSkinImageCount; ++i) {
    if (name != kSkinImages[static_cast<size_t>(i)].name) continue;
    images_[static_cast<size_t>(i)]->update();
    if (i == kImageScrollPosition) PlaceKnob(kImageScrollPosition, positionPercent_);
    if (i == kImageScrollVolume) PlaceKnob(kImageScrollVolume, volumePercent_);
  }
}

void PlayerPage::PlaceKnob(SkinImage knob, QLabel* label) {
  const SkinImageInfo& info = kSkinImages[knob];
  const QRect at(controls_[info.name].Index(), info.top, info.width, info.height);
  images_[knob]->setGeometry(at);
  label->setGeometry(at);
  label->raise();
}

bool PlayerPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Wheel && watched == page_) {
    // Over the player page the wheel is the player's; elsewhere the
    // controls scroll as usual.
    auto* wheel = static_cast<QWheelEvent*>(event);
    wheelAngle_ += wheel->angleDelta().y();
    const int notches = wheelAngle_ / 120;
    wheelAngle_ -= notches * 120;
    player_.Wheel(notches, wheel->buttons() & Qt::MiddleButton);
    return true;
  }
  if (event->type() == QEvent::MouseMove &&
      !(static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton)) {
    if (watched == page_ || watched == background_) player_.PointerOffImages();
  }
  // The background takes its presses, so that their releases come back.
  if (watched == background_ && event->type() == QEvent::MouseButtonPress) return true;
  if (watched == background_ && event->type() == QEvent::MouseButtonRelease) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton && background_->rect().contains(mouse->position().toPoint()))
      player_.BackgroundClick(static_cast<int>(mouse->position().x()),
                              static_cast<int>(mouse->position().y()));
  }
  return QGroupBox::eventFilter(watched, event);
}

void PlayerPage::leaveEvent(QEvent* event) {
  // Left for the playlist or another page: no picture stays lit.
  player_.PointerOffImages();
  QGroupBox::leaveEvent(event);
}

}  // namespace tagmora
