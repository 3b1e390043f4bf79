#include "editing/SplitFileName.h"

#include <gtest/gtest.h>

namespace tagmora {
namespace {

struct Split {
  std::string status, artist, title;
  bool operator==(const Split&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Split& s) {
  return out << s.status << " [" << s.artist << "] [" << s.title << "]";
}

Split Of(const std::string& path, const std::string& separator) {
  Split s{"", "untouched", "untouched"};
  s.status = SplitFileName(path, separator, s.artist, s.title);
  return s;
}

TEST(SplitFileName, FindsArtistAndTitleAroundOneSeparator) {
  EXPECT_EQ(Of("/music/a - b/Artist - Title.mp3", " - "), (Split{"OK", "Artist", "Title"}));
  EXPECT_EQ(Of("ARTIST X TITLE.mp3", " x "), (Split{"OK", "ARTIST", "TITLE"}));
  // Four characters always go, whatever they are.
  EXPECT_EQ(Of("Artist - Title", " - "), (Split{"OK", "Artist", "T"}));
  // Characters, not bytes.
  EXPECT_EQ(Of("Björk  -  Jóga.mp3", "-"), (Split{"OK", "Björk", "Jóga"}));
}

TEST(SplitFileName, StatusesLeaveTheOutputsAlone) {
  EXPECT_EQ(Of("Artist_-_Title.mp3", " - ").status, "NO separator");
  EXPECT_EQ(Of("Artist - Title - Live.mp3", " - ").status, "Multiple separator \" - \"");
  // Overlapping occurrences count as several.
  EXPECT_EQ(Of("A - - B.mp3", " - ").status, "Multiple separator \" - \"");
  EXPECT_EQ(Of(" - Title.mp3", " - ").status, "NULL Artist");
  EXPECT_EQ(Of("Artist - .mp3", " - ").status, "NULL Title");
  EXPECT_EQ(Of("Artist - ", " - ").status, "NULL Title");
  EXPECT_EQ(Of("Artist - Title.mp3", ""), (Split{"Invalid separator \"\" ", "untouched", "untouched"}));
  // The folder is not part of the name.
  EXPECT_EQ(Of("/music/Artist - Album/Title.mp3", " - ").status, "NO separator");
}

}  // namespace
}  // namespace tagmora
