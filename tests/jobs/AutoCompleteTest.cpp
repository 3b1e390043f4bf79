// Artist and title from file names, through the update job on real files.

#include "jobs/StepsFixture.h"

namespace tagmora {
namespace {

struct CompleteCase {
  const char* name;
  const char* v1Artist;  // the tags before the run; null for no tag
  const char* v2Artist;
  void (*tweak)(UpdateOptions&);
  const char* expected[4];  // ID3v1 artist and title, ID3v2 artist and title
  const char* error;
};

void None(UpdateOptions&) {}

const CompleteCase kCases[] = {
    {"Artist - Title.mp3", nullptr, nullptr, None, {"Artist", "Title", "Artist", "Title"}, ""},
    {"Artist_-_Title.mp3", nullptr, nullptr, None, {"Artist", "Title", "Artist", "Title"}, ""},
    {"A - B - C.mp3", nullptr, nullptr, None, {"", "", "", ""},
     "Multiple separator \" - \"(\" - \") and NO separator(\"_-_\")"},
    {"_-_Song - .mp3", nullptr, nullptr, None, {"", "", "", ""},
     "NULL Title(\" - \") and NULL Artist(\"_-_\")"},
    // Without a separator the name stands in, and the error stays.
    {"Some Song.mp3", "Kept", "", [](UpdateOptions& o) {
       o.autoComplete.fallbackTitle = o.autoComplete.fallbackArtist = true;
     },
     {"Kept", "Some Song", "Some Song", "Some Song"},
     "NO separator(\" - \") and NO separator(\"_-_\")"},
    // Each tag's own field decides "only if is missing".
    {"Artist - Title.mp3", "Old", "", None, {"Old", "Title", "Artist", "Title"}, ""},
    {"Artist - Title.mp3", "Old", "Old", [](UpdateOptions& o) {
       o.autoComplete.artistIfMissing = false;
     },
     {"Artist", "Title", "Artist", "Title"}, ""},
    {"Artist - Title.mp3", nullptr, nullptr, [](UpdateOptions& o) { o.replaceV2 = false; },
     {"Artist", "Title", "", ""}, ""},
    {"An Artist Whose Name Runs Past Thirty - T.mp3", nullptr, nullptr, None,
     {"An Artist Whose Name Runs Past", "T", "An Artist Whose Name Runs Past Thirty", "T"}, ""},
};

TEST(AutoCompleteTest, FillsArtistAndTitleFromTheFileName) {
  for (const CompleteCase& row : kCases) {
    SCOPED_TRACE(row.name);
    test::TempDir dir;
    const std::string path = dir / row.name;
    IDv1Tag v1;
    IDv2Tag v2;
    v1.Exists = row.v1Artist;
    v1.Artist = row.v1Artist ? row.v1Artist : "";
    v2.Exists = row.v2Artist;
    v2.Artist = row.v2Artist ? row.v2Artist : "";
    v2.Album = "Album";
    test::MakeTagged(path, v1, v2);
    UpdateOptions options;
    options.replaceV2 = true;
    options.autoComplete.enabled = options.autoComplete.getArtist =
        options.autoComplete.getTitle = true;
    row.tweak(options);

    std::vector<std::string> errors = test::RunUpdate(options, {path});
    const IDv1Tag after1 = test::V1Of(path);
    const IDv2Tag after2 = test::V2Of(path);
    EXPECT_EQ((std::vector<std::string>{after1.Artist, after1.Title, after2.Artist, after2.Title}),
              std::vector<std::string>(std::begin(row.expected), std::end(row.expected)));
    EXPECT_EQ(errors, row.error[0] ? std::vector<std::string>{row.error + (" | " + path)}
                                   : std::vector<std::string>{});
  }
}

TEST(AutoCompleteTest, RunsBeforeTheTemplatesAndOnlyWhenAFieldIsAsked) {
  test::TempDir dir;
  const std::string path = dir / "Artist - Title.mp3";
  test::MakeTagged(path, {}, {});
  UpdateOptions options;
  options.templates[kFieldComment] = "%artist%-%title%";
  options.autoComplete.enabled = true;
  // Enabled without a field asked: nothing is taken, nothing reported.
  EXPECT_TRUE(test::RunUpdate(options, {path}).empty());
  EXPECT_EQ(test::V1Of(path).Comment, "-");
  options.autoComplete.getTitle = options.autoComplete.getArtist = true;
  EXPECT_TRUE(test::RunUpdate(options, {path}).empty());
  EXPECT_EQ(test::V1Of(path).Comment, "Artist-Title");
}

}  // namespace
}  // namespace tagmora
