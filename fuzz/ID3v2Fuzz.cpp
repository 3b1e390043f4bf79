// Reads any bytes as a tag, then rewrites the tag with one field changed and
// checks that every field reads back as written.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "tags/ID3v2.h"

using namespace tagmora;

namespace {

std::string ScratchPath() {
  // tmpfs makes the rewrite's flush cheap.
  std::string dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return dir + "/tagmora-id3v2-fuzz-" + std::to_string(getpid()) + ".mp3";
}

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "read back differs: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = ScratchPath();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  TID3v2 read;
  if (!read.ReadTag(path)) return 0;
  TID3v2 write;
  write.SetTitle("Fuzzed");
  write.SetArtist(read.Artist());
  write.SetAlbum(read.Album());
  write.SetTrack(read.Track());
  write.SetYear(read.Year());
  write.SetGenre(read.Genre());
  write.SetComment(read.Comment());
  write.SetComposer(read.Composer());
  write.SetEncoder(read.Encoder());
  write.SetCopyright(read.Copyright());
  write.SetLanguage(read.Language());
  write.SetURL(read.URL());
  if (!write.WriteTag(path)) return 0;

  TID3v2 back;
  Check(back.ReadTag(path) && back.Exists() && back.VersionId() == 3, "header");
  Check(back.Title() == "Fuzzed", "title");
  Check(back.Artist() == read.Artist(), "artist");
  Check(back.Album() == read.Album(), "album");
  Check(back.Track() == read.Track(), "track");
  Check(back.Year() == read.Year(), "year");
  Check(back.Genre() == read.Genre(), "genre");
  Check(back.Comment() == read.Comment(), "comment");
  Check(back.Composer() == read.Composer(), "composer");
  Check(back.Encoder() == read.Encoder(), "encoder");
  Check(back.Copyright() == read.Copyright(), "copyright");
  Check(back.Language() == read.Language(), "language");
  Check(back.URL() == read.URL(), "url");
  return 0;
}
