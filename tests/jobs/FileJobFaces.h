#pragma once
// The rename and move jobs run through both their faces, the window's page
// and tagmora-cli, on fresh copies of one case's files: each face must end
// with the files, errors, playlist and summary the case expects.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/Control.h"

namespace tagmora {
class FilePageModel;
class MainWindowModel;
}  // namespace tagmora

namespace tagmora::test {

// A file below the case's folder ("sub/x.mp3"; "sub/" is a folder) with
// its tags as "artist|title|album|genre", the ID3v1 genre as its byte
// ("17"); "-" for no tag.
struct FileSpec {
  std::string path;
  std::string v1 = "-";
  std::string v2 = "-";
};

// "$" stands for the case's folder in every text.
struct JobCase {
  std::string what{};
  std::vector<FileSpec> files{};
  std::vector<std::string> items{};  // the playlist
  std::vector<std::string> args{};   // tagmora-cli's options; the page's controls follow them
  // Expected: the files as "path<-made as", folders as "path/", sorted.
  std::vector<std::string> tree{};
  std::vector<std::string> errors{};    // "message|path"
  std::vector<std::string> playlist{};  // empty: the items as they were
  std::vector<int> selected{};
  std::vector<int> counters{};  // by the face's counter names; empty for a refused start
  std::string refusal{};                                 // the start's refusal, "path: message"
};

// A page of the window: its start button, its model's constructor, and
// how one of tagmora-cli's options sets its controls.
struct PageFace {
  const char* command;  // tagmora-cli's command
  const char* startButton;
  const char* stopButton;
  std::vector<std::string> counters;  // the names of the job's counters
  std::function<std::shared_ptr<FilePageModel>(MainWindowModel&)> makePage;
  std::function<void(ControlSet&, const std::string& option, const std::string& value)> apply;
  // The summary text of a run.
  std::function<std::string(int count, int errors, const std::vector<int>& counters)> summary;
};

// Runs the case through both faces and compares each with the case.
void CheckBothFaces(const PageFace& face, const JobCase& job);

// Makes the case's files in folder, each with its own bytes.
void MakeFiles(const std::string& folder, const std::vector<FileSpec>& files);

}  // namespace tagmora::test
