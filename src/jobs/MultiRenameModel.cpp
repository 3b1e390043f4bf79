#include "jobs/MultiRenameModel.h"

#include "app/MainWindowModel.h"
#include "playlist/Playlist.h"

namespace tagmora {

MultiRenameModel::MultiRenameModel(MainWindowModel& window)
    : FilePageModel(window, kRenamePanel) {
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
  controls_.Add("ButtonRenameStart", ControlKind::Button, "Start");

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
  Bind("ButtonRenameStart", [this] { Start(); });
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

void MultiRenameModel::Start() {
  RenameOptions options = CurrentOptions();
  BoxQuestions ask(window_.User());
  auto stop = PrepareRename(options, window_.PlayList().Count(), ask);
  const std::string folder = options.moveTo.value_or("");
  FilePageModel::Start("EditMoveTo", folder, std::move(stop),
                       std::make_unique<TThreadRename>(std::move(options)));
}

}  // namespace tagmora
