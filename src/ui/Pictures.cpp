#include "ui/Pictures.h"

#include <QPainter>
#include <QSvgRenderer>

#include <array>

// The resource lives in a static library; naming its initialiser keeps the
// linker from dropping it.
static void InitPictureResource() { Q_INIT_RESOURCE(pictures); }

namespace tagmora {

namespace {

constexpr std::array<const char*, kPagePictureCount> kPageFiles = {
    ":/pictures/page0-multitagger.svg", ":/pictures/page1-rename.svg",
    ":/pictures/page2-move.svg",        ":/pictures/page3-player.svg",
    ":/pictures/page4-id3tags.svg",     ":/pictures/page5-errors.svg",
    ":/pictures/page6-errors-highlighted.svg"};

QIcon IconFromSvg(const QString& resource, std::initializer_list<int> sizes) {
  QIcon icon;
  for (int size : sizes) icon.addPixmap(RenderPicture(resource, size));
  return icon;
}

}  // namespace

QPixmap RenderPicture(const QString& resource, int size) {
  static const bool initialised = (InitPictureResource(), true);
  (void)initialised;
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QSvgRenderer renderer(resource);
  if (!renderer.isValid()) return {};
  QPainter painter(&pixmap);
  renderer.render(&painter);
  return pixmap;
}

QIcon PagePicture(int index) {
  if (index < 0 || index >= kPagePictureCount) return {};
  return IconFromSvg(QString::fromLatin1(kPageFiles[static_cast<size_t>(index)]), {16, 24, 32});
}

QIcon ProgramPicture() {
  return IconFromSvg(QStringLiteral(":/pictures/tagmora.svg"), {16, 32, 48, 64, 128});
}

}  // namespace tagmora
