#pragma once
// The program's own pictures, drawn as SVG and kept in a Qt resource.

#include <QIcon>
#include <QPixmap>

namespace tagmora {

// The page control's image list: 0 multi-tagger, 1 rename, 2 move,
// 3 player, 4 tag editor, 5 errors, 6 errors highlighted.
inline constexpr int kPagePictureCount = 7;

// An empty icon for an index outside the list.
QIcon PagePicture(int index);
QIcon ProgramPicture();
// One picture at a given size, for tests and the about box.
QPixmap RenderPicture(const QString& resource, int size);

}  // namespace tagmora
