#pragma once
// M3U playlist files: "#EXTM3U", then one item per line. Both operations
// answer "OK" or a message for the user.

#include <string>

namespace tagmora {

class Playlist;

// Appends the file's items; with clearFirst the list is emptied once the
// header has been checked. Lines containing "#EXTINF:" are skipped.
std::string ReadM3U(const std::string& fileName, Playlist& playlist, bool clearFirst);
// Writes every item, CRLF line ends, replacing an existing file.
std::string WriteM3U(const std::string& fileName, const Playlist& playlist);

// The text after the last "/".
std::string FileNamePart(const std::string& path);

}  // namespace tagmora
