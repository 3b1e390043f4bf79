#pragma once
// The group "  Mp3 Player  " of the "Mp3 Player - MPEG info" page: the
// skinned player, drawn from the player model's controls, with the mouse
// and the wheel handed to the model.

#include <QGroupBox>

#include <array>

#include "app/PlayerControls.h"

class QLabel;

namespace tagmora {

class ControlBinder;
class ControlSet;
class Player;
class SkinImageWidget;

class PlayerPage : public QGroupBox {
  Q_OBJECT

 public:
  // page is the tab page the group sits on: the wheel anywhere over it
  // goes to the player.
  PlayerPage(Player& player, ControlSet& controls, QWidget* page);
  ~PlayerPage() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void Changed(const std::string& name);
  void PlaceKnob(SkinImage knob, QLabel* label);

  Player& player_;
  ControlSet& controls_;
  QWidget* page_;
  QWidget* background_ = nullptr;
  std::array<SkinImageWidget*, kSkinImageCount> images_{};
  QLabel* positionPercent_ = nullptr;
  QLabel* volumePercent_ = nullptr;
  ControlBinder* binder_ = nullptr;
  int watch_ = 0;
  int wheelAngle_ = 0;  // eighths of a degree not yet a whole notch
};

}  // namespace tagmora
