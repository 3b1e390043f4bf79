// Feeds arbitrary file contents to the ID3v1 reader and to the tag access
// layer's ReadTags, which reads both tags through one open file.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "editing/TagAccess.h"
#include "platform/TextCodec.h"
#include "tags/ID3v1.h"

namespace {

// An in-memory file with a path, so the readers open it as they would a
// file on disk.
struct MemoryFile {
  int fd = ::memfd_create("tagmora-fuzz", 0);
  std::string path = "/proc/self/fd/" + std::to_string(fd);

  void Fill(const uint8_t* data, size_t size) {
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != ssize_t(size)) std::abort();
  }
};

void Check(bool condition) {
  if (!condition) std::abort();
}

bool FitsV1(const std::string& text, size_t characters) {
  return tagmora::Utf8Length(text) <= characters && tagmora::SanitizeUtf8(text) == text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static MemoryFile file;
  file.Fill(data, size);

  tagmora::TID3v1 v1;
  bool read = v1.ReadTag(file.path);
  Check(read == (size >= 128));
  Check(FitsV1(v1.Title(), 30) && FitsV1(v1.Artist(), 30) && FitsV1(v1.Album(), 30) &&
        FitsV1(v1.Year(), 4) && FitsV1(v1.Comment(), 30));
  Check(v1.VersionId() == 1 || (v1.VersionId() == 2 && v1.Exists()));

  tagmora::IDv1Tag tag1;
  tagmora::IDv2Tag tag2;
  std::string status = tagmora::ReadTags(file.path, tag1, tag2);
  Check(status == tagmora::kStatusOK || status == tagmora::kStatusReadID3v1 ||
        status == tagmora::kStatusReadID3v2);
  Check(tag1.Title == v1.Title() && tag1.Track == v1.Track() && tag1.GenreId == v1.GenreId());
  Check(tag2.Size >= 0 && int64_t(tag2.Size) <= int64_t(size));
  for (const std::string* text : {&tag2.Title, &tag2.Artist, &tag2.Comment, &tag2.URL})
    Check(tagmora::SanitizeUtf8(*text) == *text);
  return 0;
}
