#pragma once
// The "Multi Tagger" page: the twelve field boxes with their templates, the
// option panels, the default-settings and remove-tags menus, and the two
// jobs the page starts, each with its progress panel in place of the
// page's settings.

#include <memory>
#include <string>
#include <vector>

#include "jobs/JobPanel.h"
#include "jobs/PreviewModel.h"
#include "jobs/UnitThreadUpdate.h"

namespace tagmora {

class MainWindowModel;
class SearchReplaceList;

// The page's buttons with caption and hint.
struct PageButton {
  const char* name;
  const char* caption;
  const char* hint;
};
inline constexpr PageButton kMultiTaggerButtons[] = {
    {"ButtonUpdateAllTags", "Update All Tags", ""},
    {"ButtonPreviewUpdate", kPreviewCaption,
     "What the update would change, without changing anything"},
    {"ButtonDefaultSettings", "Default Settings ...", ""},
    {"ButtonRemoveTags", "Remove ID3 Tags ...  ",
     "Remove ID3 Tag for ALL the files from playlist. Click for menu..."},
    {"ButtonVariablesInfo", "Variables info", ""},
};

class MultiTaggerModel {
 public:
  // Adds the page's controls to the window's and binds their commands.
  explicit MultiTaggerModel(MainWindowModel& window);
  ~MultiTaggerModel();
  MultiTaggerModel(const MultiTaggerModel&) = delete;
  MultiTaggerModel& operator=(const MultiTaggerModel&) = delete;

  // The options of an update run as the page's controls stand.
  UpdateOptions CurrentUpdateOptions();

  // The page's commands.
  void UpdateAllTags();
  void PreviewUpdate();
  void RemoveTags(int command);  // an index into kRemoveTagsCommands
  void DefaultID3Fields();
  void DefaultAutoComplete();
  void DefaultStringFormat();
  void DefaultOptions();
  void DefaultAllSettings();

  JobPanel& UpdatePanel() { return *update_; }
  JobPanel& RemoveTagsPanel() { return *removeTags_; }
  PreviewModel& Previewer() { return preview_; }
  // The "Search and Replace" panel's rule list and its editor.
  SearchReplaceList& SearchReplace() { return *rules_; }

  // The view opens a pop-up menu under a button's bottom-left corner.
  using PopupHandler = std::function<void(const std::string& popup, const std::string& button)>;
  void SetShowPopupHandler(PopupHandler handler) { showPopup_ = std::move(handler); }

 private:
  Control& C(const std::string& name);
  void Bind(const std::string& name, std::function<void()> command);
  void CreateControls();
  void BindCommands();
  // A field box's click: its template box follows it.
  void FieldChecked(MultiField field);
  // The panels' enabling rules.
  void AutoCompleteEnabling();
  void StringFormatEnabling();
  // The after-step of a completed update run.
  void DisableSettings();

  MainWindowModel& window_;
  ControlSet& controls_;
  std::unique_ptr<JobPanel> update_;
  std::unique_ptr<JobPanel> removeTags_;
  PreviewModel preview_;
  std::unique_ptr<SearchReplaceList> rules_;
  PopupHandler showPopup_;
  std::vector<std::string> bound_;
};

}  // namespace tagmora
