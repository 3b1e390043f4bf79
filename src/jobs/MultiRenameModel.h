#pragma once
// The "Multi Rename Tool" page: the rename job's options, its notes, the
// start with its checks and questions, and the progress panel "GroupRename"
// with its copy animation. The options the settings file keeps (the two
// radio groups and "EditAdd") belong to the window; this page gives them
// their commands.

#include "jobs/FilePageModel.h"
#include "jobs/UnitThreadRename.h"

namespace tagmora {

// The notes under the options.
inline constexpr const char* kRenameNameNote =
    "A file name cannot contain the character \"/\". Please check the Artist and the Title for "
    "it!";
inline constexpr const char* kRenameWarningNote =
    "This operation could damage your files's names. Be carefull and read every step "
    "specifications before you start!";

class MultiRenameModel : public FilePageModel {
 public:
  explicit MultiRenameModel(MainWindowModel& window);

  // The options of a run as the page's controls stand.
  RenameOptions CurrentOptions();

 protected:
  JobStart MakeJob(JobDisk& disk, StartQuestions& ask, std::string& folder) override;
};

}  // namespace tagmora
