// Tagmora's desktop program: the main window over the main window model.

#include <QApplication>

#include <cstdio>
#include <cstdlib>

#include "app/MainWindowModel.h"
#include "app/Settings.h"
#include "player/Player.h"
#include "player/PulseMixer.h"
#include "player/SdlMediaBackend.h"
#include "player/SoundOptions.h"
#include "ui/MainWindow.h"
#include "ui/Pictures.h"
#include "ui/QtPoster.h"
#include "ui/QtUserInteraction.h"

namespace {

// Without a display Qt would stop with a platform-plugin error that tells a
// user nothing; say what to do instead.
bool HasDisplay() {
  const auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
  };
  return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char* argv[]) {
  if (!HasDisplay()) {
    std::fprintf(stderr,
                 "tagmora: no display found (DISPLAY and WAYLAND_DISPLAY are not set).\n"
                 "Start it from a desktop session, or under a virtual display:\n"
                 "  xvfb-run -a %s\n",
                 argv[0]);
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tagmora"));
  QApplication::setWindowIcon(tagmora::ProgramPicture());

  tagmora::QtPoster poster;
  tagmora::QtUserInteraction user;
  const std::string programFolder = tagmora::ProgramFolder();
  tagmora::MainWindowModel model(user, poster, programFolder,
                                 tagmora::SettingsFolder(programFolder));
  // The player: decoding and sound through SDL2, the volume through the
  // sound server.
  tagmora::SdlMediaBackend media(poster, model.Errors());
  tagmora::PulseMixer mixer(poster);
  tagmora::SoundOptions sound(model.OptionsControls(), mixer);
  tagmora::Player player(model, media, sound);
  model.SetPlayer(&player);
  // Next and Previous show the new track as a click on the playlist would.
  player.SetPlaylistClickAction([&model] { model.PlaylistClick(); });
  tagmora::MainWindow window(model);
  window.AttachPlayer(player, sound);
  user.SetOwner(&window);
  window.show();
  return QApplication::exec();
}
