#pragma once
// M3U playlist files. The writer writes "#EXTM3U", then one item per line.
// The reader takes the playlists other players write: the header may be
// missing, "#" lines are comments, relative paths belong to the playlist's
// folder, "file://" addresses become paths, and a line that is not UTF-8
// is Windows-1252 (an ".m3u8" is UTF-8 throughout). The operations answer
// "OK" or a message for the user.

#include <string>
#include <vector>

namespace tagmora {

class Playlist;

// The file's entries, in order, as full paths (other addresses as
// written). A file holding NUL bytes or other control characters is not a
// playlist and gives nothing.
std::string ReadM3UEntries(const std::string& fileName, std::vector<std::string>& entries);
// Appends the file's entries; with clearFirst the list is emptied once the
// file has been read as a playlist.
std::string ReadM3U(const std::string& fileName, Playlist& playlist, bool clearFirst);
// Writes every item, CRLF line ends, replacing an existing file.
std::string WriteM3U(const std::string& fileName, const Playlist& playlist);

// The text after the last "/".
std::string FileNamePart(const std::string& path);
// True for the names the reader takes: "*.m3u" and "*.m3u8", any case.
bool IsPlaylistName(const std::string& path);

}  // namespace tagmora
