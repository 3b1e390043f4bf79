#pragma once
// Shared pieces of the tests: temporary folders, real MP3 files made with
// sox and lame, the shared corpus, and running other programs.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/types.h>
#include <vector>

#include "platform/Journal.h"

namespace tagmora::test {

// A fresh folder removed with everything in it when the object ends.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // Path of a name inside the folder.
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// While it lives, no file of the process may grow past `bytes`: writes
// beyond fail with EFBIG (the signal is ignored), which makes rewrites fail.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(uint64_t bytes);
  ~FileSizeLimit();

 private:
  struct rlimit old_;
  void (*oldHandler_)(int);
};

// Runs write in a child process that stops at `stage` as a crash there
// would: it ends at once (its record files unlocked), or with `live` it
// waits, holding them, until it is killed. Returns the child once it has
// stopped; fails the test when the write never reached the stage.
pid_t StopWriteAt(WriteStage stage, const std::function<void()>& write, bool live = false);
// Kills a live child of StopWriteAt and waits for it.
void KillChild(pid_t child);

std::string ReadFile(const std::string& path);
// Every folder and file below folder with what a change would show in:
// "name/" for a folder, "name mode mtime size content-hash" for a file.
std::vector<std::string> Snapshot(const std::string& folder);
void WriteFile(const std::string& path, const std::string& bytes);
void CopyFile(const std::string& from, const std::string& to);

// Makes an MP3 file at path: `seconds` of a sine tone made by sox at the
// given sample rate and channel count, encoded by lame with lameArgs
// (e.g. "-b 128", "-V 2 -m m"). Encoded files are cached per argument set
// for the run, so repeated calls are cheap.
void MakeMp3(const std::string& path, double seconds = 1.0,
             const std::string& lameArgs = "-b 128", int sampleRate = 44100,
             int channels = 2);

// The shared corpus folder, or empty when it is not beside the checkout.
std::string CorpusDir();
// Skips the current test when the corpus is absent.
#define TAGMORA_REQUIRE_CORPUS()                                              \
  do {                                                                        \
    if (::tagmora::test::CorpusDir().empty()) GTEST_SKIP() << "no corpus"; \
  } while (0)

// The tagmora-cli program built with the tests.
std::string CliPath();

struct CommandResult {
  int exitCode = -1;
  std::string output;  // standard output
};
// Runs a shell command and collects its standard output.
CommandResult RunCommand(const std::string& command);
// Quotes a text for the shell.
std::string ShellQuote(const std::string& text);

}  // namespace tagmora::test
