#pragma once
// What a tag write does beside changing the file's bytes.

#include <string_view>

namespace tagmora {

class InputFile;

// A tag write about to change a file: its whole old tag and the whole new
// one, so that a record of it can take the change back.
struct TagEdit {
  bool atEnd = false;    // the ID3v1 record at the end; otherwise the ID3v2 tag at the start
  bool rewrite = false;  // the file is replaced through a temporary file beside it
  std::string_view oldBytes;  // empty when the file had no such tag
  std::string_view newBytes;  // empty when the tag goes
};

// Sees every tag write once it knows its bytes and before it changes
// anything: a batch job's undo journal records the change there, a preview
// stops the write there.
class WriteWatch {
 public:
  enum class Answer {
    Write,   // the write goes on
    Skip,    // the file stays untouched and the write answers success
    Refuse,  // the write fails (errno set), the file untouched
  };
  virtual ~WriteWatch() = default;
  virtual Answer Prepare(const InputFile& file, const TagEdit& edit) = 0;
  // Whether Prepare recorded the change; only then does its record stand
  // in for the write's own.
  virtual bool Recorded() const = 0;
  // Called last before the change reaches the file: what Prepare recorded
  // must be on disk now. False (errno set) fails the write, the file untouched.
  virtual bool Commit() = 0;
  // After the write of a prepared change: whether it is on disk.
  virtual void Finish(bool written) = 0;
};

struct WriteOptions {
  // The file keeps the modification time it had before the write, so that
  // "recently added" views and backups that go by it see no change.
  bool keepModificationTime = false;
  WriteWatch* watch = nullptr;
};

}  // namespace tagmora
