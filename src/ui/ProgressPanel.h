#pragma once
// The progress panel of a batch job: the current file, the percentage and
// the progress bar, the file counter, the elapsed time and the error count,
// the priority slider with its name, the "Show me the errors" link, the
// undo button and the pause and cancel buttons, each named after its
// control, so that the
// window's binder shows and drives them. It takes the place of the job's
// settings panel while the job runs.

class QGroupBox;
class QWidget;

namespace tagmora {

struct JobPanelNames;

// A panel for the named controls; outputs a job does not have (a null
// name) are left out.
QGroupBox* MakeProgressPanel(const JobPanelNames& names, QWidget* parent);

}  // namespace tagmora
