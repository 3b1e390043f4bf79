// Feeds arbitrary bytes to the stream reader as a file and asks for every
// value it derives.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/InputFile.h"
#include "tags/MPEGaudio.h"

namespace {

// One in-memory file for the whole run, rewritten for each input.
int MemoryFile() {
  static int fd = memfd_create("mpeg-fuzz", MFD_CLOEXEC);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int fd = MemoryFile();
  if (fd < 0 || ftruncate(fd, 0) != 0) return 0;
  if (pwrite(fd, data, size, 0) != ssize_t(size)) return 0;

  tagmora::InputFile file;
  if (!file.Open("/proc/self/fd/" + std::to_string(fd))) return 0;
  tagmora::TMPEGaudio mpeg;
  mpeg.ReadInfo(file);

  volatile size_t sink = 0;
  sink = sink + mpeg.Version().size() + mpeg.Layer().size() + mpeg.ChannelMode().size() +
         mpeg.Emphasis().size() + mpeg.Encoder().size() + mpeg.VendorId().size();
  sink = sink + mpeg.BitRate() + mpeg.SampleRate() + size_t(mpeg.Frames()) +
         size_t(mpeg.Duration() >= 0) + mpeg.EncoderId() + mpeg.Valid() +
         size_t(mpeg.FileLength());
  // A stream that was not found leaves nothing behind.
  if (!mpeg.Frame().Found && (mpeg.Valid() || mpeg.Duration() != 0 || mpeg.BitRate() != 0))
    __builtin_trap();
  return 0;
}
