#include "app/ErrorList.h"

#include "app/IoError.h"
#include "app/LocaleText.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

namespace tagmora {

namespace {
constexpr int kFlashStepMs = 200;
}  // namespace

ErrorList::ErrorList(UserInteraction& user, Poster& poster, ControlSet& controls)
    : user_(user),
      poster_(poster),
      flashOption_(controls["FlashErrorsTabonerror1"]),
      beepOption_(controls["Beeponerror1"]),
      errorsTab_(controls["TabSheetErrors"]),
      clock_([] { return LongTimeText(); }) {}

ErrorList::~ErrorList() = default;

void ErrorList::AddError(const std::string& message, const std::string& path, bool showBox) {
  {
    std::lock_guard lock(mutex_);
    entries_.push_back({std::to_string(entries_.size() + 1), clock_(), message, path});
  }
  if (poster_.OnUserInterfaceThread()) {
    NotifyWatchers();
    Alert(message, path, showBox, true);
    return;
  }
  // Errors of a worker that arrive while the last one's alert still waits
  // share its beep: a job failing on a thousand files beeps once, not a
  // thousand times.
  const bool beep = !beepWaiting_.exchange(true);
  poster_.Post(guard_.Wrap([this, message, path, showBox, beep] {
    if (beep) beepWaiting_ = false;
    NotifyWatchers();
    Alert(message, path, showBox, beep);
  }));
}

void ErrorList::Alert(const std::string& message, const std::string& path, bool showBox,
                      bool beep) {
  if (beep && beepOption_.Checked()) user_.Beep();
  if (flashOption_.Checked() && flashState_.load() != 0) {
    flashState_.store(0);
    FlashStep(0);
  }
  if (showBox) {
    // The path goes on a line of its own.
    std::string text = path.empty() ? message : message + "\nFile: " + path;
    user_.Show({"Error", text, MessageIcon::Warning, MessageButtons::Ok});
  }
}

// The tab blinks three times in about a second: highlighted and normal in
// six steps 200 ms apart, ending on the normal picture.
void ErrorList::FlashStep(int step) {
  errorsTab_.SetImage(step % 2 == 0 ? kErrorsPictureHighlighted : kErrorsPicture);
  if (step == 5) {
    flashState_.store(-1);
    return;
  }
  poster_.PostDelayed(kFlashStepMs, guard_.Wrap([this, step] { FlashStep(step + 1); }));
}

size_t ErrorList::Count() const {
  std::lock_guard lock(mutex_);
  return entries_.size();
}

ErrorEntry ErrorList::Entry(size_t index) const {
  std::lock_guard lock(mutex_);
  return index < entries_.size() ? entries_[index] : ErrorEntry{};
}

std::vector<ErrorEntry> ErrorList::Entries() const {
  std::lock_guard lock(mutex_);
  return entries_;
}

uint64_t ErrorList::Clears() const {
  std::lock_guard lock(mutex_);
  return clears_;
}

std::string ErrorList::Cell(int row, int column) const {
  if (column < 0 || column > 3 || row < 0) return {};
  if (row == 0) return kErrorColumns[column].header;
  ErrorEntry entry = Entry(static_cast<size_t>(row - 1));
  switch (column) {
    case 0: return entry.number;
    case 1: return entry.time;
    case 2: return entry.message;
    default: return entry.path;
  }
}

void ErrorList::Clear() {
  {
    std::lock_guard lock(mutex_);
    entries_.clear();
    ++clears_;
  }
  NotifyWatchers();
}

void ErrorList::ClearCommand() {
  MessageAnswer answer = user_.Show({"Clear list ?", "This will clear the errors list! Continue?",
                                     MessageIcon::Question, MessageButtons::YesNoCancel});
  if (answer == MessageAnswer::Yes) Clear();
}

std::string ErrorList::ReportText(const std::vector<ErrorEntry>& entries) {
  std::string out = "No. Time     Error" + std::string(11, '\t') + "Path\r\n";
  out += std::string(130, '-') + "\r\n";
  for (const ErrorEntry& entry : entries) {
    std::string line = entry.number + "  " + entry.time + "  " + entry.message + "  ";
    long used = static_cast<long>(Utf8Length(entry.number) + Utf8Length(entry.time) +
                                  Utf8Length(entry.message));
    if (69 - used > 0) line.append(static_cast<size_t>(69 - used), ' ');
    line += "\t\t\t\t" + entry.path + "\r\n";
    out += line;
  }
  return out;
}

std::string ErrorList::ProposedReportName(const std::string& shortDate) {
  std::string name = "Errors_" + shortDate + ".txt";
  for (char& c : name)
    if (c == '/') c = '-';
  return name;
}

void ErrorList::SaveCommand(const std::string& folder) {
  if (Count() == 0) {
    user_.Show({kProgramName, "No errors to save!", MessageIcon::None, MessageButtons::Ok});
    return;
  }
  FileDialog dialog;
  dialog.title = "Save Error";
  dialog.filterName = "Text Files";
  dialog.filterPattern = "*.txt";
  dialog.folder = folder;
  dialog.proposedName = ProposedReportName(ShortDateText());
  dialog.confirmOverwrite = true;
  std::optional<std::string> chosen = user_.SaveFile(dialog);
  if (!chosen) return;

  if (int error = WriteWholeFile(*chosen, ReportText(Entries()))) {
    user_.Show({"Errors NOT Saved",
                "Error: " + IoErrorDescription(error) + ". " + SystemErrorText(error),
                MessageIcon::Error, MessageButtons::Ok});
    return;
  }
  MessageAnswer answer =
      user_.Show({"Errors Saved", "Errors saved to \"" + *chosen + "\"\nOpen the file?",
                  MessageIcon::Information, MessageButtons::YesNoCancel});
  if (answer == MessageAnswer::Yes) user_.OpenWithShell(*chosen);
}

int ErrorList::Watch(std::function<void()> watcher) {
  int id = nextWatcher_++;
  watchers_.emplace(id, std::move(watcher));
  return id;
}

void ErrorList::Unwatch(int id) { watchers_.erase(id); }

void ErrorList::NotifyWatchers() {
  auto watchers = watchers_;
  for (auto& [id, watcher] : watchers) watcher();
}

}  // namespace tagmora
