#include "jobs/MultiMoveModel.h"

#include "app/MainWindowModel.h"
#include "playlist/Playlist.h"

namespace tagmora {

namespace {

constexpr const char* kPriorityHints[] = {"If checked, the ID3v1 Tag will be readed first",
                                          "If checked, the ID3v2 Tag will be readed first"};

}  // namespace

MultiMoveModel::MultiMoveModel(MainWindowModel& window)
    : FilePageModel(window, kMovePanel, TThreadMove::kName, "EditBaseFolder", "ButtonMoveStart",
                    "ButtonMovePreview") {
  controls_.Add("GroupMultiMove", ControlKind::Group);
  controls_.Add("GroupFolderBy", ControlKind::Group, "  Create folders by  ");
  for (const FolderByChoice& choice : kFolderByChoices)
    controls_.Add(choice.radio, ControlKind::RadioButton, choice.caption, "GroupFolderBy");
  C(kFolderByChoices[0].radio).SetChecked(true);
  controls_.Add("LabelBaseFolder", ControlKind::Label, "Base folder:");
  AddFolderBox("EditBaseFolder",
               "The folder where the folders will be created using the ID3Tag fields. The "
               "parent of the last folder must exist!",
               "ButtonChooseBaseFolder");
  controls_.Add("GroupMovePriority", ControlKind::Group, "Tag priority");
  for (int i = 0; i < 2; ++i)
    controls_
        .Add(i ? "RadioPriority2" : "RadioPriority1", ControlKind::RadioButton,
             i ? "ID3v2" : "ID3v1", "GroupMovePriority")
        .SetHint(kPriorityHints[i]);
  C("RadioPriority2").SetChecked(true);
  controls_
      .Add("CheckBoxCreateOnly", ControlKind::CheckBox,
           "Create the folders ONLY, within the files should be moved. Dont move the files.")
      .SetHint(
          "If checked, the files wont be moved Just the destination folders will be created. "
          "It's helpfull to see the destination folders before move.");
}

MoveOptions MultiMoveModel::CurrentOptions() {
  MoveOptions options;
  for (const FolderByChoice& choice : kFolderByChoices)
    if (C(choice.radio).Checked()) options.by = choice.by;
  options.base = C("EditBaseFolder").Text();
  options.v1First = C("RadioPriority1").Checked();
  options.createOnly = C("CheckBoxCreateOnly").Checked();
  return options;
}

JobStart MultiMoveModel::MakeJob(JobDisk& disk, StartQuestions& ask, std::string& folder) {
  MoveOptions options = CurrentOptions();
  std::optional<StartStop> stop = PrepareMove(options, window_.PlayList().Count(), ask, disk);
  folder = options.base;
  if (stop) return {nullptr, *stop};
  return {std::make_unique<TThreadMove>(std::move(options))};
}

void MultiMoveModel::BaseFolderFocused() {
  if (C("EditBaseFolder").Text().empty()) FillFromFirstItem("EditBaseFolder");
}

}  // namespace tagmora
