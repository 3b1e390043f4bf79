#pragma once
// The options dialog's "Sound" page: the mixer, the line the volume knob
// controls, and a track bar and a check box for that line's volume and
// mute or selection.

#include <QWidget>

namespace tagmora {

class ControlSet;
class SoundOptions;

class SoundOptionsPage : public QWidget {
  Q_OBJECT

 public:
  SoundOptionsPage(SoundOptions& sound, ControlSet& options, QWidget* parent = nullptr);
  ~SoundOptionsPage() override;

 private:
  ControlSet& options_;
  int watch_ = 0;
};

}  // namespace tagmora
