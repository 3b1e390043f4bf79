#pragma once
// The desktop's trash, laid out as freedesktop.org's Trash standard has
// it: a file goes to the trash of its own file system, the home trash
// ($XDG_DATA_HOME/Trash) or the volume's ($TOPDIR/.Trash/$UID or
// $TOPDIR/.Trash-$UID), under "files/" with its ".trashinfo" (original
// path and deletion date) under "info/", so that a file manager can put it
// back. A file is never copied to another file system on its way there.

#include <string>

namespace tagmora {

// A file in the trash, and where it came from.
struct TrashEntry {
  std::string original;  // its absolute path before
  std::string file;      // TRASH/files/NAME
  std::string info;      // TRASH/info/NAME.trashinfo
};

// The first step of trashing: finds (or makes) the trash of the file's
// file system and writes the file's info under a name of its own there.
// False (errno set) when no trash can be used; nothing is changed then.
bool PrepareTrash(const std::string& path, TrashEntry& entry);
// The second: moves the file in. False (errno set) when it stays; its
// info is then removed again.
bool CompleteTrash(const TrashEntry& entry);
// Both steps.
bool MoveToTrash(const std::string& path, TrashEntry& entry);
// Puts a trashed file back where it came from, never over another file,
// and removes its info. False (errno set) when it cannot go back.
bool RestoreFromTrash(const TrashEntry& entry);

// $XDG_DATA_HOME/Trash (default ~/.local/share/Trash).
std::string HomeTrash();

}  // namespace tagmora
