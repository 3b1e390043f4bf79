#include "jobs/MultiRenameModel.h"

#include "app/MainWindowModel.h"
#include "playlist/Playlist.h"

namespace tagmora {

MultiRenameModel::MultiRenameModel(MainWindowModel& window)
    : FilePageModel(window, kRenamePanel, TThreadRename::kName, "EditMoveTo", "ButtonRenameStart",
                    "ButtonRenamePreview") {
  controls_.Add("GroupMultiRename", ControlKind::Group);
  controls_.Add("GroupRenamePriority", ControlKind::Group, "Tag priority");
  controls_.Add("LabelSeparator", ControlKind::Label, "Separator");
  controls_.Add("EditSeparator", ControlKind::Edit)
      .SetHint("Separator between Artist and Title");
  C("EditSeparator").SetText(RenameOptions{}.separator);
  controls_.Add("CheckMoveTo", ControlKind::CheckBox, "Move to")
      .SetHint("Move the newer file to folder ...");
  AddFolderBox("EditMoveTo",
               "Move files to this folder. The parent of the last folder must exist!",
               "ButtonChooseMoveTo");
  controls_.Add("GroupIfExists", ControlKind::Group, "If the file already exists ?");
  controls_.Add("LabelRenameNote", ControlKind::Label, kRenameNameNote);
  controls_.Add("LabelRenameWarning", ControlKind::Label, kRenameWarningNote);

  // The folder box is in use only with "Move to"; checking it proposes
  // the first file's folder.
  const auto moveTo = [this] {
    const bool checked = C("CheckMoveTo").Checked();
    C("EditMoveTo").SetEnabled(checked);
    C("ButtonChooseMoveTo").SetEnabled(checked);
    if (checked) FillFromFirstItem("EditMoveTo");
  };
  Bind("CheckMoveTo", moveTo);
  C("EditMoveTo").SetEnabled(false);
  C("ButtonChooseMoveTo").SetEnabled(false);
  // The prefix box stays editable; its check mark shows it in the
  // window's colour while "Add this text ..." is chosen.
  for (const IfExistsChoice& choice : kIfExistsChoices)
    Bind(choice.radio, [this] { C("EditAdd").SetChecked(C("RadioAdd").Checked()); });
  C("EditAdd").SetChecked(C("RadioAdd").Checked());
}

RenameOptions MultiRenameModel::CurrentOptions() {
  RenameOptions options;
  options.v1First = C("RadioID3v1Priority").Checked();
  options.separator = C("EditSeparator").Text();
  if (C("CheckMoveTo").Checked()) options.moveTo = C("EditMoveTo").Text();
  for (const IfExistsChoice& choice : kIfExistsChoices)
    if (C(choice.radio).Checked()) options.ifExists = choice.policy;
  options.addText = C("EditAdd").Text();
  return options;
}

JobStart MultiRenameModel::MakeJob(JobDisk& disk, StartQuestions& ask, std::string& folder) {
  RenameOptions options = CurrentOptions();
  std::optional<StartStop> stop = PrepareRename(options, window_.PlayList().Count(), ask, disk);
  folder = options.moveTo.value_or("");
  if (stop) return {nullptr, *stop};
  return {std::make_unique<TThreadRename>(std::move(options))};
}

}  // namespace tagmora
