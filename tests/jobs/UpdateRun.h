#pragma once
// The update job over real files with the tags read back.

#include "jobs/JobFixture.h"
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
