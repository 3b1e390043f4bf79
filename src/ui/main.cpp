// Tagmora's desktop program: the main window over the main window model.

#include <QApplication>

#include <cstdio>
#include <cstdlib>

#include "app/MainWindowModel.h"
#include "app/ProgramArguments.h"
#include "app/Settings.h"
#include "player/Player.h"
#include "player/PulseMixer.h"
#include "player/SdlMediaBackend.h"
#include "player/SoundOptions.h"
#include "ui/MainWindow.h"
#include "ui/Pictures.h"
#include "ui/QtPoster.h"
#include "ui/QtUserInteraction.h"
#include "ui/SingleInstance.h"

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

using Action = tagmora::ProgramArguments::Action;

// The exit status of a start that opens no window.
int Answer(const tagmora::ProgramArguments& arguments) {
  switch (arguments.action) {
    case Action::Help:
      std::fputs(tagmora::kProgramUsage, stdout);
      return 0;
    case Action::Version:
      std::printf("Tagmora %s\n", tagmora::kVersionText);
      return 0;
    default:
      std::fprintf(stderr, "tagmora: %s\nTry 'tagmora --help'.\n", arguments.refusal.c_str());
      return 2;
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  // "--help" and "--version" need no display.
  const tagmora::ProgramArguments early = tagmora::ParseProgramArguments({argv + 1, argv + argc});
  if (early.action == Action::Help || early.action == Action::Version) return Answer(early);
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
  QGuiApplication::setDesktopFileName(QStringLiteral("org.tagmora.Tagmora"));

  // Qt has taken its own options (-display, -style …) out of argv.
  tagmora::ProgramArguments arguments = tagmora::ParseProgramArguments({argv + 1, argv + argc});
  if (arguments.action != Action::Open) return Answer(arguments);
  const std::string programFolder = tagmora::ProgramFolder();
  const std::string settingsFolder = tagmora::SettingsFolder(programFolder);
  tagmora::SingleInstance instance(settingsFolder);
  switch (instance.ClaimWindow(arguments.paths)) {
    case tagmora::SingleInstance::Claim::HandedOver:
      return 0;
    case tagmora::SingleInstance::Claim::NoAnswer:
      std::fputs("tagmora: a Tagmora window is open but does not answer.\n", stderr);
      return 1;
    case tagmora::SingleInstance::Claim::First:
      break;
  }

  tagmora::QtPoster poster;
  tagmora::QtUserInteraction user;
  tagmora::MainWindowModel model(user, poster, programFolder, settingsFolder);
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
  model.OpenPaths(std::move(arguments.paths));
  instance.SetReceiver([&model, &window](std::vector<std::string> paths) {
    model.OpenPaths(std::move(paths));
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.raise();
    window.activateWindow();
  });
  window.show();
  return QApplication::exec();
}
