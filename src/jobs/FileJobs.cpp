#include "jobs/FileJobs.h"

#include <cerrno>
#include <cstdlib>

#include "app/UserInteraction.h"
#include "editing/TagAccess.h"
#include "jobs/JobDisk.h"
#include "platform/FileSystem.h"

namespace tagmora {

bool BoxQuestions::CreateFolder(const std::string& folder) {
  return user_.Show({"Create folder?", folder + " does NOT exists! Create?",
                     MessageIcon::Question, MessageButtons::YesNo}) == MessageAnswer::Yes;
}

bool BoxQuestions::Confirm(const char* caption, const char* text) {
  return user_.Show({caption, text, MessageIcon::Question, MessageButtons::YesNo}) ==
         MessageAnswer::Yes;
}

std::string FolderPart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string TypedFolder(const std::string& typed) {
  std::string folder = typed;
  const char* home = std::getenv("HOME");
  if (home && home[0] && (folder == "~" || folder.starts_with("~/")))
    folder = home + folder.substr(1);
  if (!folder.ends_with('/')) folder += '/';
  return folder;
}

std::optional<StartStop> EnsureFolder(const std::string& folder, const char* failure,
                                      StartQuestions& ask, JobDisk& disk) {
  if (disk.DirectoryExists(folder)) return std::nullopt;
  if (!ask.CreateFolder(folder)) return StartStop{};
  if (!disk.CreateFolder(folder)) return StartStop{failure, folder};
  return std::nullopt;
}

bool ReadTagFields(JobFile& file, bool v1First, TagFields& fields) {
  IDv1Tag v1;
  IDv2Tag v2;
  // A missing file (or a folder) is the reader's first answer.
  errno = 0;
  std::string status = file.Disk().ReadTags(file.Path(), v1, v2);
  const int error = errno;
  if (status != kStatusOK) {
    file.RecordError(error && status != kStatusFileMissing ? status + SystemErrorText(error)
                                                           : status);
    return false;
  }
  if (!v1.Exists && !v2.Exists) {
    file.RecordError("NO ID3v1 or ID3v2 Tag found");
    return false;
  }
  const auto pick = [v1First](const std::string& first, const std::string& second) {
    const std::string& chosen = v1First ? first : second;
    return chosen.empty() ? (v1First ? second : first) : chosen;
  };
  // The ID3v1 genre is the name of its byte: empty for 255 or an unknown byte.
  fields = {pick(v1.Artist, v2.Artist), pick(v1.Title, v2.Title), pick(v1.Album, v2.Album),
            pick(v1.Genre, v2.Genre)};
  return true;
}

}  // namespace tagmora
