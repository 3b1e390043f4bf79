#include "ui/SoundOptionsPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "app/Control.h"
#include "player/AudioMixer.h"
#include "player/SoundOptions.h"
#include "ui/ControlBinder.h"

namespace tagmora {

SoundOptionsPage::SoundOptionsPage(SoundOptions& sound, ControlSet& options, QWidget* parent)
    : QWidget(parent), options_(options) {
  setObjectName(QStringLiteral("TabSheetOptionsSound"));
  auto named = [this](QWidget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
  };
  auto* description = new QLabel(this);
  description->setObjectName(QStringLiteral("LabelSoundDescription"));
  description->setWordWrap(true);

  auto* mixer = static_cast<QComboBox*>(named(new QComboBox(this), "ComboBoxMixer"));
  auto* destination = static_cast<QComboBox*>(named(new QComboBox(this), "ComboBox1"));
  auto* line = static_cast<QComboBox*>(named(new QComboBox(this), "ComboBoxVolume"));
  auto* volume = static_cast<QSlider*>(named(new QSlider(Qt::Horizontal, this), "TrackBar"));
  volume->setRange(0, kMaxVolume);
  volume->setTickPosition(QSlider::NoTicks);
  volume->setSingleStep(kMaxVolume / 100);
  volume->setPageStep(kMaxVolume / 10);
  auto* mute = named(new QCheckBox(this), "CheckBox");

  auto* form = new QFormLayout;
  form->addRow(named(new QLabel(this), "LabelMixer"), mixer);
  form->addRow(named(new QLabel(this), "LabelVolumeFor"), destination);
  form->addRow(named(new QLabel(this), "LabelVolumeControl"), line);
  form->addRow(named(new QLabel(this), "Label1"), volume);
  form->addRow(named(new QLabel(this), "Label2"), mute);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(description);
  layout->addLayout(form);
  layout->addStretch(1);

  new ControlBinder(options_, this, this);
  // The lists' choices and the track bar go to the page's model; the
  // binder has the rest.
  connect(mixer, &QComboBox::activated, this, [&sound](int index) { sound.MixerChosen(index); });
  connect(destination, &QComboBox::activated, this,
          [&sound](int index) { sound.DestinationChosen(index); });
  connect(line, &QComboBox::activated, this,
          [&sound](int index) { sound.VolumeControlChosen(index); });
  connect(volume, &QSlider::valueChanged, this, [&sound](int value) { sound.TrackBarMoved(value); });
  watch_ = options_.Watch([volume](Control& control, ControlProperty property) {
    if (property == ControlProperty::Index && control.Name() == "TrackBar") {
      const QSignalBlocker blocker(volume);
      volume->setValue(control.Index());
    }
  });
  const QSignalBlocker blocker(volume);
  volume->setValue(options_["TrackBar"].Index());
}

SoundOptionsPage::~SoundOptionsPage() { options_.Unwatch(watch_); }

}  // namespace tagmora
