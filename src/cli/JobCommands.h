#pragma once
// The batch job commands of tagmora-cli: the window's jobs run headless
// over a playlist made of the command's ITEMs, with the run's reports
// printed as text or as JSON lines.

#include <string>
#include <vector>

#include "jobs/FileJobs.h"

namespace tagmora {
class BatchJob;
class Playlist;
}  // namespace tagmora

namespace tagmora::cli {

struct JobRun {
  std::vector<std::string> items;  // MP3 paths and ".m3u" playlists
  bool json = false;
  std::string savePlaylist;  // where the playlist goes after the run; empty for nowhere
};

// Appends the ITEMs in order: a ".m3u" file's entries, any other path as
// it stands. The M3U reader's answer when a playlist cannot be read.
std::string LoadItems(const std::vector<std::string>& items, Playlist& playlist);

// The questions of a start on the command line: running the command is
// the Yes to the job's question; --create-folder is the Yes to "Create
// folder?".
class ArgumentQuestions : public StartQuestions {
 public:
  explicit ArgumentQuestions(bool createFolder) : createFolder_(createFolder) {}
  bool CreateFolder(const std::string& folder) override;
  bool Confirm(const char*, const char*) override { return true; }
  // Prints why the start went no further on standard error.
  void PrintStop(const StartStop& stop) const;

 private:
  bool createFolder_;
  std::string missingFolder_;
};

// Runs the job over the loaded playlist until it ends or SIGINT/SIGTERM
// cancels it; answers the exit status: 0 without errors, 1 with, 2 for a
// refusal, 130 when cancelled.
int RunJob(BatchJob& job, Playlist& playlist, const JobRun& run);

}  // namespace tagmora::cli
