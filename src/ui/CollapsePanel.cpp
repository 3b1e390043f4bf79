#include "ui/CollapsePanel.h"

#include <QEnterEvent>
#include <QPushButton>

#include <algorithm>
#include <stdexcept>

namespace tagmora {

namespace {
// One animation step per tick keeps a fold of a few hundred pixels well
// under half a second at the panels' speed of 8.
constexpr int kStepIntervalMs = 8;
}  // namespace

TCollapsePanel::TCollapsePanel(QWidget* parent)
    : QFrame(parent), header_(new QPushButton(this)), body_(new QWidget(this)) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
  header_->setText(QStringLiteral("HeaderCaption"));
  QFont bold = header_->font();
  bold.setBold(true);
  header_->setFont(bold);
  header_->setFocusPolicy(Qt::NoFocus);
  connect(header_, &QPushButton::clicked, this, &TCollapsePanel::HeaderClicked);

  stepTimer_.setInterval(kStepIntervalMs);
  connect(&stepTimer_, &QTimer::timeout, this, &TCollapsePanel::NextStep);
  autoCloseTimer_.setInterval(autoCloseTime_);
  connect(&autoCloseTimer_, &QTimer::timeout, this, [this] {
    SetCollapsed(true);
    autoCloseTimer_.stop();
  });

  SetAutoClose(false);
  ApplyHeight(height_);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  PlaceChildren();
}

void TCollapsePanel::SetCollapsed(bool collapsed) {
  if (collapsed)
    Fold();
  else
    Unfold();
}

void TCollapsePanel::Fold() {
  if (collapsed_) {
    update();
    return;
  }
  collapsed_ = true;
  emit CollapsedChanged(true);
  // Folding in the middle of an unfold keeps the height it was heading for.
  if (!Animating()) expandedHeight_ = height_;
  const int end = headerHeight_ + 1;
  std::vector<int> steps;
  for (int h = height_; h >= end; --h)
    if (h % collapseSpeed_ == 0) steps.push_back(h);
  steps.push_back(end);
  StartSteps(std::move(steps));
}

void TCollapsePanel::Unfold() {
  if (!collapsed_) {
    update();
    return;
  }
  collapsed_ = false;
  emit CollapsedChanged(false);
  // An unfold that interrupts a fold goes on from where the fold stopped.
  const int start = std::max(headerHeight_ + 1, height_);
  std::vector<int> steps;
  for (int h = start; h <= expandedHeight_; ++h)
    if (h % collapseSpeed_ == 0) steps.push_back(h);
  steps.push_back(expandedHeight_);
  StartSteps(std::move(steps));
}

void TCollapsePanel::StartSteps(std::vector<int> steps) {
  stepTimer_.stop();
  steps_ = std::move(steps);
  nextStep_ = 0;
  if (!isVisible()) {
    while (Animating()) NextStep();
    return;
  }
  NextStep();
  if (Animating()) stepTimer_.start();
}

void TCollapsePanel::NextStep() {
  if (nextStep_ >= steps_.size()) {
    stepTimer_.stop();
    steps_.clear();
    return;
  }
  const int h = steps_[nextStep_++];
  ApplyHeight(h);
  emit HeightStepped(h);
  if (nextStep_ >= steps_.size()) {
    stepTimer_.stop();
    steps_.clear();
    nextStep_ = 0;
    update();
  }
}

void TCollapsePanel::ApplyHeight(int height) {
  height_ = height;
  setFixedHeight(height);
}

void TCollapsePanel::SetPanelHeight(int height) {
  if (collapsed_) {
    expandedHeight_ = height;
    return;
  }
  stepTimer_.stop();
  steps_.clear();
  expandedHeight_ = height;
  ApplyHeight(height);
}

void TCollapsePanel::SetCollapseSpeed(int speed) {
  if (speed < 1 || speed > 99) throw std::invalid_argument("0<Speed<100");
  collapseSpeed_ = speed;
}

void TCollapsePanel::SetAutoClose(bool on) {
  autoClose_ = on;
  // Auto-close turns the header into a toggle that pins the panel open.
  header_->setCheckable(on);
  if (!on) {
    header_->setChecked(false);
    pinned_ = false;
    autoCloseTimer_.stop();
  }
}

void TCollapsePanel::SetAutoCloseTime(int milliseconds) {
  autoCloseTime_ = milliseconds;
  autoCloseTimer_.setInterval(milliseconds);
}

void TCollapsePanel::HeaderClicked() {
  emit HeaderClick();
  if (!autoClose_) {
    SetCollapsed(!collapsed_);
    return;
  }
  pinned_ = header_->isChecked();
}

void TCollapsePanel::enterEvent(QEnterEvent* event) {
  QFrame::enterEvent(event);
  if (!autoClose_) return;
  autoCloseTimer_.stop();
  if (collapsed_) SetCollapsed(false);
}

void TCollapsePanel::leaveEvent(QEvent* event) {
  QFrame::leaveEvent(event);
  if (!autoClose_) return;
  if (!collapsed_ && !pinned_) autoCloseTimer_.start();
}

QString TCollapsePanel::HeaderCaption() const { return header_->text(); }

void TCollapsePanel::SetHeaderCaption(const QString& caption) {
  if (header_->text() != caption) header_->setText(caption);
}

void TCollapsePanel::SetHeaderLeft(int left) {
  headerLeft_ = left;
  PlaceChildren();
}

void TCollapsePanel::SetHeaderTop(int top) {
  headerTop_ = top;
  PlaceChildren();
}

void TCollapsePanel::SetHeaderWidth(int width) {
  headerWidth_ = width;
  PlaceChildren();
}

void TCollapsePanel::SetHeaderHeight(int height) {
  headerHeight_ = height;
  PlaceChildren();
}

void TCollapsePanel::SetHeaderGlyph(const QIcon& glyph) { header_->setIcon(glyph); }

void TCollapsePanel::SetHeaderFlat(bool flat) { header_->setFlat(flat); }

void TCollapsePanel::SetHeaderTransparent(bool transparent) {
  header_->setAttribute(Qt::WA_NoSystemBackground, transparent);
  header_->setAutoFillBackground(!transparent);
}

void TCollapsePanel::SetHeaderAlignTop(bool alignTop) {
  headerAlignTop_ = alignTop;
  PlaceChildren();
}

QSize TCollapsePanel::sizeHint() const {
  return {QFrame::sizeHint().width(), height_};
}

void TCollapsePanel::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  PlaceChildren();
}

void TCollapsePanel::PlaceChildren() {
  const QRect inside = contentsRect();
  if (headerAlignTop_)
    header_->setGeometry(inside.left(), inside.top(), inside.width(), headerHeight_);
  else
    header_->setGeometry(headerLeft_, headerTop_, headerWidth_, headerHeight_);
  const int bodyTop = header_->geometry().bottom() + 1;
  // The body keeps its unfolded size so that its controls do not squeeze
  // while the panel folds; the frame clips it.
  const int bodyHeight = std::max(0, expandedHeight_ - bodyTop - frameWidth());
  body_->setGeometry(inside.left(), bodyTop, inside.width(), bodyHeight);
}

}  // namespace tagmora
