#pragma once
// The user's playlist commands behind the buttons, the menus and the keys
// that need a dialog or report a failure: adding files, and the list
// commands "Load List", "Append List", "Save List".

#include <string>

namespace tagmora {

class ErrorList;
class Playlist;
class UserInteraction;

class PlaylistCommands {
 public:
  PlaylistCommands(Playlist& playlist, ErrorList& errors, UserInteraction& user)
      : playlist_(playlist), errors_(errors), user_(user) {}

  void AddFiles();
  void LoadList();
  void AppendList();
  void SaveList();

 private:
  void ReadList(bool clearFirst);

  Playlist& playlist_;
  ErrorList& errors_;
  UserInteraction& user_;
};

}  // namespace tagmora
