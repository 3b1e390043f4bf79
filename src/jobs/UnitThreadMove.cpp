#include "jobs/UnitThreadMove.h"

#include <cerrno>

#include "jobs/JobDisk.h"
#include "platform/FileSystem.h"
#include "playlist/M3U.h"

namespace tagmora {

namespace {

constexpr const char* kCreateOnlyCaption = "Create folders ?";
constexpr const char* kCreateOnlyQuestion =
    "This will create the folders (only) within the files should be moved!\n"
    "Are you sure you want to create them?";
constexpr const char* kMoveCaption = "Move ?";
constexpr const char* kMoveQuestion =
    "This will move all the files from the playlist!\n"
    "Are you sure you want to move them?";

}  // namespace

std::optional<StartStop> PrepareMove(MoveOptions& options, int count, StartQuestions& ask,
                                     JobDisk& disk) {
  if (count == 0) return StartStop{kEmptyPlaylist, ""};
  if (options.base.empty()) return StartStop{"Base Folder is empty!", ""};
  options.base = TypedFolder(options.base);
  const bool confirmed = options.createOnly ? ask.Confirm(kCreateOnlyCaption, kCreateOnlyQuestion)
                                            : ask.Confirm(kMoveCaption, kMoveQuestion);
  if (!confirmed) return StartStop{};
  return EnsureFolder(options.base, "Folder NOT created! Parent folder must exist!", ask, disk);
}

std::string MoveSummary(int count, int errors, int foldersCreated, int moved) {
  return ProcessedSummary(count, errors,
                          std::to_string(foldersCreated) + " folders created.\n\r" +
                              std::to_string(moved) + " files moved.");
}

std::string TThreadMove::FolderName(JobFile& file, const TagFields& fields) const {
  const FolderBy by = options_.by;
  const char* missing = nullptr;
  if ((by == FolderBy::Artist || by == FolderBy::ArtistAlbum) && fields.artist.empty())
    missing = "NO Artist found in ID3v1 or ID3v2";
  else if ((by == FolderBy::Album || by == FolderBy::ArtistAlbum) && fields.album.empty())
    missing = "NO Album found in ID3v1 or ID3v2";
  else if (by == FolderBy::Genre && fields.genre.empty())
    missing = "NO Genre found in ID3v1 or ID3v2";
  if (missing) {
    file.RecordError(missing);
    return {};
  }
  switch (by) {
    case FolderBy::Artist: return fields.artist;
    case FolderBy::Genre: return fields.genre;
    case FolderBy::ArtistAlbum: return fields.artist + " - " + fields.album;
    case FolderBy::Album: return fields.album;
  }
  return {};
}

void TThreadMove::ProcessFile(JobFile& file) {
  TagFields fields;
  if (!ReadTagFields(file, options_.v1First, fields)) return;
  const std::string name = FolderName(file, fields);
  if (name.empty()) return;
  const std::string folder = options_.base + name;
  const auto folderFailed = [&] {
    file.RecordError("Folder NOT created!\n\r" + SystemErrorText(), folder);
  };
  // "..", "." or a "/" from the tags would leave the base folder.
  if (!IsPlainName(name)) return folderFailed();
  JobDisk& disk = file.Disk();
  if (!disk.DirectoryExists(folder + "/")) {
    if (!disk.CreateFolder(folder)) return folderFailed();
    ++foldersCreated_;
  }
  if (options_.createOnly) return;
  const std::string target = folder + "/" + FileNamePart(file.Path());
  if (target == file.Path()) return;
  errno = 0;
  if (disk.MoveFile(file.Path(), target)) {
    ++moved_;
    file.ReplaceEntry(target);
    return;
  }
  const int error = errno;
  // The file is in its folder already, under another spelling of the path.
  if (error == EEXIST && disk.SameFile(file.Path(), target)) return;
  file.RecordError("File NOT moved!\n\r" + SystemErrorText(error));
}

}  // namespace tagmora
