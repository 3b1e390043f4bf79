#pragma once
// The undo of a batch job: every change its journal recorded is taken
// back, newest first. A file that changed since the job (its tag bytes,
// size or time, or its place, are not what the job left) is left as it is
// and reported; nothing is ever written over. What the undo did is marked
// in the journal as it goes, so an undo that stops half way goes on where
// it stopped.

#include <string>
#include <vector>

#include "jobs/BatchJob.h"
#include "platform/UndoJournal.h"

namespace tagmora {

inline constexpr const char* kUndoCaption = "Undo Last Batch Job";
inline constexpr const char* kChangedSince = "File changed since the job, NOT undone!";
inline constexpr const char* kNameTaken = "Its old name is taken, NOT moved back!";
inline constexpr const char* kNotInTrash = "File NOT found in the trash!";

// The newest kept job that has changes left to take back; null when none
// has. live tells that it is the newest job and still runs.
const UndoJob* LastJobToUndo(const std::vector<UndoJob>& jobs);
// When the job started, in local time: "2026-12-09 15:30:05".
std::string JobTime(const UndoJob& job);
// "Rename files of 2026-12-09 15:30:05 (12 changes)".
std::string DescribeJob(const UndoJob& job);
// "finished", "cancelled", "interrupted" (its process died) or "running".
std::string JobState(const UndoJob& job);

// The entries of a job that are still to take back, newest first.
std::vector<UndoEntry> EntriesToTakeBack(const UndoJob& job);
// The path an entry's file or folder has now, as the undo's progress shows it.
std::string UndoItem(const UndoEntry& entry);

std::string UndoSummary(int count, int errors, int undone);

class TThreadUndo : public BatchJob {
 public:
  // session holds the journal and takes the marks; null for a preview.
  TThreadUndo(std::vector<UndoEntry> entries, UndoSession* session)
      : entries_(std::move(entries)), session_(session) {}

  bool HasElapsedTime() const override { return true; }
  void ProcessFile(JobFile& file) override;
  std::string Summary(int count, int errors) const override {
    return UndoSummary(count, errors, undone_);
  }
  std::vector<std::pair<std::string, int>> Counters() const override {
    return {{"undone", undone_}};
  }
  void Ended(bool cancelled) override;

 private:
  // False when the entry stays as it is (recorded when worth telling).
  bool TakeBack(JobFile& file, const UndoEntry& entry);

  std::vector<UndoEntry> entries_;
  UndoSession* session_;
  int undone_ = 0;
};

}  // namespace tagmora
