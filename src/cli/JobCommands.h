#pragma once
// The batch job commands of tagmora-cli: the window's jobs run headless
// over a playlist made of the command's ITEMs, with the run's reports
// printed as text or as JSON lines.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "jobs/FileJobs.h"

namespace tagmora {
class BatchJob;
class JobDisk;
class Playlist;
}  // namespace tagmora

namespace tagmora::cli {

struct JobRun {
  std::vector<std::string> items;  // MP3 paths and ".m3u" playlists
  bool json = false;
  // The job runs against the preview disk: its changes are printed, none made.
  bool dryRun = false;
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

// Builds the job over the loaded ITEMs on the disk it gives (a real one
// with a new undo journal named jobName, or the preview disk), then runs it
// until it ends or SIGINT/SIGTERM cancels it. make answers null once it has
// printed why the run cannot start. Answers the exit status: 0 without
// errors, 1 with, 2 for a refusal, 130 when cancelled.
using JobMaker = std::function<std::unique_ptr<BatchJob>(const Playlist&, JobDisk&)>;
int RunJob(const JobRun& run, const char* jobName, const JobMaker& make);

// tagmora-cli undo: --list prints the kept jobs; otherwise the newest job
// with changes left is taken back (or, dry, what would be printed).
int Undo(const JobRun& run, bool list);

}  // namespace tagmora::cli
