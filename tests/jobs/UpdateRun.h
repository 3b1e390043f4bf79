#pragma once
// Runs the update job over real files as the window would, and reads the
// tags back.

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "app/Fakes.h"
#include "editing/SplitFileName.h"
#include "editing/TagAccess.h"
#include "jobs/UnitThreadUpdate.h"
#include "playlist/Playlist.h"
#include "support/TestSupport.h"

namespace tagmora::test {

// Each error as "file name: message" (the message alone without a path).
inline std::vector<std::string> RunUpdate(const UpdateOptions& options,
                                          const std::vector<std::string>& paths) {
  struct Reports : JobReports {
    void ErrorAdded(const std::string& message, const std::string& path) override {
      std::lock_guard lock(mutex);
      errors.push_back(path.empty() ? message : FileNameOf(path) + ": " + message);
    }
    void EntrySelected(int) override {}
    void EntryReplaced(int, const std::string&) override {}
    void Progress(const JobProgress&) override {}
    void Summary(const std::string&, int) override {}
    void Finished(const JobOutcome&) override {}
    std::mutex mutex;
    std::vector<std::string> errors;
  } reports;
  FakePoster poster;
  Playlist playlist(poster);
  playlist.AppendAll(paths);
  std::atomic<int32_t> cancel{0}, timer{0};
  JobRunner runner(cancel, timer);
  TThreadUpdate job(options);
  runner.Start(job, playlist, reports);
  runner.Wait();
  return reports.errors;
}

struct Tags {
  IDv1Tag v1;
  IDv2Tag v2;
};

inline Tags ReadBack(const std::string& path) {
  Tags tags;
  EXPECT_EQ(ReadTags(path, tags.v1, tags.v2), kStatusOK) << path;
  return tags;
}

// An MP3 file with the tags whose Exists is set.
inline void MakeTagged(const std::string& path, const IDv1Tag& v1, const IDv2Tag& v2) {
  MakeMp3(path, 0.2);
  if (v1.Exists) ASSERT_EQ(WriteID3v1Tag(path, v1), kStatusOK);
  if (v2.Exists) ASSERT_EQ(WriteID3v2Tag(path, v2), kStatusOK);
}

}  // namespace tagmora::test
