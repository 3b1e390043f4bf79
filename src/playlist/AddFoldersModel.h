#pragma once
// The add-folders dialog ("Open Folder(s)"): the chosen folder, "Recurse
// subfolders", the count with "Stop counting ...", and "OK", which adds
// every MP3 file of the folder (and its subfolders) to the playlist. Walks
// run on a worker thread, so the dialog stays responsive and stoppable;
// their results come back through the poster.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "app/Control.h"
#include "app/Poster.h"

namespace tagmora {

class ErrorList;
class Playlist;

inline constexpr const char* kCountIdleCaption = "? Files ...";
inline constexpr const char* kCountRunningCaption = "Stop counting ...";

class AddFoldersModel {
 public:
  // Controls: "ShellTreeView1" (the folder tree: enabled; its text is the
  // selected folder), "CheckBoxRecurse", "ButtonCountFiles", "ButtonOK",
  // "ButtonCancel".
  AddFoldersModel(Playlist& playlist, ErrorList& errors, Poster& poster);
  ~AddFoldersModel();
  AddFoldersModel(const AddFoldersModel&) = delete;
  AddFoldersModel& operator=(const AddFoldersModel&) = delete;

  static constexpr const char* kCaption = "Open Folder(s)";

  ControlSet& Controls() { return controls_; }

  // The folder selected at the last "OK", selected again on every show.
  const std::string& RememberedFolder() const { return remembered_; }
  void SetRememberedFolder(std::string folder) { remembered_ = std::move(folder); }

  // The dialog is about to be shown: resets the buttons and the caption
  // and selects the remembered folder.
  void Show();
  // The user selected another folder in the tree.
  void ChooseFolder(const std::string& folder);
  std::string SelectedFolder() { return controls_["ShellTreeView1"].Text(); }

  // The dialog was closed other than by "OK" or "Cancel".
  void Closed();
  // True while a walk moves through the tree.
  bool Busy() const { return busy_; }
  // Waits until the running walk (if any) has ended.
  void WaitForWorker();

  // The view closes the dialog when the model asks.
  void SetCloseHandler(std::function<void()> close) { close_ = std::move(close); }

 private:
  void CountClick();
  void OkClick();
  void CancelClick();
  void Stop();
  void StartWorker(std::function<void()> work);

  Playlist& playlist_;
  ErrorList& errors_;
  Poster& poster_;
  ControlSet controls_;
  std::string remembered_;
  std::function<void()> close_;

  std::thread worker_;
  std::atomic<bool> cancel_{false};
  bool busy_ = false;
  uint64_t walk_ = 0;  // which walk a posted result belongs to
  PostGuard guard_;
};

}  // namespace tagmora
