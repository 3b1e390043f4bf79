#pragma once
// The error list of the "Errors" page: every failure the program reports,
// numbered and time-stamped, with the beep, the tab flash and the optional
// message box, and the plain-text report the user can save.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/Control.h"
#include "app/Poster.h"
#include "app/UserInteraction.h"

namespace tagmora {

struct ErrorEntry {
  std::string number;  // "1" for the first entry
  std::string time;    // long time format of the user's locale
  std::string message;
  std::string path;    // empty when no file is concerned
};

struct ErrorColumn {
  const char* header;
  int width;  // pixels, as set at start-up
};
inline constexpr ErrorColumn kErrorColumns[4] = {
    {"No.", 40}, {"Time", 70}, {"Error", 160}, {"Path", 500}};

// Pictures of the "Errors" tab.
inline constexpr int kErrorsPicture = 5;
inline constexpr int kErrorsPictureHighlighted = 6;

class ErrorList {
 public:
  // controls must hold the menu items "FlashErrorsTabonerror1" and
  // "Beeponerror1" (the alert options) and the page "TabSheetErrors".
  ErrorList(UserInteraction& user, Poster& poster, ControlSet& controls);
  ~ErrorList();
  ErrorList(const ErrorList&) = delete;
  ErrorList& operator=(const ErrorList&) = delete;

  // Appends an entry. Callable from any thread; the alerts (beep, flash,
  // box) happen on the user-interface thread. Worker threads pass false.
  void AddError(const std::string& message, const std::string& path, bool showBox);

  size_t Count() const;
  ErrorEntry Entry(size_t index) const;  // empty entry past the end
  std::vector<ErrorEntry> Entries() const;
  // How often the list was cleared: a view that sees this change shows
  // the list anew instead of appending rows.
  uint64_t Clears() const;

  // The grid: the header row, one row per entry, and one empty row.
  int RowCount() const { return static_cast<int>(Count()) + 2; }
  std::string Cell(int row, int column) const;

  // Commands of the "Errors" menu, the page's buttons and its pop-up menu.
  void ClearCommand();
  // The report dialog opens in folder.
  void SaveCommand(const std::string& folder);

  // Empties the list without asking.
  void Clear();

  // The report's bytes for these entries.
  static std::string ReportText(const std::vector<ErrorEntry>& entries);
  // "Errors_" + the short date + ".txt", with path delimiters replaced.
  static std::string ProposedReportName(const std::string& shortDate);

  // -1 while no flash runs, 0 while the "Errors" tab flashes.
  int FlashErrorState() const { return flashState_.load(); }
  void SetFlashErrorState(int state) { flashState_.store(state); }
  // For tests: the source of the time text.
  void SetClock(std::function<std::string()> clock) { clock_ = std::move(clock); }

  // Watchers hear of every change on the user-interface thread.
  int Watch(std::function<void()> watcher);
  void Unwatch(int id);

 private:
  void Alert(const std::string& message, const std::string& path, bool showBox, bool beep);
  void FlashStep(int step);
  void NotifyWatchers();

  UserInteraction& user_;
  Poster& poster_;
  Control& flashOption_;
  Control& beepOption_;
  Control& errorsTab_;
  std::function<std::string()> clock_;

  mutable std::mutex mutex_;
  std::vector<ErrorEntry> entries_;
  uint64_t clears_ = 0;

  std::atomic<int> flashState_{-1};
  std::atomic<bool> beepWaiting_{false};
  std::map<int, std::function<void()>> watchers_;
  int nextWatcher_ = 1;
  PostGuard guard_;
};

}  // namespace tagmora
