// A rewrite killed at any moment leaves the old file or the new one, whole.

#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TestSupport.h"
#include "tags/ID3v2.h"

namespace tagmora {
namespace {

using namespace test;

void WriteTitle(const std::string& path, const std::string& title) {
  TID3v2 tag;
  tag.SetTitle(title);
  tag.SetComment(std::string(title.size() * 3, 'c'));
  if (!tag.WriteTag(path)) throw std::runtime_error("write failed");
}

TEST(ID3v2Kill, RewriteKilledAtRandomMomentsLeavesAWholeFile) {
  TempDir dir;
  std::string path = dir / "big.mp3";
  std::mt19937 random(12345);
  std::string audio(20 << 20, '\0');
  for (char& c : audio) c = char(random());
  WriteFile(path, audio);

  // The two files the loop alternates between.
  WriteTitle(path, "Short");
  const std::string shortFile = ReadFile(path);
  WriteTitle(path, std::string(3000, 'L'));
  const std::string longFile = ReadFile(path);
  ASSERT_NE(shortFile.size(), longFile.size());

  std::uniform_int_distribution<int> delayMs(5, 400);
  int sawShort = 0, sawLong = 0;
  for (int round = 0; round < 12; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) {
        try {
          WriteTitle(path, i % 2 ? std::string(3000, 'L') : "Short");
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

    std::string now = ReadFile(path);
    bool whole = now == shortFile || now == longFile;
    ASSERT_TRUE(whole) << "round " << round << ": " << now.size() << " bytes";
    (now == shortFile ? sawShort : sawLong)++;
  }
  std::cout << "kills: " << sawShort << " old-short, " << sawLong << " long\n";
}

}  // namespace
}  // namespace tagmora
