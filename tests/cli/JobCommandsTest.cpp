// The batch job commands of tagmora-cli, run as a script would run them.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

#include "editing/TagAccess.h"
#include "support/ReadBack.h"
#include "support/TestSupport.h"

extern char** environ;

namespace tagmora {
namespace {

using test::ReadFile;
using test::TempDir;
using Json = nlohmann::json;

struct CliRun {
  int exitCode;
  std::vector<Json> lines;  // standard output, one object a line
  std::string err;
};

// Starts tagmora-cli with args, standard output and error to files.
pid_t Spawn(const std::vector<std::string>& args, const std::string& out, const std::string& err) {
  std::vector<std::string> argv{test::CliPath()};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& arg : argv) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = -1;
  EXPECT_EQ(posix_spawn(&pid, pointers[0], &actions, nullptr, pointers.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

CliRun Finish(pid_t pid, const TempDir& scratch) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  CliRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, {}, ReadFile(scratch / "err")};
  std::istringstream out(ReadFile(scratch / "out"));
  // Runs without --json print the summary as text.
  for (std::string line; std::getline(out, line);)
    if (line.rfind('{', 0) == 0) run.lines.push_back(Json::parse(line));
  return run;
}

CliRun Cli(const std::vector<std::string>& args) {
  TempDir scratch;
  return Finish(Spawn(args, scratch / "out", scratch / "err"), scratch);
}

IDv1Tag V1Of(const std::string& path) {
  IDv1Tag v1;
  IDv2Tag v2;
  ReadTags(path, v1, v2);
  return v1;
}

TEST(JobCommands, UpdateAndRemoveTagsOverAPlaylist) {
  TempDir dir;
  test::MakeMp3(dir / "a.mp3", 0.2);
  test::MakeMp3(dir / "b.mp3", 0.2);
  test::WriteFile(dir / "list.M3U", "#EXTM3U\r\n" + dir / "a.mp3" + "\r\n" + dir / "gone.mp3\r\n");
  CliRun update = Cli({"update", "--title=%title%New", "--track=300", "--json",
                    "--save-playlist=" + dir / "out.m3u", dir / "list.M3U", dir / "b.mp3"});
  EXPECT_EQ(update.exitCode, 1) << update.err;
  ASSERT_EQ(update.lines.size(), 6u);
  const std::string track = "Track field: '300' is not a valid track number (0 to 255)";
  EXPECT_EQ(update.lines[0], (Json{{"error", track}, {"path", ""}}));
  EXPECT_EQ(update.lines[1], Json::parse(R"({"change": "tag", "path": ")" + dir / "a.mp3" +
                                         R"(", "tag": "ID3v1", "created": true,
                                            "fields": {"title": ["", "New"]}})"));
  EXPECT_EQ(update.lines[2], (Json{{"error", "File does NOT exist"}, {"path", dir / "gone.mp3"}}));
  const Json& last = update.lines[5];
  EXPECT_EQ(last["summary"],
            "    Updated 3 files with 3 errors displayed on the Errors tab!\n\r\n\r"
            "               Selected files from playlist have errors!");
  EXPECT_EQ(last["cancelled"], false);
  EXPECT_EQ(last["processed"], 3);
  EXPECT_EQ(last["selected"], Json::array({1}));
  EXPECT_EQ(last["changed"], 2);
  EXPECT_EQ(last["playlist"], Json::array({dir / "a.mp3", dir / "gone.mp3", dir / "b.mp3"}));
  EXPECT_EQ(V1Of(dir / "b.mp3").Title, "New");
  EXPECT_NE(ReadFile(dir / "out.m3u").find(dir / "gone.mp3"), std::string::npos);

  // Without --json: errors as PATH: TEXT, the summary on standard output.
  CliRun removal = Cli({"remove-tags", "--v1", dir / "a.mp3", dir / "gone.mp3"});
  EXPECT_EQ(removal.exitCode, 1);
  EXPECT_EQ(removal.err, dir / "gone.mp3" + ": File does NOT exist!\n");
  EXPECT_TRUE(removal.lines.empty());
  EXPECT_FALSE(V1Of(dir / "a.mp3").Exists);
  EXPECT_EQ(Cli({"remove-tags", dir / "a.mp3"}).exitCode, 0);
}

TEST(JobCommands, RefusalsTouchNothing) {
  TempDir dir;
  test::MakeMp3(dir / "a.mp3", 0.2);
  const std::string before = ReadFile(dir / "a.mp3");
  test::WriteFile(dir / "empty.m3u", "#EXTM3U\n");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"update", "--title=x", dir / "empty.m3u"}, "No files in the playlist! Add some!"},
      {{"update", "--title=x", dir / "a.mp3", dir / "none.m3u"}, "Load List Error: "},
      {{"update", "--no-v1", "--title=x", dir / "a.mp3"}, "no tag to update"},
      {{"update", "--comment=" + std::string(31, 'c'), dir / "a.mp3"}, "at most 30 characters"},
      {{"remove-tags", "--v3", dir / "a.mp3"}, "--v3"},
      {{"remove-tags"}, "no ITEM"},
  };
  for (const auto& [args, message] : cases) {
    SCOPED_TRACE(message);
    CliRun run = Cli(args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadFile(dir / "a.mp3"), before);
}

// A dry run prints what the run prints and touches nothing; the undo then
// puts every file back as it was, permissions and times included.
TEST(JobCommands, DryRunsPrintTheRunAndUndoTakesItBack) {
  TempDir dir;
  std::vector<std::string> items{dir / "gone.mp3"};
  for (const char* name : {"tagged.mp3", "bare.mp3", "ro.mp3"}) {
    items.push_back(dir / name);
    test::MakeMp3(items.back(), 0.2);
  }
  for (const std::string& path : {items[1], items[3]}) {
    EXPECT_EQ(Cli({"set", "artist=A", "title=T", "--", path}).exitCode, 0);
    EXPECT_EQ(Cli({"set", "--v1", "album=B", "--", path}).exitCode, 0);
  }
  ::chmod(items[3].c_str(), 0444);
  const std::vector<std::string> commands[] = {
      {"update", "--v2", "--title=%artist% song", "--track=7", "--genre=Polka"},
      {"remove-tags"},
  };
  for (std::vector<std::string> args : commands) {
    SCOPED_TRACE(args[0]);
    args.push_back("--json");
    args.insert(args.end(), items.begin(), items.end());
    const auto before = test::Snapshot(dir.Path());
    std::vector<std::string> dryArgs = args;
    dryArgs.push_back("--dry-run");
    CliRun dry = Cli(dryArgs);
    EXPECT_EQ(test::Snapshot(dir.Path()), before);
    CliRun run = Cli(args);
    EXPECT_EQ(dry.lines, run.lines);
    EXPECT_EQ(dry.exitCode, run.exitCode);
    EXPECT_NE(test::Snapshot(dir.Path()), before);
    EXPECT_EQ(Cli({"undo"}).exitCode, 0);
    EXPECT_EQ(test::Snapshot(dir.Path()), before);
    CliRun list = Cli({"undo", "--list", "--json"});
    ASSERT_FALSE(list.lines.empty());
    EXPECT_EQ(list.lines[0]["undone"], true);
    EXPECT_EQ(list.lines[0]["state"], "finished");
  }
}

// SIGINT finishes the file in hand and stops; a SIGKILL stops anywhere.
// Either way the undo takes back every file the journal recorded, and the
// others were never touched.
TEST(JobCommands, StoppedRunsAreUndoneWhole) {
  for (int signal : {SIGINT, SIGKILL}) {
    SCOPED_TRACE(signal);
    TempDir dir, scratch;
    std::vector<std::string> args{"update", "--v2", "--no-v1", "--title=Changed", "--json"};
    for (int i = 0; i < 300; ++i) {
      std::string path = dir / ("f" + std::to_string(i) + ".mp3");
      test::MakeMp3(path, 0.5);
      args.push_back(path);
    }
    const std::string original = ReadFile(dir / "f0.mp3");
    pid_t pid = Spawn(args, scratch / "out", scratch / "err");
    // Once the first file has its new tag the run is under way.
    while (ReadFile(dir / "f0.mp3") == original)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ::kill(pid, signal);
    CliRun run = Finish(pid, scratch);
    if (signal == SIGINT) {
      ASSERT_EQ(run.exitCode, 130) << run.err;
      const Json& last = run.lines.back();
      EXPECT_EQ(last["cancelled"], true);
      EXPECT_TRUE(last["summary"].is_null());
      const int processed = last["processed"];
      EXPECT_LT(processed, 300);
      for (int i = 0; i < 300; ++i) {
        const std::string path = dir / ("f" + std::to_string(i) + ".mp3");
        if (i < processed)
          EXPECT_EQ(test::V2Of(path).Title, "Changed") << path;
        else
          EXPECT_EQ(ReadFile(path), original) << path;
      }
    }
    CliRun list = Cli({"undo", "--list", "--json"});
    ASSERT_FALSE(list.lines.empty());
    EXPECT_EQ(list.lines[0]["state"], signal == SIGINT ? "cancelled" : "interrupted");
    CliRun undo = Cli({"undo"});
    EXPECT_EQ(undo.exitCode, 0) << undo.err;
    for (int i = 0; i < 300; ++i)
      EXPECT_EQ(ReadFile(dir / ("f" + std::to_string(i) + ".mp3")), original) << i;
  }
}

}  // namespace
}  // namespace tagmora
