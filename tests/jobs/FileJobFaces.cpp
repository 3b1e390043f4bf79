#include "jobs/FileJobFaces.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "app/Fakes.h"
#include "app/MainWindowModel.h"
#include "editing/TagAccess.h"
#include "jobs/FilePageModel.h"
#include "jobs/UndoModel.h"
#include "playlist/Playlist.h"
#include "support/JsonReader.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace tagmora::test {

namespace {

// What a face left behind.
struct Outcome {
  std::vector<std::string> tree, errors, playlist;
  std::vector<int> selected;
  std::vector<int> counters;
  std::string summary;  // the "Finish" text; empty when none
  std::string refusal;
  int exitCode = 0;  // tagmora-cli's
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

std::vector<std::string> Fields(const std::string& text) {
  std::vector<std::string> fields(4);
  std::istringstream in(text);
  for (std::string& field : fields) std::getline(in, field, '|');
  return fields;
}

// The case's files in a folder of their own; texts with "$" for it.
struct CaseFolder {
  explicit CaseFolder(const std::vector<FileSpec>& files) {
    MakeFiles(dir.Path(), files);
    made = Snapshot(dir.Path());
  }
  std::string Global(const std::string& text) const { return Replace(text, "$", dir.Path()); }
  std::string Local(const std::string& text) const { return Replace(text, dir.Path(), "$"); }
  TempDir dir;
  std::vector<std::string> made;  // the files as the case made them
};

// Yes to every question but "Create folder?", which follows --create-folder.
class AnsweringUser : public FakeUser {
 public:
  bool createFolder = false;
  MessageAnswer Show(const MessageBox& box) override {
    boxes.push_back(box);
    if (box.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    return box.caption == "Create folder?" && !createFolder ? MessageAnswer::No
                                                              : MessageAnswer::Yes;
  }
};

// The folder's files, each named after the file it was made as, which
// its tags carry.
std::vector<std::string> Tree(const std::string& folder) {
  std::vector<std::string> tree;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    std::string path = fs::relative(entry.path(), folder).string();
    if (entry.is_directory()) {
      tree.push_back(path + "/");
      continue;
    }
    IDv1Tag v1;
    IDv2Tag v2;
    ReadTags(entry.path(), v1, v2);
    tree.push_back(path + "<-" + (v2.Exists ? v2.Comment : v1.Comment));
  }
  std::sort(tree.begin(), tree.end());
  return tree;
}

}  // namespace

void MakeFiles(const std::string& folder, const std::vector<FileSpec>& files) {
  for (const FileSpec& file : files) {
    const std::string path = folder + "/" + file.path;
    if (file.path.ends_with('/')) {
      fs::create_directories(path);
      continue;
    }
    fs::create_directories(fs::path(path).parent_path());
    MakeMp3(path, 0.1);
    if (file.v1 != "-") {
      auto f = Fields(file.v1);
      IDv1Tag v1{true, 2, f[1], f[0], f[2], "", file.path, 0,
                 uint8_t(f[3].empty() ? 255 : std::stoi(f[3])), ""};
      ASSERT_EQ(WriteID3v1Tag(path, v1), kStatusOK);
    }
    if (file.v2 != "-") {
      auto f = Fields(file.v2);
      IDv2Tag v2{true, 0, 0, f[1], f[0], f[2], 0, "", f[3], file.path, "", "", "", "", ""};
      ASSERT_EQ(WriteID3v2Tag(path, v2), kStatusOK);
    }
  }
}

namespace {

// What the window shows after a run.
Outcome Collect(const CaseFolder& folder, MainWindowModel& window, const FakeUser& user,
                bool started) {
  Outcome outcome;
  outcome.tree = Tree(folder.dir.Path());
  for (const ErrorEntry& entry : window.Errors().Entries()) {
    // A refused start records its one error, as "path: message".
    if (!started)
      outcome.refusal =
          folder.Local(entry.path.empty() ? entry.message : entry.path + ": " + entry.message);
    else
      outcome.errors.push_back(folder.Local(entry.message + "|" + entry.path));
  }
  for (int i = 0; i < window.PlayList().Count(); ++i) {
    outcome.playlist.push_back(folder.Local(window.PlayList().Item(i)));
    if (window.PlayList().IsSelected(i)) outcome.selected.push_back(i);
  }
  for (const MessageBox& box : user.boxes)
    if (box.caption == "Finish") outcome.summary = box.text;
  return outcome;
}

Outcome RunWindow(const PageFace& face, const JobCase& job) {
  CaseFolder folder(job.files);
  TempDir settings;
  AnsweringUser user;
  user.createFolder = std::ranges::count(job.args, std::string("--create-folder")) > 0;
  FakePoster poster;
  MainWindowModel window(user, poster, settings.Path(), settings.Path());
  poster.Advance(1);
  std::shared_ptr<FilePageModel> page = face.makePage(window);
  ControlSet& controls = window.Controls();
  for (const std::string& item : job.items) window.PlayList().Append(folder.Global(item));
  for (const std::string& arg : job.args) {
    const size_t equals = arg.find('=');
    face.apply(controls, arg.substr(0, equals),
               equals == std::string::npos ? "" : folder.Global(arg.substr(equals + 1)));
  }
  controls[face.startButton].Click();
  const bool started = page->Panel().Running() || controls[face.stopButton].Caption() == "Finish";
  int waitedMs = 0;
  while (started && (page->Panel().Running() || controls[face.stopButton].Caption() != "Finish") &&
         waitedMs++ < 60000) {
    poster.RunPosted();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_LT(waitedMs, 60000) << "the run did not end";
  page->Panel().StopAndWait();
  poster.RunPosted();
  Outcome outcome = Collect(folder, window, user, started);

  // "Undo Last Batch Job...": every file back as it was made.
  UndoModel undo(window);
  controls[kUndoMenuItem].Click();
  undo.Yes();
  for (waitedMs = 0; undo.Panel().Running() && waitedMs++ < 60000;) {
    poster.RunPosted();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  undo.Panel().StopAndWait();
  poster.RunPosted();
  EXPECT_EQ(Snapshot(folder.dir.Path()), folder.made) << "the window's undo";
  return outcome;
}

Outcome RunCli(const PageFace& face, const JobCase& job) {
  CaseFolder folder(job.files);
  TempDir output;
  // A state and a trash of the case's own: its undo finds its own job.
  const std::string cli = "XDG_STATE_HOME=" + ShellQuote(output / "state") +
                          " XDG_DATA_HOME=" + ShellQuote(output / "data") + " " +
                          ShellQuote(CliPath());
  std::string command = cli + " " + face.command + " --json";
  for (const std::string& arg : job.args) command += " " + ShellQuote(folder.Global(arg));
  for (const std::string& item : job.items) command += " " + ShellQuote(folder.Global(item));
  command += " 2>" + ShellQuote(output / "stderr");
  // A dry run prints what the run prints, and touches nothing.
  CommandResult dry = RunCommand(command + " --dry-run");
  EXPECT_EQ(Snapshot(folder.dir.Path()), folder.made) << "the dry run";
  CommandResult result = RunCommand(command);
  EXPECT_EQ(dry.output, result.output);
  EXPECT_EQ(dry.exitCode, result.exitCode);

  Outcome outcome;
  outcome.exitCode = result.exitCode;
  outcome.tree = Tree(folder.dir.Path());
  std::string stderrText = ReadFile(output / "stderr");
  if (result.exitCode == 2)
    outcome.refusal = folder.Local(stderrText.substr(0, stderrText.find('\n')));
  outcome.playlist = job.items;
  size_t start = 0;
  for (size_t end; (end = result.output.find('\n', start)) != std::string::npos; start = end + 1) {
    Json line = ParseJson(std::string_view(result.output).substr(start, end - start));
    if (!line["change"].IsNull()) continue;
    if (!line["error"].IsNull()) {
      outcome.errors.push_back(folder.Local(line["error"].string + "|" + line["path"].string));
      continue;
    }
    outcome.summary = line["summary"].string;
    outcome.playlist.clear();
    for (const Json& item : line["playlist"].array)
      outcome.playlist.push_back(folder.Local(item.string));
    for (const Json& index : line["selected"].array) outcome.selected.push_back(int(index.number));
    for (const std::string& name : face.counters)
      outcome.counters.push_back(int(line[name].number));
  }
  const bool changed = result.output.find("{\"change\"") != std::string::npos;
  EXPECT_EQ(RunCommand(cli + " undo 2>/dev/null").exitCode, changed ? 0 : 2);
  EXPECT_EQ(Snapshot(folder.dir.Path()), folder.made) << "tagmora-cli undo";
  return outcome;
}

}  // namespace

void CheckBothFaces(const PageFace& face, const JobCase& job) {
  SCOPED_TRACE(job.what);
  const int count = int(job.items.size()), errors = int(job.errors.size());
  const std::string summary = job.refusal.empty() ? face.summary(count, errors, job.counters) : "";
  const int exitCode = !job.refusal.empty() ? 2 : job.errors.empty() ? 0 : 1;
  for (bool cli : {false, true}) {
    SCOPED_TRACE(cli ? "tagmora-cli" : "window");
    Outcome got = cli ? RunCli(face, job) : RunWindow(face, job);
    EXPECT_EQ(got.tree, job.tree);
    EXPECT_EQ(got.errors, job.errors);
    EXPECT_EQ(got.playlist, job.playlist.empty() ? job.items : job.playlist);
    EXPECT_EQ(got.selected, job.selected);
    EXPECT_EQ(got.refusal, job.refusal);
    EXPECT_EQ(got.summary, summary);
    if (!cli) continue;
    EXPECT_EQ(got.counters, job.counters);
    EXPECT_EQ(got.exitCode, exitCode);
  }
}

}  // namespace tagmora::test
