#pragma once
// The "Multi Move Tool" page: the move job's options, the start with its
// checks and questions, and the progress panel "GroupMove".

#include "jobs/FilePageModel.h"
#include "jobs/UnitThreadMove.h"

namespace tagmora {

class MultiMoveModel : public FilePageModel {
 public:
  explicit MultiMoveModel(MainWindowModel& window);

  // The options of a run as the page's controls stand.
  MoveOptions CurrentOptions();
  // "EditBaseFolder" got the input focus: an empty box proposes the first
  // file's folder.
  void BaseFolderFocused();

 protected:
  JobStart MakeJob(JobDisk& disk, StartQuestions& ask, std::string& folder) override;
};

}  // namespace tagmora
