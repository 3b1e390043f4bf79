#pragma once
// The move-to-folders job: every playlist file goes, under its own name,
// into the folder named after its artist, album, genre or artist and album
// below a base folder, which is created on the first file that needs it.
// Or only the folders are created. A name from the tags never leaves the
// base folder, and a move never replaces a file.

#include <string>

#include "jobs/BatchJob.h"
#include "jobs/FileJobs.h"

namespace tagmora {

// "  Create folders by  "
enum class FolderBy { Artist, Genre, ArtistAlbum, Album };

struct FolderByChoice {
  FolderBy by;
  const char* radio;    // the page's button
  const char* caption;
  const char* name;     // tagmora-cli's --by value
};
inline constexpr FolderByChoice kFolderByChoices[] = {
    {FolderBy::Artist, "RadioFolderArtist", "Artist", "artist"},
    {FolderBy::Genre, "RadioFolderGenre", "Genre", "genre"},
    {FolderBy::ArtistAlbum, "RadioFolderArtistAlbum", "Artist - Album", "artist-album"},
    {FolderBy::Album, "RadioFolderAlbum", "Album", "album"},
};

struct MoveOptions {
  FolderBy by = FolderBy::Artist;
  std::string base;      // "Base folder:", with its final "/" once started
  bool v1First = false;  // "Tag priority": ID3v1
  bool createOnly = false;
};

// The checks and questions before a run, in their order; the base folder
// gets its final "/" and is created once the person agrees. Nothing when
// the run may start.
std::optional<StartStop> PrepareMove(MoveOptions& options, int count, StartQuestions& ask,
                                     JobDisk& disk);

std::string MoveSummary(int count, int errors, int foldersCreated, int moved);

class TThreadMove : public BatchJob {
 public:
  explicit TThreadMove(MoveOptions options) : options_(std::move(options)) {}

  // What the job is called where its undo journal is listed.
  static constexpr const char* kName = "Move files";
  bool HasElapsedTime() const override { return false; }
  void ProcessFile(JobFile& file) override;
  std::string Summary(int count, int errors) const override {
    return MoveSummary(count, errors, foldersCreated_, moved_);
  }
  std::vector<std::pair<std::string, int>> Counters() const override {
    return {{"folders_created", foldersCreated_}, {"moved", moved_}};
  }

 private:
  // The folder's name for the chosen mode; empty after recording a
  // missing field.
  std::string FolderName(JobFile& file, const TagFields& fields) const;

  MoveOptions options_;
  int foldersCreated_ = 0;
  int moved_ = 0;
};

}  // namespace tagmora
