// Files no tagger should write, read and written through the tag access
// layer: each gives a clear status, never a crash, and is never changed by
// a read or a failed write.

#include <fcntl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "editing/TagAccess.h"
#include "platform/FileSystem.h"
#include "platform/UniqueFd.h"
#include "support/TagBytes.h"
#include "support/TestSupport.h"

namespace tagmora {
namespace {

using test::BigEndian32;
using test::ReadFile;
using test::Tag;
using test::TempDir;
using test::TextFrame;
using test::V1Record;
using test::WriteFile;

const std::string kAudio(3000, '\x55');

// Head and tail of a file with its size: enough to see a change without
// reading a sparse file of gigabytes.
std::string Fingerprint(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY));
  struct stat st {};
  if (!fd || ::fstat(fd.Get(), &st) != 0) return "unreadable";
  std::string head(65536, '\0'), tail(65536, '\0');
  head.resize(size_t(std::max<ssize_t>(0, ::pread(fd.Get(), head.data(), head.size(), 0))));
  off_t at = std::max<off_t>(0, st.st_size - off_t(tail.size()));
  tail.resize(size_t(std::max<ssize_t>(0, ::pread(fd.Get(), tail.data(), tail.size(), at))));
  return std::to_string(st.st_size) + "|" + head + "|" + tail;
}

// Writes head, then a hole up to size - tail.size(), then tail.
void WriteSparse(const std::string& path, const std::string& head, int64_t size,
                 const std::string& tail) {
  UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644));
  ASSERT_TRUE(fd);
  ASSERT_EQ(::pwrite(fd.Get(), head.data(), head.size(), 0), ssize_t(head.size()));
  ASSERT_EQ(::ftruncate(fd.Get(), off_t(size)), 0);
  ASSERT_EQ(::pwrite(fd.Get(), tail.data(), tail.size(), off_t(size - int64_t(tail.size()))),
            ssize_t(tail.size()));
}

std::string ReadStatus(const std::string& path, IDv1Tag& v1, IDv2Tag& v2) {
  std::string before = Fingerprint(path);
  std::string status = ReadTags(path, v1, v2);
  EXPECT_EQ(Fingerprint(path), before) << "a read changed " << path;
  return status;
}

TEST(BadInput, HeaderSizesBeyondTheFileReadAsNoFrames) {
  TempDir dir;
  // The largest size four header bytes can give (used unmasked) in a small file.
  std::string header = std::string("ID3\x03\x00\x00", 6) + "\xFF\xFF\xFF\xFF";
  WriteFile(dir / "a.mp3", header + TextFrame("TIT2", "Unreachable") + kAudio);
  IDv1Tag v1;
  IDv2Tag v2;
  EXPECT_EQ(ReadStatus(dir / "a.mp3", v1, v2), "OK");
  EXPECT_TRUE(v2.Exists);
  EXPECT_EQ(v2.Size, 0);
  EXPECT_EQ(v2.Title, "");
}

TEST(BadInput, AHugeTagInsideAHugeSparseFileReads) {
  TempDir dir;
  // Header bytes FF FF FF FF claim about 539 MB; the file is that long, so
  // the claim holds and the reader faces a tag of zero bytes after a frame.
  // What counts is the answer and the time: no crash, no endless read.
  std::string head = std::string("ID3\x03\x00\x00", 6) + "\xFF\xFF\xFF\xFF" +
                     TextFrame("TIT2", "Huge");
  int64_t claimed = 255LL * (2097152 + 16384 + 128 + 1) + 10;
  WriteSparse(dir / "a.mp3", head, claimed + 4096, V1Record("Tail"));
  IDv1Tag v1;
  IDv2Tag v2;
  EXPECT_EQ(ReadStatus(dir / "a.mp3", v1, v2), "OK");
  EXPECT_EQ(v2.Size, claimed);
  EXPECT_TRUE(v2.Title == "Huge" || v2.Title.empty());  // a reader may refuse so large a tag
  EXPECT_EQ(v1.Title, "Tail");
}

TEST(BadInput, FilesPast2GBReadAtTheirEnds) {
  TempDir dir;
  std::string head = Tag(3, TextFrame("TIT2", "Start"));
  WriteSparse(dir / "big.mp3", head, (5LL << 29), V1Record("End"));  // 2.5 GB
  IDv1Tag v1;
  IDv2Tag v2;
  EXPECT_EQ(ReadStatus(dir / "big.mp3", v1, v2), "OK");
  EXPECT_EQ(v2.Title, "Start");
  EXPECT_TRUE(v1.Exists);
  EXPECT_EQ(v1.Title, "End");
}

TEST(BadInput, FramesWhoseSizeRunsPastTheTag) {
  TempDir dir;
  const std::string kept = TextFrame("TIT2", "Kept");
  const std::string artist("\0Artist", 7);
  // TPE1 claims 2 GB, 4 GB, one byte too many; then a header cut by the tag's end.
  std::vector<std::string> cases;
  for (uint32_t size : {0x80000000u, 0xFFFFFFFFu, 8u})
    cases.push_back(kept + "TPE1" + BigEndian32(size) + std::string(2, '\0') + artist);
  cases.push_back(kept + std::string("TPE1\0\0", 6));
  for (const auto& frames : cases) {
    SCOPED_TRACE(frames.size());
    WriteFile(dir / "a.mp3", Tag(3, frames) + kAudio);
    IDv1Tag v1;
    IDv2Tag v2;
    EXPECT_EQ(ReadStatus(dir / "a.mp3", v1, v2), "OK");
    EXPECT_EQ(v2.Title, "Kept");
    // The audio behind the tag is never read as a frame's text.
    EXPECT_EQ(v2.Artist.find("\x55"), std::string::npos);
  }
  // Version 2.4 sizes are sync-safe: the largest one also runs past the tag.
  WriteFile(dir / "b.mp3", Tag(4, TextFrame("TIT2", "Kept", 4) + "TPE1\x7F\x7F\x7F\x7F" +
                                      std::string(2, '\0') + "\x03x") +
                               kAudio);
  IDv1Tag v1;
  IDv2Tag v2;
  EXPECT_EQ(ReadStatus(dir / "b.mp3", v1, v2), "OK");
  EXPECT_EQ(v2.Title, "Kept");
}

TEST(BadInput, TenThousandFramesReadAndSurviveARewrite) {
  TempDir dir;
  std::string others;
  for (int i = 0; i < 10000; ++i)
    others += test::Frame("TXXX", std::string(1, '\0') + "k" + std::to_string(i) + '\0' + "v");
  std::string path = dir / "many.mp3";
  WriteFile(path, Tag(3, others + TextFrame("TIT2", "Last Frame")) + kAudio);
  IDv1Tag v1;
  IDv2Tag v2;
  ASSERT_EQ(ReadStatus(path, v1, v2), "OK");
  EXPECT_EQ(v2.Title, "Last Frame");

  v2.Title = "Changed";
  ASSERT_EQ(WriteID3v2Tag(path, v2), "OK");
  std::string bytes = ReadFile(path);
  EXPECT_NE(bytes.find(others), std::string::npos) << "the 10,000 frames are not kept in order";
  EXPECT_EQ(bytes.substr(bytes.size() - kAudio.size()), kAudio);
  ASSERT_EQ(ReadTags(path, v1, v2), "OK");
  EXPECT_EQ(v2.Title, "Changed");
}

// Runs body as an unprivileged user when the tests run as root, where
// permissions would not stop a read; returns the lines the body wrote.
std::string RunWithoutPrivileges(const std::string& folder,
                                 const std::function<std::string()>& body) {
  if (::geteuid() != 0) return body();
  int out[2];
  if (::pipe(out) != 0) return "pipe failed";
  pid_t pid = ::fork();
  if (pid == 0) {
    ::close(out[0]);
    std::string text = (::setgid(65534) == 0 && ::setuid(65534) == 0 && ::chdir(folder.c_str()) == 0)
                           ? body()
                           : "cannot drop privileges";
    (void)!::write(out[1], text.data(), text.size());
    ::_exit(0);
  }
  ::close(out[1]);
  std::string text;
  char buffer[512];
  ssize_t n;
  while ((n = ::read(out[0], buffer, sizeof buffer)) > 0) text.append(buffer, size_t(n));
  ::close(out[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return text;
}

TEST(BadInput, AFileWithoutReadPermission) {
  TempDir dir;
  std::string path = dir / "locked.mp3";
  WriteFile(path, Tag(3, TextFrame("TIT2", "Secret")) + kAudio + V1Record("Secret"));
  std::string before = ReadFile(path);
  // Owner may write but not read; the folder belongs to the same user so a
  // writer could make its temporary file there.
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(dir.Path().c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
  }
  ASSERT_EQ(::chmod(path.c_str(), 0200), 0);

  std::string report = RunWithoutPrivileges(dir.Path(), [&] {
    if (::access(path.c_str(), R_OK) == 0) return std::string("readable");
    IDv1Tag v1;
    IDv2Tag v2;
    std::string text = ReadTags(path, v1, v2) + "|" + v2.Title + "|" + v1.Title + "\n";
    v1.Exists = v2.Exists = true;
    v1.Title = v2.Title = "Overwritten";
    text += WriteID3v1Tag(path, v1) + "\n";
    text += WriteID3v2Tag(path, v2) + "\n";
    v1.Exists = v2.Exists = false;
    text += WriteID3v1Tag(path, v1) + "\n";
    text += WriteID3v2Tag(path, v2) + "\n";
    return text;
  });
  if (report == "readable" || report == "cannot drop privileges")
    GTEST_SKIP() << "cannot take read permission away here: " << report;
  EXPECT_EQ(report,
            "Error reading ID3v2 Tag: ||\n"
            "Error writing ID3v1 Tag: \n"
            "Error writing ID3v2 Tag: \n"
            "Error writing ID3v1 Tag: \n"
            "Error writing ID3v2 Tag: \n");
  ::chmod(path.c_str(), 0600);
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()), {}), 1) << "no temporary file stays";
}

}  // namespace
}  // namespace tagmora
