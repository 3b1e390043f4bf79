#include "jobs/MultiMoveModel.h"

#include <csignal>
#include <fcntl.h>
#include <random>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include "jobs/FileJobFaces.h"
#include "platform/FileSystem.h"
#include "support/TagBytes.h"
#include "support/TestSupport.h"

namespace tagmora {
namespace {

using namespace test;

const PageFace kMoveFace = {
    "move", "ButtonMoveStart", "ButtonStopMove", {"folders_created", "moved"},
    [](MainWindowModel& window) { return std::make_shared<MultiMoveModel>(window); },
    [](ControlSet& c, const std::string& option, const std::string& value) {
      if (option == "--base") c["EditBaseFolder"].SetText(value);
      if (option == "--priority") c[value == "v1" ? "RadioPriority1" : "RadioPriority2"].Click();
      if (option == "--create-only") c["CheckBoxCreateOnly"].SetChecked(true);
      for (const FolderByChoice& choice : kFolderByChoices)
        if (option == "--by" && value == choice.name) c[choice.radio].Click();
    },
    [](int count, int errors, const std::vector<int>& counters) {
      return MoveSummary(count, errors, counters.at(0), counters.at(1));
    }};

TEST(MoveJob, BothFacesMoveAlike) {
  const FileSpec x{"x.mp3", "-", "A|T"};
  const std::vector<JobCase> cases = {
      {.what = "genre folders made once below a base made after the question",
       .files = {{"in/x.mp3", "-", "A|T|Al|House"}, {"in/y.mp3", "-", "B|U|Al|House"}},
       .items = {"$/in/x.mp3", "$/in/y.mp3"}, .args = {"--by=genre", "--base=$/Mp3", "--create-folder"},
       .tree = {"Mp3/", "Mp3/House/", "Mp3/House/x.mp3<-in/x.mp3", "Mp3/House/y.mp3<-in/y.mp3", "in/"},
       .playlist = {"$/Mp3/House/x.mp3", "$/Mp3/House/y.mp3"}, .counters = {1, 2}},
      {.what = "artist - album needs the album",
       .files = {{"x.mp3", "-", "A|T||"}, {"y.mp3", "-", "A|T|B|"}}, .items = {"$/x.mp3", "$/y.mp3"},
       .args = {"--by=artist-album", "--base=$"}, .tree = {"A - B/", "A - B/y.mp3<-y.mp3", "x.mp3<-x.mp3"},
       .errors = {"NO Album found in ID3v1 or ID3v2|$/x.mp3"}, .playlist = {"$/x.mp3", "$/A - B/y.mp3"},
       .selected = {0}, .counters = {1, 1}},
      {.what = "create only", .files = {x, {"y.mp3", "-", "B|T"}}, .items = {"$/x.mp3", "$/y.mp3"},
       .args = {"--base=$/", "--create-only"}, .tree = {"A/", "B/", "x.mp3<-x.mp3", "y.mp3<-y.mp3"},
       .counters = {2, 0}},
      {.what = "a file in its folder stays; a taken name is never replaced",
       .files = {{"A/x.mp3", "-", "A|T"}, {"y.mp3", "-", "A|U"}, {"A/y.mp3", "-", "Z|Z"}},
       .items = {"$/A/x.mp3", "$/y.mp3"}, .args = {"--base=$"},
       .tree = {"A/", "A/x.mp3<-A/x.mp3", "A/y.mp3<-A/y.mp3", "y.mp3<-y.mp3"},
       .errors = {"File NOT moved!\n\rFile exists|$/y.mp3"}, .selected = {1}, .counters = {0, 0}},
      {.what = "names from the tags never leave the base folder",
       .files = {{"in/x.mp3", "-", "../x|T"}, {"in/y.mp3", "-", "AC/DC|T"}, {"in/AC/"}},
       .items = {"$/in/x.mp3", "$/in/y.mp3"}, .args = {"--base=$/in"},
       .tree = {"in/", "in/AC/", "in/x.mp3<-in/x.mp3", "in/y.mp3<-in/y.mp3"},
       .errors = {"Folder NOT created!\n\rInvalid argument|$/in/../x",
                  "Folder NOT created!\n\rInvalid argument|$/in/AC/DC"},
       .selected = {0, 1}, .counters = {0, 0}},
      {.what = "ID3v1 first; its genre byte 255 gives way to the ID3v2 genre",
       .files = {{"x.mp3", "A|T|Al|255", "B|T|Al|Trance"}, {"y.mp3", "A|T|Al|17", "B|T|Al|Trance"}},
       .items = {"$/x.mp3", "$/y.mp3"}, .args = {"--by=genre", "--priority=v1", "--base=$"},
       .tree = {"Rock/", "Rock/y.mp3<-y.mp3", "Trance/", "Trance/x.mp3<-x.mp3"},
       .playlist = {"$/Trance/x.mp3", "$/Rock/y.mp3"}, .counters = {2, 2}},
      {.what = "no base folder", .files = {x}, .items = {"$/x.mp3"}, .tree = {"x.mp3<-x.mp3"},
       .refusal = "Base Folder is empty!"},
  };
  for (const JobCase& job : cases) CheckBothFaces(kMoveFace, job);
}

// A move to another file system killed at any moment leaves the file whole
// in its old place or its new one, and never a part under the new name.
TEST(MoveJob, KilledAcrossFileSystemsTheFileStaysWhole) {
  TempDir dir, other;
  if (::mount("tmpfs", other.Path().c_str(), "tmpfs", 0, "size=256m") != 0)
    GTEST_SKIP() << "skipped: cannot mount a tmpfs here (" << SystemErrorText() << ")";
  struct Unmount {
    std::string path;
    ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
  } unmount{other.Path()};

  const std::string from = dir / "big.mp3", to = other / "A/big.mp3";
  // 32 MB behind a tag with the artist A: random blocks, each numbered.
  std::mt19937 random(4711);
  std::string block(1 << 16, '\0'), whole = test::Tag(3, test::TextFrame("TPE1", "A"));
  for (char& c : block) c = char(random());
  for (int i = 0; i < 512; ++i) whole += std::to_string(i) + block;
  WriteFile(from, whole);
  const auto isWhole = [&whole](const std::string& path) {
    std::string bytes;
    return ReadWholeFile(path, bytes) == 0 && bytes == whole;
  };

  // The first run goes to its end; the kills of the others spread over its
  // length, fewer over the program's start than over the copy at its end.
  int status = 0, runMs = 0, old = 0, moved = 0;
  std::uniform_int_distribution<int> delayMs;
  for (int round = 0; round <= 12; ++round) {
    const int64_t start = MonotonicMs();
    const pid_t child = fork();
    if (child == 0) {
      dup2(open("/dev/null", O_WRONLY), 1);
      execl(CliPath().c_str(), "tagmora-cli", "move", ("--base=" + other.Path()).c_str(),
            "--json", from.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    if (round > 0) {
      usleep(useconds_t(delayMs(random)) * 1000);
      kill(child, SIGKILL);
    }
    waitpid(child, &status, 0);
    if (round == 0) {
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
      runMs = int(MonotonicMs() - start);
      delayMs = std::uniform_int_distribution<int>(runMs / 3, runMs);
    }
    const bool atOld = FileExists(from), atNew = FileExists(to);
    ASSERT_TRUE(atOld || atNew) << "round " << round << ": the file is gone";
    ASSERT_TRUE(!atOld || isWhole(from)) << "round " << round << ": the old file is cut";
    ASSERT_TRUE(!atNew || isWhole(to)) << "round " << round << ": the new file is cut";
    (atNew ? moved : old)++;
    if (atNew) {
      ASSERT_TRUE(atOld ? DeleteFile(to) : MoveFile(to, from));
    }
  }
  std::cout << "run " << runMs << " ms; kills: " << old << " before the move, " << moved - 1
            << " after\n";
}

}  // namespace
}  // namespace tagmora
