#pragma once
// The player's skin, drawn here with QPainter at the sizes of the skin
// table: the background with its display and knob bands, and each picture
// button's and knob's normal, hover and pressed pictures.

#include <QPixmap>

#include "app/PlayerControls.h"

namespace tagmora {

// 200 x 200.
QPixmap PlayerBackground();
// Picture 0 normal, 1 hover, 2 pressed (for shuffle and repeat also "on").
QPixmap SkinPicture(SkinImage image, int picture);

}  // namespace tagmora
