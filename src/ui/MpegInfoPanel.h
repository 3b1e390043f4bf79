#pragma once
// The "MPEG file Info" group of the player page: fourteen read-only boxes
// with their labels and a read-only copy of the path, named after the
// controls of the tag editor model.

#include <QGroupBox>

namespace tagmora {

class MpegInfoPanel : public QGroupBox {
  Q_OBJECT

 public:
  explicit MpegInfoPanel(QWidget* parent = nullptr);

  // Puts a panel beside whatever the player page holds already: the
  // player's group stays on the left.
  static MpegInfoPanel* PlaceOn(QWidget* playerPage);
};

}  // namespace tagmora
