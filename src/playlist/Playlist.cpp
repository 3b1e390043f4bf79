#include "playlist/Playlist.h"

#include <algorithm>
#include <clocale>
#include <cstring>
#include <cwctype>
#include <numeric>

#include "platform/TextCodec.h"

namespace tagmora {

namespace {

bool InRange(int position, size_t count) {
  return position >= 0 && static_cast<size_t>(position) < count;
}

// True when the locale orders texts byte by byte, so no collation key is
// needed: "C", "POSIX", and C.UTF-8, whose code point order is the byte
// order of UTF-8.
bool BytewiseCollation() {
  const char* name = std::setlocale(LC_COLLATE, nullptr);
  if (!name) return true;
  for (const char* bytewise : {"C", "POSIX", "C.UTF-8", "C.utf8"})
    if (std::strcmp(name, bytewise) == 0) return true;
  return false;
}

std::string SortKey(const std::string& text, bool bytewise) {
  // Letter case folded by the system's mapping, then the locale's
  // collation key, so that comparing keys bytewise compares as strcoll.
  std::string folded;
  folded.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[pos]);
    if (c < 0x80) {
      folded.push_back(AsciiLower(static_cast<char>(c)));
      ++pos;
      continue;
    }
    char32_t cp = NextCodePoint(text, pos);
    AppendUtf8(folded, static_cast<char32_t>(std::towlower(static_cast<wint_t>(cp))));
  }
  if (bytewise) return folded;
  // strxfrm stops at a NUL; paths hold none.
  std::string key(folded.size() * 4 + 1, '\0');
  size_t n = std::strxfrm(key.data(), folded.c_str(), key.size());
  if (n >= key.size()) {
    key.assign(n + 1, '\0');
    n = std::strxfrm(key.data(), folded.c_str(), key.size());
  }
  key.resize(n);
  return key;
}

}  // namespace

std::string PlaylistSortKey(const std::string& text) {
  return SortKey(text, BytewiseCollation());
}

int Playlist::Count() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(items_.size());
}

std::string Playlist::Item(int position) const {
  std::string text;
  TryItem(position, text);
  return text;
}

bool Playlist::TryItem(int position, std::string& text) const {
  std::lock_guard lock(mutex_);
  if (!InRange(position, items_.size())) return false;
  text = items_[position];
  return true;
}

std::vector<std::string> Playlist::Items() const {
  std::lock_guard lock(mutex_);
  return items_;
}

void Playlist::SetItem(int position, std::string text) {
  {
    std::lock_guard lock(mutex_);
    if (!InRange(position, items_.size())) return;
    items_[position] = std::move(text);
    selected_[position] = 0;
  }
  Notify({PlaylistChange::Kind::Changed, position, 1});
}

void Playlist::Append(std::string text) {
  std::vector<std::string> texts;
  texts.push_back(std::move(text));
  AppendAll(std::move(texts));
}

void Playlist::AppendAll(std::vector<std::string> texts) {
  if (texts.empty()) return;
  int first, count = static_cast<int>(texts.size());
  {
    std::lock_guard lock(mutex_);
    first = static_cast<int>(items_.size());
    items_.insert(items_.end(), std::make_move_iterator(texts.begin()),
                  std::make_move_iterator(texts.end()));
    selected_.resize(items_.size(), 0);
  }
  Notify({PlaylistChange::Kind::Inserted, first, count});
}

void Playlist::Delete(int position) {
  {
    std::lock_guard lock(mutex_);
    if (!InRange(position, items_.size())) return;
    items_.erase(items_.begin() + position);
    selected_.erase(selected_.begin() + position);
    if (focus_ > position || focus_ >= static_cast<int>(items_.size())) --focus_;
  }
  Notify({PlaylistChange::Kind::Reset});
}

void Playlist::Clear() {
  {
    std::lock_guard lock(mutex_);
    items_.clear();
    selected_.clear();
    focus_ = -1;
  }
  Notify({PlaylistChange::Kind::Reset});
}

bool Playlist::IsSelected(int position) const {
  std::lock_guard lock(mutex_);
  return InRange(position, items_.size()) && selected_[position];
}

void Playlist::SetSelected(int position, bool selected) {
  {
    std::lock_guard lock(mutex_);
    if (!InRange(position, items_.size()) || bool(selected_[position]) == selected) return;
    selected_[position] = selected;
  }
  Notify({PlaylistChange::Kind::Changed, position, 1});
}

void Playlist::SetSelectedRange(int first, int last, bool selected) {
  {
    std::lock_guard lock(mutex_);
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(items_.size()) - 1);
    if (first > last) return;
    std::fill(selected_.begin() + first, selected_.begin() + last + 1, selected);
  }
  Notify({PlaylistChange::Kind::Changed, first, last - first + 1});
}

int Playlist::SelectedCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(std::count(selected_.begin(), selected_.end(), 1));
}

std::vector<std::pair<int, int>> Playlist::SelectedRanges() const {
  std::lock_guard lock(mutex_);
  std::vector<std::pair<int, int>> ranges;
  const int count = static_cast<int>(selected_.size());
  for (int i = 0; i < count; ++i) {
    if (!selected_[i]) continue;
    int first = i;
    while (i + 1 < count && selected_[i + 1]) ++i;
    ranges.emplace_back(first, i);
  }
  return ranges;
}

int Playlist::Focus() const {
  std::lock_guard lock(mutex_);
  return focus_;
}

void Playlist::SetFocus(int position) {
  {
    std::lock_guard lock(mutex_);
    if (position != -1 && !InRange(position, items_.size())) return;
    if (focus_ == position) return;
    focus_ = position;
  }
  Notify({PlaylistChange::Kind::Focus, position, 1});
}

void Playlist::RemoveSelected() {
  {
    std::lock_guard lock(mutex_);
    if (items_.empty()) return;
    // One pass keeps the removal linear on a long list.
    size_t kept = 0;
    int newFocus = -1;
    for (size_t i = 0; i < items_.size(); ++i) {
      if (static_cast<int>(i) == focus_) newFocus = static_cast<int>(kept);
      if (selected_[i]) continue;
      if (kept != i) items_[kept] = std::move(items_[i]);
      ++kept;
    }
    if (kept == items_.size()) return;
    items_.resize(kept);
    selected_.assign(kept, 0);
    focus_ = std::min(newFocus, static_cast<int>(kept) - 1);
  }
  Notify({PlaylistChange::Kind::Reset});
}

void Playlist::SelectAll() {
  ChangeEveryFlag([](char) { return char(1); });
}

void Playlist::SelectNone() {
  ChangeEveryFlag([](char) { return char(0); });
}

void Playlist::InvertSelection() {
  ChangeEveryFlag([](char flag) { return char(!flag); });
}

void Playlist::ChangeEveryFlag(char (*change)(char)) {
  int count;
  {
    std::lock_guard lock(mutex_);
    for (char& flag : selected_) flag = change(flag);
    count = static_cast<int>(items_.size());
  }
  if (count) Notify({PlaylistChange::Kind::Changed, 0, count});
}

void Playlist::Sort() {
  {
    // Under the lock throughout, so a worker's change to an item in the
    // meantime is neither lost nor read half-sorted.
    std::lock_guard lock(mutex_);
    const bool bytewise = BytewiseCollation();
    std::vector<std::string> keys(items_.size());
    for (size_t i = 0; i < items_.size(); ++i) keys[i] = SortKey(items_[i], bytewise);
    std::vector<size_t> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    std::vector<std::string> sorted;
    sorted.reserve(items_.size());
    for (size_t i : order) sorted.push_back(std::move(items_[i]));
    items_ = std::move(sorted);
    std::fill(selected_.begin(), selected_.end(), 0);
    if (InRange(focus_, items_.size())) selected_[focus_] = 1;
  }
  Notify({PlaylistChange::Kind::Reset});
}

int Playlist::Watch(Watcher watcher) {
  int id = nextWatcher_++;
  watchers_.emplace(id, std::move(watcher));
  return id;
}

void Playlist::Unwatch(int id) { watchers_.erase(id); }

void Playlist::Notify(PlaylistChange change) {
  auto tell = [this, change] {
    auto watchers = watchers_;
    for (auto& [id, watcher] : watchers) watcher(change);
  };
  if (poster_.OnUserInterfaceThread())
    tell();
  else
    poster_.Post(guard_.Wrap(tell));
}

}  // namespace tagmora
