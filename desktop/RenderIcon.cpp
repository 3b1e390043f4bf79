// Renders the program's picture as a PNG of one size, for the fixed-size
// folders of the icon theme: the menu shows what the window shows.
//
// Usage: tagmora-render-icon SVG SIZE PNG

#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>

#include "ui/Pictures.h"

int main(int argc, char* argv[]) {
  if (argc != 4 || std::atoi(argv[2]) <= 0) {
    std::fputs("usage: tagmora-render-icon SVG SIZE PNG\n", stderr);
    return 2;
  }
  const QString svg = QString::fromLocal8Bit(argv[1]);
  const int size = std::atoi(argv[2]);
  const QString png = QString::fromLocal8Bit(argv[3]);
  // Pixmaps need a GUI application; a build has no display to give it.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QPixmap picture = tagmora::RenderPicture(svg, size);
  if (picture.isNull() || !picture.save(png, "PNG")) {
    std::fprintf(stderr, "tagmora-render-icon: cannot render %s as %s\n", argv[1], argv[3]);
    return 1;
  }
  return 0;
}
