#pragma once
// What the rename and move jobs share: their start checks with the
// questions they ask, the folders the user types, and the tag fields a new
// name is made of.

#include <memory>
#include <optional>
#include <string>

#include "jobs/BatchJob.h"

namespace tagmora {

class JobDisk;
class UserInteraction;

// What a start asks the person who started it. The window asks with
// message boxes; tagmora-cli answers from its arguments.
class StartQuestions {
 public:
  virtual ~StartQuestions() = default;
  // "Create folder?" for a folder that does not exist.
  virtual bool CreateFolder(const std::string& folder) = 0;
  // The job's own question before it starts.
  virtual bool Confirm(const char* caption, const char* text) = 0;
};

// The window's questions: Yes/No boxes with the question icon.
class BoxQuestions : public StartQuestions {
 public:
  explicit BoxQuestions(UserInteraction& user) : user_(user) {}
  bool CreateFolder(const std::string& folder) override;
  bool Confirm(const char* caption, const char* text) override;

 private:
  UserInteraction& user_;
};

// A preview's questions: every one answered Yes, since nothing happens.
class PreviewQuestions : public StartQuestions {
 public:
  bool CreateFolder(const std::string&) override { return true; }
  bool Confirm(const char*, const char*) override { return true; }
};

// Why a start went no further: the error to record with its box and
// path, or no message when the person answered No.
struct StartStop {
  std::string message;
  std::string path;
};

// A start as its checks and questions end it: the job, or why not.
struct JobStart {
  std::unique_ptr<BatchJob> job;
  StartStop stop = {};  // without a job
};

inline constexpr const char* kEmptyPlaylist = "No files in the playlist! Add some!";

// The text of a path up to its last "/", included; empty without one.
std::string FolderPart(const std::string& path);
// A folder as the user typed it, ready to take a name: a leading "~" is
// the home folder, and a missing final "/" is added.
std::string TypedFolder(const std::string& typed);
// Creates a missing folder once the person agrees. Nothing when the folder
// is there afterwards; otherwise the stop, with failure as its message.
std::optional<StartStop> EnsureFolder(const std::string& folder, const char* failure,
                                      StartQuestions& ask, JobDisk& disk);

// The fields new names are made of, each from the chosen tag when it has
// the field, else from the other.
struct TagFields {
  std::string artist, title, album, genre;
};
// Reads the file's tags; false after recording why there are no fields
// (no file, unreadable tags, no tag at all).
bool ReadTagFields(JobFile& file, bool v1First, TagFields& fields);

}  // namespace tagmora
