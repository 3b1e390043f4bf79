#pragma once
// The tag editor page over a real main window model, a recording user and
// a recording player, on files in a temporary folder.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Fakes.h"
#include "app/MainWindowModel.h"
#include "editing/TagAccess.h"
#include "editing/TagEditorModel.h"
#include "playlist/Playlist.h"
#include "support/ReadBack.h"
#include "support/TestSupport.h"

namespace tagmora::test {

// Records what the commands ask of the player; plays trackFile while open.
class RecordingPlayer : public PlayerCommands {
 public:
  void Play() override { calls += "play "; }
  void Pause() override {}
  void Stop() override {
    calls += "stop ";
    open = false;
  }
  void Next() override {}
  void Previous() override {}
  bool TrackOpen() const override { return open; }
  std::string TrackFile() const override { return trackFile; }
  int64_t PositionMs() const override { return 61000; }
  void Seek(int64_t ms) override { calls += "seek " + std::to_string(ms) + " "; }

  bool open = false;
  std::string trackFile;
  std::string calls;
};

class EditorTest : public ::testing::Test {
 protected:
  EditorTest() : window(user, poster, dir.Path(), dir.Path()), editor(window) {
    window.SetPlayer(&player);
  }

  // Appends the files and shows the one at focus, as a click would.
  void Show(const std::vector<std::string>& files, int focus = 0) {
    for (const std::string& file : files) window.PlayList().Append(file);
    window.PlayList().SetFocus(focus);
    window.PlaylistClick();
  }
  Control& C(const std::string& name) { return window.Controls()[name]; }
  std::string Text(const std::string& name) { return C(name).Text(); }

  std::vector<std::string> ErrorMessages() {
    std::vector<std::string> messages;
    for (const ErrorEntry& entry : window.Errors().Entries())
      messages.push_back(entry.message + (entry.path.empty() ? "" : " | " + entry.path));
    return messages;
  }


  TempDir dir;
  FakeUser user;
  FakePoster poster;
  RecordingPlayer player;
  MainWindowModel window;
  TagEditorModel editor;
};

}  // namespace tagmora::test
