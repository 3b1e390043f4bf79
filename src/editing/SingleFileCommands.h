#pragma once
// The commands of the "ID3 Tags" page that act on the current file as a
// whole: remove its ID3v1 tag, its ID3v2 tag or both, delete it (to the
// desktop's trash), rename or move it to the path typed into "EditPath". They ask before destroying
// data, stop the player when it holds the file, and keep the playlist in
// step with the file.

#include <string>

namespace tagmora {

class MainWindowModel;
class TagEditorModel;

class SingleFileCommands {
 public:
  // Binds the commands of the page's file buttons and menu items.
  explicit SingleFileCommands(TagEditorModel& editor);

  void RemoveID3v1();
  void RemoveID3v2();
  void RemoveBoth();
  void Delete();
  void RenameMove();

 private:
  void Remove(int version);
  // The focused item's path; reports and answers false when none is focused.
  bool FocusedPath(int& focus, std::string& path);

  TagEditorModel& editor_;
  MainWindowModel& window_;
};

}  // namespace tagmora
