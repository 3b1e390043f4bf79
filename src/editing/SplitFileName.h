#pragma once
// Splits a file name such as "Artist - Title.mp3" at a separator into an
// artist and a title: the editor's complete commands and the multi-tagger's
// auto-complete step both fill artist and title this way.

#include <string>

namespace tagmora {

inline constexpr const char* kSplitNoSeparator = "NO separator";
inline constexpr const char* kSplitNullTitle = "NULL Title";
inline constexpr const char* kSplitNullArtist = "NULL Artist";

// Answers "OK" or why the name cannot be split; artist and title are
// written only on "OK". The name is the part of the path after its last
// "/"; its last four characters (the extension) never reach the title.
// The separator is found without regard to letter case.
std::string SplitFileName(const std::string& path, const std::string& separator,
                          std::string& artist, std::string& title);

// The part of a path after its last "/", extension included.
std::string FileNameOf(const std::string& path);

}  // namespace tagmora
