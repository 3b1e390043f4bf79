#pragma once
// The playlist: ordered texts (normally full file paths), one selection flag
// per item and a focus position. Commands run on the user-interface thread;
// batch workers read items, replace texts and set flags from their own
// threads, so every operation takes the list's lock and a read past the
// end answers "nothing" instead of failing.

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "app/Poster.h"

namespace tagmora {

struct PlaylistChange {
  enum class Kind {
    Reset,     // everything may have changed (sort, clear, removal)
    Inserted,  // count items appended at first
    Changed,   // texts or selection flags of first .. first + count - 1
    Focus,     // the focus moved
  };
  Kind kind;
  int first = 0;
  int count = 0;
};

class Playlist {
 public:
  explicit Playlist(Poster& poster) : poster_(poster) {}
  Playlist(const Playlist&) = delete;
  Playlist& operator=(const Playlist&) = delete;

  int Count() const;
  // The item's text; empty past the end.
  std::string Item(int position) const;
  // False past the end (the item may have been removed meanwhile).
  bool TryItem(int position, std::string& text) const;
  std::vector<std::string> Items() const;
  // Calls visit for each item in order, under the list's lock: for long
  // lists where a copy of every text would cost more than the work.
  template <typename Visit>
  void ForEachItem(Visit visit) const {
    std::lock_guard lock(mutex_);
    for (const std::string& item : items_) visit(item);
  }

  // Replaces a text: position and focus stay, the item's flag is cleared.
  void SetItem(int position, std::string text);
  void Append(std::string text);
  // Many at once: one notification for the whole run.
  void AppendAll(std::vector<std::string> texts);
  void Delete(int position);
  void Clear();

  bool IsSelected(int position) const;
  void SetSelected(int position, bool selected);
  int SelectedCount() const;
  // Runs of selected positions as (first, last), in order.
  std::vector<std::pair<int, int>> SelectedRanges() const;
  // Sets the flags of first .. last (the view's range selection).
  void SetSelectedRange(int first, int last, bool selected);

  // -1 when no item has the focus.
  int Focus() const;
  void SetFocus(int position);

  // The user's commands.
  void RemoveSelected();
  void SelectAll();
  void SelectNone();
  void InvertSelection();
  // Ascending by the whole text in the user's locale, letter case ignored;
  // afterwards only the item at the old focus position is selected.
  void Sort();

  // Watchers hear of every change, on the user-interface thread, in order.
  using Watcher = std::function<void(const PlaylistChange&)>;
  int Watch(Watcher watcher);
  void Unwatch(int id);

 private:
  void Notify(PlaylistChange change);
  // Applies change to every selection flag and tells the watchers once.
  void ChangeEveryFlag(char (*change)(char));

  Poster& poster_;
  mutable std::mutex mutex_;
  std::vector<std::string> items_;
  std::vector<char> selected_;
  int focus_ = -1;
  std::map<int, Watcher> watchers_;
  int nextWatcher_ = 1;
  PostGuard guard_;
};

// The sort order of the playlist: the user's locale, letter case ignored.
// Exposed for the tests and the benchmark.
std::string PlaylistSortKey(const std::string& text);

}  // namespace tagmora
