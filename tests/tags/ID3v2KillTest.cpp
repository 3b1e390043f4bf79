// A tag write killed at any moment leaves, once recovery has run, the old
// file or the new one, whole: written in place under its undo record, or
// rewritten through its temporary file.

#include <csignal>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Journal.h"
#include "support/TestSupport.h"
#include "tags/ID3v2.h"

namespace tagmora {
namespace {

using namespace test;

void WriteTitle(const std::string& path, const std::string& title) {
  TID3v2 tag;
  tag.SetTitle(title);
  tag.SetComment(std::string(title.size() / 2, 'c'));
  if (!tag.WriteTag(path)) throw std::runtime_error("write failed");
}

// A round may start on a file whose tag is already gone.
void RemoveTag(const std::string& path) {
  TID3v2 tag;
  if (!tag.ReadTag(path) || (tag.Exists() && !tag.RemoveTag(path)))
    throw std::runtime_error("remove failed");
}

struct Loop {
  const char* name;
  std::function<void(const std::string&)> first, second;
};

void KillWhileWriting(const Loop& loop) {
  TempDir dir;
  std::string path = dir / "big.mp3";
  std::mt19937 random(12345);
  std::string audio(20 << 20, '\0');
  for (char& c : audio) c = char(random());
  WriteFile(path, audio);
  WriteTitle(path, "Short");  // the padding both in-place writes fit in

  // The two files the loop alternates between.
  loop.first(path);
  const std::string firstFile = ReadFile(path);
  loop.second(path);
  const std::string secondFile = ReadFile(path);
  ASSERT_NE(firstFile, secondFile);

  std::uniform_int_distribution<int> delayMs(5, 400);
  int sawFirst = 0, sawSecond = 0, undone = 0, removed = 0;
  for (int round = 0; round < 12; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) {
        try {
          (i % 2 ? loop.second : loop.first)(path);
        } catch (...) {
          _exit(3);
        }
      }
    }
    usleep(useconds_t(delayMs(random)) * 1000);
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself";

    for (const RecoveryReport& report : RecoverJournal()) {
      EXPECT_NE(report.outcome, RecoveryReport::Outcome::FileChanged);
      undone += report.outcome == RecoveryReport::Outcome::Undone;
      removed += report.outcome == RecoveryReport::Outcome::TempRemoved;
    }
    std::string now = ReadFile(path);
    bool whole = now == firstFile || now == secondFile;
    ASSERT_TRUE(whole) << loop.name << ", round " << round << ": " << now.size() << " bytes";
    (now == firstFile ? sawFirst : sawSecond)++;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1)
        << "a temporary file stayed";
  }
  std::cout << loop.name << ": " << sawFirst << " first, " << sawSecond << " second, " << undone
            << " undone by recovery, " << removed << " temporary files removed\n";
}

TEST(ID3v2Kill, InPlaceWriteKilledAtRandomMomentsIsWholeAfterRecovery) {
  KillWhileWriting({"in place", [](const std::string& p) { WriteTitle(p, "Short"); },
                    [](const std::string& p) { WriteTitle(p, std::string(600, 'L')); }});
}

TEST(ID3v2Kill, RewriteKilledAtRandomMomentsIsWholeAfterRecovery) {
  KillWhileWriting({"rewrite", RemoveTag,
                    [](const std::string& p) { WriteTitle(p, std::string(600, 'L')); }});
}

}  // namespace
}  // namespace tagmora
