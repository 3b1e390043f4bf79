#pragma once
// What the step tests share: the update job over real files made for it,
// and the multi-tagger page over a window model of its own.

#include "jobs/JobFixture.h"
#include "jobs/MultiTaggerModel.h"
#include "jobs/UnitThreadUpdate.h"

namespace tagmora::test {

// Each error as "message | path".
inline std::vector<std::string> RunUpdate(const UpdateOptions& options,
                                          const std::vector<std::string>& paths) {
  TThreadUpdate job(options);
  RecordingReports reports;
  RunToEnd(job, paths, reports);
  return reports.errors;
}

// An MP3 file with the tags whose Exists is set.
inline void MakeTagged(const std::string& path, const IDv1Tag& v1, const IDv2Tag& v2) {
  MakeMp3(path, 0.2);
  if (v1.Exists) {
    ASSERT_EQ(WriteID3v1Tag(path, v1), kStatusOK);
  }
  if (v2.Exists) {
    ASSERT_EQ(WriteID3v2Tag(path, v2), kStatusOK);
  }
}

// The page with its window; folder holds the settings file.
struct PageProgram {
  explicit PageProgram(const std::string& folder) : window(user, poster, folder, folder) {}
  Control& C(const char* name) { return window.Controls()[name]; }

  FakeUser user;
  FakePoster poster;
  MainWindowModel window;
  MultiTaggerModel page{window};
};

}  // namespace tagmora::test
