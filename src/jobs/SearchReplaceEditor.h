#pragma once
// "TFormSearchAndReplace", the rule editor: the rule's check mark, its
// search and replacement texts and the twelve field boxes that make its
// search-in text. Saving checks the texts and asks before a rule that
// deletes what it finds; the rule list decides where a saved rule goes.

#include <functional>
#include <string>

#include "app/Control.h"
#include "app/SearchReplaceRule.h"
#include "app/UserInteraction.h"

namespace tagmora {

class SearchReplaceEditor {
 public:
  static constexpr const char* kCaption = "Search And Replace Item";
  // The save button's captions: a new rule or a changed one.
  static constexpr const char* kNewCaption = "New";
  static constexpr const char* kSaveCaption = "Save";

  SearchReplaceEditor(Poster& poster, UserInteraction& user);
  ~SearchReplaceEditor();
  SearchReplaceEditor(const SearchReplaceEditor&) = delete;
  SearchReplaceEditor& operator=(const SearchReplaceEditor&) = delete;

  ControlSet& Controls() { return controls_; }

  // Every box unchecked and emptied; the save button gets its caption.
  // Opening for a new rule checks "Enabled"; opening for a rule fills the
  // boxes from it.
  void OpenNew();
  void OpenFor(const SearchReplaceRule& rule);
  bool Adding();

  // "New"/"Save": the rule goes to the handler and the dialog closes,
  // unless a check or a question keeps it open.
  void Save();
  void SetSavedHandler(std::function<void(const SearchReplaceRule&, bool adding)> saved) {
    saved_ = std::move(saved);
  }
  void SetCloseHandler(std::function<void()> close) { close_ = std::move(close); }

 private:
  Control& C(const std::string& name) { return controls_[name]; }
  void Reset(const char* saveCaption);
  void RebuildSearchIn();
  void Close();

  ControlSet controls_;
  UserInteraction& user_;
  std::function<void(const SearchReplaceRule&, bool)> saved_;
  std::function<void()> close_;
};

}  // namespace tagmora
