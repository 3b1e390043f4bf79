#include "jobs/UnitThreadUpdate.h"

#include <sys/stat.h>

#include "JobFixture.h"
#include "platform/FileSystem.h"
#include "support/TagBytes.h"

namespace tagmora {
namespace {

using test::RecordingReports;
using test::TempDir;
using test::V1Of;
using test::V2Of;

class UpdateJobTest : public ::testing::Test {
 protected:
  // A small MP3 with the given tags (none when the record does not exist).
  std::string File(const std::string& name, IDv1Tag v1 = {}, IDv2Tag v2 = {}) {
    std::string path = dir / name;
    test::MakeMp3(path, 0.2);
    if (v1.Exists) {
      EXPECT_EQ(WriteID3v1Tag(path, v1), "OK");
    }
    if (v2.Exists) {
      EXPECT_EQ(WriteID3v2Tag(path, v2), "OK");
    }
    return path;
  }
  test::Recorded Run(const std::vector<std::string>& paths) {
    TThreadUpdate job(options);
    RecordingReports reports;
    test::RunToEnd(job, paths, reports);
    changed = job.Counters().front().second;
    return reports;
  }
  static IDv1Tag V1(const std::string& title, const std::string& artist = "") {
    IDv1Tag v1;
    v1.Exists = true;
    v1.Title = title;
    v1.Artist = artist;
    return v1;
  }
  static IDv2Tag V2(const std::string& title) {
    IDv2Tag v2;
    v2.Exists = true;
    v2.Title = title;
    return v2;
  }
  void Template(MultiField field, const std::string& text) { options.templates[field] = text; }

  TempDir dir;
  UpdateOptions options;
  int changed = 0;
};

TEST_F(UpdateJobTest, NothingIsWrittenWhenNothingChanges) {
  Template(kFieldTitle, "%title%");
  options.replaceV2 = true;
  std::string tagged = File("tagged.mp3", V1("Song", "Band"), V2("Song"));
  std::string bare = File("bare.mp3");
  // A record whose fields are all empty loses the record: Exists goes false.
  std::string emptyTag = File("empty.mp3", V1(""));
  ::chmod(tagged.c_str(), 0444);  // read-only: no error either, as nothing is written
  struct stat before;
  ::stat(tagged.c_str(), &before);
  const std::string bytes = test::ReadFile(tagged), bareBytes = test::ReadFile(bare);

  test::Recorded reports = Run({tagged, bare, emptyTag});
  EXPECT_TRUE(reports.errors.empty()) << reports.errors.front();
  EXPECT_EQ(test::ReadFile(tagged), bytes);
  EXPECT_EQ(test::ReadFile(bare), bareBytes);
  struct stat after;
  ::stat(tagged.c_str(), &after);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_FALSE(V1Of(emptyTag).Exists);
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(reports.summary, "    Updated 3 files with NO errors!");
}

TEST_F(UpdateJobTest, TemplatesFillEachPassFromItsContext) {
  Template(kFieldTitle, "%title2%");
  Template(kFieldGenre, "rock");
  Template(kFieldTrack, "%track%");
  std::string onlyV2 = File("v2.mp3", {}, V2(std::string(40, 'x')));
  std::string other = File("other.mp3", V1("Old"));
  test::Recorded reports = Run({onlyV2, other});
  EXPECT_TRUE(reports.errors.empty());
  IDv1Tag v1 = V1Of(onlyV2);
  EXPECT_EQ(v1.Title, std::string(30, 'x'));  // the ID3v1 cut
  EXPECT_EQ(v1.GenreId, 17);                  // a name in any case
  EXPECT_EQ(v1.Track, 0);
  EXPECT_EQ(V1Of(other).Title, "");  // no ID3v2 title: no fallback to ID3v1

  // Both passes: the ID3v2 templates see what the ID3v1 pass left.
  options = {};
  options.replaceV2 = true;
  Template(kFieldTitle, "%title%!");
  Template(kFieldComment, "%title1%");
  Template(kFieldGenre, "Polka Rock");
  std::string both = File("both.mp3", V1("One"), V2("Two"));
  Run({both});
  EXPECT_EQ(V1Of(both).Comment, "One!");
  EXPECT_EQ(V1Of(both).GenreId, 254);  // no such genre
  EXPECT_EQ(V2Of(both).Title, "Two!");
  EXPECT_EQ(V2Of(both).Comment, "One!");
  EXPECT_EQ(V2Of(both).Genre, "Polka Rock");
}

TEST_F(UpdateJobTest, BadTracksAndMissingFilesAreErrors) {
  IDv1Tag numbered = V1("Song");
  numbered.Track = 5;
  std::string a = File("a.mp3", numbered), b = File("b.mp3", numbered);
  std::string missing = dir / "missing.mp3";
  for (const char* track : {"12a", "300"}) {
    SCOPED_TRACE(track);
    Template(kFieldTrack, track);
    test::Recorded reports = Run({a, missing, b});
    // Track errors name no file and select nothing; a missing file does both.
    const std::string message = std::string(track) == "300"
                                    ? "Track field: '300' is not a valid track number (0 to 255)"
                                    : "Track field: '12a' is not a valid integer value";
    EXPECT_EQ(reports.errors,
              (std::vector<std::string>{message, "File does NOT exist | " + missing, message}));
    EXPECT_EQ(reports.selected, std::vector<int>{1});
    EXPECT_EQ(reports.outcome.errors, 3);
    EXPECT_EQ(V1Of(a).Track, 5);
    EXPECT_EQ(reports.summary,
              "    Updated 3 files with 3 errors displayed on the Errors tab!\n\r\n\r"
              "               Selected files from playlist have errors!");
  }
}

TEST_F(UpdateJobTest, ReadOnlyFilesFollowTheOption) {
  Template(kFieldTitle, "New");
  options.replaceV2 = true;
  std::string path = File("ro.mp3", V1("Old"), V2("Old"));
  ::chmod(path.c_str(), 0454);  // read-only for the owner, odd bits kept
  options.writeReadOnly = false;
  test::Recorded refused = Run({path});
  EXPECT_EQ(refused.errors, std::vector<std::string>{"File is ReadOnly | " + path});
  EXPECT_EQ(V1Of(path).Title, "Old");
  EXPECT_EQ(V2Of(path).Title, "Old");  // the ID3v2 pass is skipped too

  options.writeReadOnly = true;
  EXPECT_TRUE(Run({path}).errors.empty());
  EXPECT_EQ(V1Of(path).Title, "New");
  EXPECT_EQ(V2Of(path).Title, "New");
  EXPECT_EQ(FileMode(path), 0454);
}

TEST_F(UpdateJobTest, ATemplateThatEmptiesTheOnlyFieldRemovesTheTag) {
  Template(kFieldTitle, "");
  std::string path = File("a.mp3", V1("Only a title"));
  Run({path});
  EXPECT_FALSE(V1Of(path).Exists);
}

}  // namespace
}  // namespace tagmora
