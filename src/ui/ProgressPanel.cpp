#include "ui/ProgressPanel.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QToolTip>
#include <QVBoxLayout>

#include "jobs/BatchJob.h"
#include "jobs/JobPanel.h"

namespace tagmora {

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

constexpr int kSliderWidth = 140;
constexpr int kButtonWidth = 80;

// A path that does not fit loses its middle rather than widening the
// window; the whole path shows as the label's tip.
class ElidedLabel : public QLabel {
 public:
  explicit ElidedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QRect area = contentsRect();
    style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(),
                          fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()),
                          foregroundRole());
  }
  bool event(QEvent* event) override {
    if (event->type() != QEvent::ToolTip || !toolTip().isEmpty()) return QLabel::event(event);
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
    return true;
  }
};

template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(Q(name));
  return widget;
}

// A label whose changing number keeps the room of its widest text, so
// that its neighbours stand still while the job runs.
QLabel* Output(const char* name, const char* widest, QWidget* parent) {
  auto* label = Named(new QLabel(parent), name);
  label->setMinimumWidth(label->fontMetrics().horizontalAdvance(Q(widest)));
  return label;
}

}  // namespace

QGroupBox* MakeProgressPanel(const JobPanelNames& names, QWidget* parent) {
  auto* group = Named(new QGroupBox(parent), names.progressPanel);

  auto* barRow = new QHBoxLayout;
  auto* bar = Named(new QProgressBar(group), names.progressBar);
  bar->setRange(0, 100);
  bar->setTextVisible(false);  // the percentage stands beside it
  QLabel* percent = Output(names.percentLabel, "100 %", group);
  percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  barRow->addWidget(bar, 1);
  barRow->addWidget(percent);

  auto* countRow = new QHBoxLayout;
  countRow->addWidget(Output(names.filesLabel, "File : 000000 of 000000", group));
  countRow->addStretch(1);
  if (names.timeLabel) {
    countRow->addWidget(new QLabel(Q(kElapsedCaption), group));
    countRow->addWidget(Output(names.timeLabel, "00:00:000", group));
    countRow->addSpacing(16);
  }
  countRow->addWidget(new QLabel(Q(kErrorsCaption), group));
  countRow->addWidget(Output(names.errorsLabel, "00000", group));

  auto* priorityRow = new QHBoxLayout;
  auto* slider = Named(new QSlider(Qt::Horizontal, group), names.prioritySlider);
  slider->setRange(1, int(kPriorityLevels.size()));
  slider->setPageStep(1);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setFixedWidth(kSliderWidth);
  priorityRow->addWidget(new QLabel(Q(kPriorityCaption), group));
  priorityRow->addWidget(slider);
  priorityRow->addWidget(Output(names.priorityLabel, "Time Critical", group));
  priorityRow->addStretch(1);

  auto* commandRow = new QHBoxLayout;
  auto* link = Named(new QPushButton(group), names.errorsLink);
  link->setFlat(true);
  link->setCursor(Qt::PointingHandCursor);
  // A style sheet draws it as a link in every style, without a bevel.
  link->setStyleSheet(
      QStringLiteral("QPushButton { border: none; padding: 0; color: palette(link); "
                     "text-decoration: underline; }"));
  commandRow->addWidget(link);
  commandRow->addStretch(1);
  if (names.undoButton) commandRow->addWidget(Named(new QPushButton(group), names.undoButton));
  for (const char* name : {names.pauseButton, names.stopButton}) {
    auto* button = Named(new QPushButton(group), name);
    button->setFixedWidth(kButtonWidth);
    commandRow->addWidget(button);
  }

  auto* layout = new QVBoxLayout(group);
  layout->setContentsMargins(8, 6, 8, 6);
  layout->setSpacing(6);
  layout->addWidget(Named(new ElidedLabel(group), names.fileLabel));
  layout->addLayout(barRow);
  layout->addLayout(countRow);
  layout->addLayout(priorityRow);
  layout->addStretch(1);
  layout->addLayout(commandRow);
  return group;
}

}  // namespace tagmora
