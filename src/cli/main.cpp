// tagmora-cli: inspect and edit the ID3 tags of MP3 files from a shell, and
// run the window's batch jobs headless.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Fields.h"
#include "cli/JobCommands.h"
#include "cli/StepOptions.h"
#include "cli/Recover.h"
#include "jobs/UnitThreadMove.h"
#include "jobs/UnitThreadRemoveTags.h"
#include "jobs/UnitThreadRename.h"
#include "jobs/UnitThreadUpdate.h"
#include "platform/TextCodec.h"
#include "playlist/Playlist.h"

namespace tagmora::cli {
namespace {

constexpr const char* kDetails = R"(
Commands:
  tagmora-cli info FILE...
  tagmora-cli set [--v1] [--v2] [--keep-mtime] FIELD=VALUE... [--] FILE...
  tagmora-cli remove [--v1] [--v2] [--keep-mtime] FILE...
  tagmora-cli update [OPTIONS] ITEM...
  tagmora-cli remove-tags [--v1] [--v2] [--no-readonly] [--keep-mtime] ITEM...
  tagmora-cli rename [OPTIONS] ITEM...
  tagmora-cli move --base=FOLDER [OPTIONS] ITEM...
  tagmora-cli undo [--list] [--json] [--dry-run]
  tagmora-cli recover

info     prints one JSON object per file and line:
           path, status (the tag reader's answer, "OK" when both tags read),
           id3v1 {exists, version_id, title, artist, album, year, comment,
                  track, genre_id, genre},
           id3v2 {exists, version_id, size, title, artist, album, track, year,
                  genre, comment, composer, encoder, copyright, language, url},
           mpeg  {valid, file_length, version, layer, vbr, bit_rate (kbit/s),
                  sample_rate (Hz), channel_mode, duration (seconds),
                  first_frame (offset of the first frame header within the
                  searched window after the ID3v2 tag), frames, crc,
                  copyright, original, emphasis, encoder}.
         Texts are UTF-8; control characters are written as \u escapes.

set      reads both tags, sets the named fields and writes the tags it
         changed. FIELD is a field name of info; version_id and size are
         read-only. track and genre_id take 0 to 255; the ID3v1 genre takes
         a genre name (any letter case) or its number, empty for none.
         ID3v1 texts are cut to 30 characters (the year to 4) and store
         '?' for characters that Windows-1252 cannot hold.
           --v1, --v2   set the fields in that tag (both when both are
                        given), creating the tag when the file has none.
           neither      each field goes to the ID3v2 tag (created when
                        missing), and to the ID3v1 tag only when the file
                        already has one or when only ID3v1 holds the field
                        (genre_id).
           exists=0     removes that tag (needs --v1 or --v2, no other
                        fields); exists=1 writes the tag as it stands.
         Assignments end at the first argument that is not FIELD=VALUE,
         or at "--"; the rest are files.
         A file whose tags cannot be read is left untouched.

remove   removes the ID3v1 record (--v1), the ID3v2 tag (--v2), or both
         (neither). A file that has no such tag already is as asked.
         Failures are printed on standard error as the status text and
         the file. Exit status: 0 when every file answered "OK", 1 when
         any file failed, 2 for bad arguments.

update, remove-tags, rename, move
         the jobs of the "Multi Tagger", "Multi Rename Tool" and "Multi
         Move Tool" pages over a playlist: each ITEM is an MP3 path or a
         ".m3u" playlist whose entries are taken in order.
         update sets each field given (--title=TEMPLATE ...) from its
         template, in which %title%, %artist%, %album%, %comment%, %year%,
         %genre%, %track%, %composer%, %encoder%, %copyright%, %language%,
         %url% stand for the file's values in the tag being written, and
         the same names ending in 1 or 2 for the ID3v1 or ID3v2 value.
         A tag is written only when it changed. Before the templates,
         --get-title and --get-artist take the fields from file names
         such as "Artist - Title.mp3" (split at --separator1, else at
         --separator2), only where the tag has none unless --replace-...;
         --fallback-... take the whole name when neither separator occurs.
         After the templates, --case-FIELD=MODE changes the letter case
         (MODE: unchanged, lower, upper, first, words), then --rules=FILE
         applies the enabled search-and-replace rules of FILE in order.
         rename gives each file the name ARTIST SEPARATOR TITLE.mp3 from
         its tags, in its folder or in --move-to; move puts each file into
         BASE/ARTIST, BASE/GENRE, BASE/ARTIST - ALBUM or BASE/ALBUM. A name
         from the tags containing "/", or a folder named "." or "..", is
         refused. A missing folder is created only with --create-folder.
           --json       one JSON object per line: {"error", "path"} for each
                        error and {"change", "path", ...} for each change
                        made (below), in the order they happen, then
                        {"summary", "cancelled", "processed", "errors",
                        "selected", "playlist", and the job's counters:
                        "changed", "removed", "renamed", or
                        "folders_created" and "moved"}.
           --dry-run    runs the job without changing anything: prints
                        what it would change (as "PATH: CHANGE", or with
                        --json the lines a run prints) and exits as the
                        run would.
         A change is {"change": "tag", "path", "tag": "ID3v1"|"ID3v2",
         "created"/"removed": true, "fields": {FIELD: [OLD, NEW]}},
         {"change": "move", "path", "to"}, {"change": "create folder",
         "path"}, {"change": "trash", "path"}; an undo also prints
         "restore" (from the trash) and "remove folder".
         Before a job changes a file it records how to take the change
         back in $XDG_STATE_HOME/tagmora/undo/; files the rename job
         deletes or replaces go to the desktop trash.
         Without --json errors go to standard error as PATH: TEXT and the
         summary to standard output. SIGINT or SIGTERM finishes the file
         in hand and stops.
         Exit status: 0 without errors, 1 with errors, 2 for a refusal or
         bad arguments, 130 when cancelled.

--keep-mtime  (set, remove, update, remove-tags) the files keep their
         modification time.

undo     takes back the newest batch job not undone yet (of the window or
         of tagmora-cli, also one a crash interrupted), newest change
         first. A file changed since the job (its tag, size, time or place
         are not what the job left) is left as it is and reported as an
         error. --list prints the 20 kept jobs, newest first; --dry-run
         prints what would be taken back; --json as for the jobs, with
         the counter "undone".

recover  finishes what tag writes that were interrupted (a crash, a kill)
         left behind, and prints one line for each: an unfinished change
         undone, or left alone because the file changed since. Every
         command does this first, reporting on standard error; recover
         exits with 1 when a file changed since or could not be undone.
)";

// Stands where "--" stood among set's arguments.
constexpr const char* kSentinel = "\x01--";

int Usage(const std::string& message) {
  std::fprintf(stderr, "tagmora-cli: %s\nTry 'tagmora-cli --help'.\n", message.c_str());
  return 2;
}

bool IsFieldName(const std::string& name) {
  return FindField(V1Fields(), name) || FindField(V2Fields(), name);
}

// set's positionals: FIELD=VALUE up to the first other argument or "--".
int Set(TagChoice tags, const std::vector<std::string>& args, const WriteOptions& options) {
  std::vector<Assignment> assignments;
  std::vector<std::string> files;
  bool assigning = true;
  for (const std::string& arg : args) {
    if (arg == kSentinel) {
      assigning = false;
    } else if (assigning && arg.find('=') != std::string::npos) {
      std::string name = arg.substr(0, arg.find('='));
      if (!IsFieldName(name))
        return Usage("unknown field '" + name + "' (put -- before a file name with '=')");
      assignments.push_back({name, arg.substr(arg.find('=') + 1)});
    } else {
      assigning = false;
      files.push_back(arg);
    }
  }
  if (assignments.empty()) return Usage("set needs FIELD=VALUE");
  if (files.empty()) return Usage("set needs at least one FILE");
  std::string error = CheckAssignments(assignments, tags);
  if (!error.empty()) return Usage(error);
  return Set(assignments, tags, files, options);
}

// The options every job command shares.
void AddJobOptions(CLI::App& command, JobRun& run) {
  command.add_flag("--json", run.json, "print JSON lines");
  command.add_flag("--dry-run", run.dryRun, "change nothing; print what would change");
  command.add_option("--save-playlist", run.savePlaylist,
                     "write the playlist after the run as M3U to FILE");
  command.add_option("ITEM", run.items, "MP3 files and .m3u playlists");
}

// A start's checks and questions on the command line; the job once they
// let it start.
template <typename Job, typename Options>
std::unique_ptr<BatchJob> Prepared(Options& options, const Playlist& playlist, JobDisk& disk,
                                   bool createFolder,
                                   std::optional<StartStop> (*prepare)(Options&, int,
                                                                       StartQuestions&, JobDisk&)) {
  ArgumentQuestions ask(createFolder);
  if (auto stop = prepare(options, playlist.Count(), ask, disk)) {
    ask.PrintStop(*stop);
    return nullptr;
  }
  return std::make_unique<Job>(options);
}

// "--name=value" for one of a table's rows.
template <typename Row, size_t N>
CLI::Option* AddChoice(CLI::App& command, const char* option, std::string& value,
                       const Row (&rows)[N], const char* help) {
  std::vector<std::string> names;
  for (const Row& row : rows) names.push_back(row.name);
  return command.add_option(option, value, help)->check(CLI::IsMember(names));
}

template <typename Row, size_t N>
const Row& ChoiceNamed(const std::string& name, const Row (&rows)[N]) {
  for (const Row& row : rows)
    if (name == row.name) return row;
  return rows[0];
}

struct PriorityChoice {
  bool v1First;
  const char* name;
};
constexpr PriorityChoice kPriorities[] = {{false, "v2"}, {true, "v1"}};

int Run(int argc, char** argv) {
  // Arguments after "--" are files whatever they look like; CLI11 sees
  // only those before it, and set learns where the "--" stood.
  std::vector<std::string> args(argv, argv + argc), afterDashes;
  if (auto dashes = std::find(args.begin() + 1, args.end(), "--"); dashes != args.end()) {
    afterDashes.assign(dashes + 1, args.end());
    args.erase(dashes, args.end());
  }
  // CLI11 reads "--name=" as a name whose value is the next argument; an
  // empty value is meant.
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i].starts_with("--") && args[i].size() > 3 && args[i].ends_with('=')) {
      args[i].pop_back();
      args.insert(args.begin() + ptrdiff_t(++i), "");
    }
  }
  if (args.size() < 2) return Usage("no command given");
  if (args[1][0] != '-' && args[1] != "info" && args[1] != "set" && args[1] != "remove" &&
      args[1] != "update" && args[1] != "remove-tags" && args[1] != "rename" &&
      args[1] != "move" && args[1] != "undo" && args[1] != "recover")
    return Usage("unknown command '" + args[1] + "'");
  std::vector<char*> pointers;
  for (std::string& arg : args) pointers.push_back(arg.data());

  CLI::App app("Inspect and edit the ID3 tags of MP3 files, and run batch jobs over them.",
               "tagmora-cli");
  app.footer(kDetails);
  app.require_subcommand(1);

  std::vector<std::string> files;
  TagChoice tags;
  WriteOptions writes;
  const auto keepTime = [&writes](CLI::App* command) {
    command->add_flag("--keep-mtime", writes.keepModificationTime,
                      "the files keep their modification time");
  };
  CLI::App* info = app.add_subcommand("info", "print tags and stream of each FILE as JSON");
  info->add_option("FILE", files, "MP3 files");
  CLI::App* set = app.add_subcommand("set", "set tag fields: FIELD=VALUE... [--] FILE...");
  set->add_flag("--v1", tags.v1, "set the fields in the ID3v1 tag");
  set->add_flag("--v2", tags.v2, "set the fields in the ID3v2 tag");
  set->add_option("ARGS", files, "FIELD=VALUE assignments, then files");
  keepTime(set);
  CLI::App* remove = app.add_subcommand("remove", "remove tags from each FILE");
  remove->add_flag("--v1", tags.v1, "remove the ID3v1 record");
  remove->add_flag("--v2", tags.v2, "remove the ID3v2 tag");
  remove->add_option("FILE", files, "MP3 files");
  keepTime(remove);
  CLI::App* recover =
      app.add_subcommand("recover", "finish or undo tag writes a crash interrupted");

  JobRun run;
  UpdateOptions update;
  CLI::App* updateCommand =
      app.add_subcommand("update", "the multi-tagger's update job over the ITEMs");
  updateCommand->add_flag("--v1,!--no-v1", update.replaceV1, "Replace ID3v1 (on by default)");
  updateCommand->add_flag("--v2,!--no-v2", update.replaceV2, "Replace ID3v2 (off by default)");
  bool noReadOnly = false;
  updateCommand->add_flag("--no-readonly", noReadOnly, "leave read-only files alone");
  std::array<std::string, kMultiFieldCount> templates;
  for (int field = 0; field < kMultiFieldCount; ++field)
    updateCommand->add_option(std::string("--") + kMultiTagFields[field].name, templates[field],
                              std::string("the template of the ") +
                                  kMultiTagFields[field].caption + " field");
  StepOptions steps;
  steps.AddTo(*updateCommand);
  AddJobOptions(*updateCommand, run);
  keepTime(updateCommand);

  RemoveTagsOptions removeTags{false, false, true, {}};
  CLI::App* removeTagsCommand =
      app.add_subcommand("remove-tags", "remove the tags of every ITEM (both without a choice)");
  removeTagsCommand->add_flag("--v1", removeTags.removeV1, "remove only ID3v1 tags");
  removeTagsCommand->add_flag("--v2", removeTags.removeV2, "remove only ID3v2 tags");
  removeTagsCommand->add_flag("--no-readonly", noReadOnly, "leave read-only files alone");
  AddJobOptions(*removeTagsCommand, run);
  keepTime(removeTagsCommand);

  RenameOptions rename;
  std::string priority = "v2", ifExists = "add", moveTo;
  bool createFolder = false;
  CLI::App* renameCommand =
      app.add_subcommand("rename", "rename every ITEM to artist, separator and title");
  AddChoice(*renameCommand, "--priority", priority, kPriorities,
            "the tag read first: v1 or v2 (default)");
  renameCommand->add_option("--separator", rename.separator,
                            "between artist and title (default \" - \")");
  renameCommand->add_option("--move-to", moveTo, "put the renamed files into FOLDER");
  AddChoice(*renameCommand, "--if-exists", ifExists, kIfExistsChoices,
            "when the new name is taken: skip, replace, add (default) or delete");
  renameCommand->add_option("--add-text", rename.addText,
                            "what add puts before the name (default _copy_)");
  renameCommand->add_flag("--create-folder", createFolder, "create a missing --move-to folder");
  AddJobOptions(*renameCommand, run);

  MoveOptions move;
  std::string by = "artist";
  CLI::App* moveCommand =
      app.add_subcommand("move", "move every ITEM into a folder named after a tag field");
  AddChoice(*moveCommand, "--by", by, kFolderByChoices,
            "the folder's name: artist (default), genre, artist-album or album");
  moveCommand->add_option("--base", move.base, "the folder the tag folders go into");
  AddChoice(*moveCommand, "--priority", priority, kPriorities,
            "the tag read first: v1 or v2 (default)");
  moveCommand->add_flag("--create-only", move.createOnly, "create the folders, move nothing");
  moveCommand->add_flag("--create-folder", createFolder, "create a missing base folder");
  AddJobOptions(*moveCommand, run);

  bool listUndo = false;
  CLI::App* undoCommand =
      app.add_subcommand("undo", "take back the newest batch job not undone yet");
  undoCommand->add_flag("--list", listUndo, "print the kept jobs, newest first");
  undoCommand->add_flag("--json", run.json, "print JSON lines");
  undoCommand->add_flag("--dry-run", run.dryRun, "change nothing; print what would be taken back");

  try {
    app.parse(int(pointers.size()), pointers.data());
  } catch (const CLI::CallForHelp& help) {
    std::fputs(app.help("", CLI::AppFormatMode::All).c_str(), stdout);
    return 0;
  } catch (const CLI::ParseError& error) {
    if (error.get_exit_code() == 0) return app.exit(error);
    return Usage(error.what());
  }
  if (set->parsed() && !afterDashes.empty()) files.push_back(kSentinel);
  files.insert(files.end(), afterDashes.begin(), afterDashes.end());
  run.items.insert(run.items.end(), afterDashes.begin(), afterDashes.end());
  for (CLI::App* command : {info, remove})
    if (command->parsed() && files.empty())
      return Usage(command->get_name() + " needs at least one FILE");
  if ((updateCommand->parsed() || removeTagsCommand->parsed() || renameCommand->parsed() ||
       moveCommand->parsed()) &&
      run.items.empty())
    return Usage("no ITEM given: name MP3 files or .m3u playlists");

  if (recover->parsed()) return Recover();
  // What a killed write left behind is put right before anything is read.
  RecoverBeforeCommand();
  if (info->parsed()) return Info(files);
  if (undoCommand->parsed()) return Undo(run, listUndo);
  if (set->parsed()) return Set(tags, files, writes);
  if (remove->parsed()) return Remove(tags, files, writes);
  if (updateCommand->parsed()) {
    if (!update.replaceV1 && !update.replaceV2)
      return Usage("--no-v1 without --v2 leaves no tag to update");
    for (int field = 0; field < kMultiFieldCount; ++field) {
      const MultiTagField& row = kMultiTagFields[field];
      if (updateCommand->count(std::string("--") + row.name) == 0) continue;
      if (row.maxLength && Utf8Length(templates[field]) > size_t(row.maxLength))
        return Usage(std::string("--") + row.name + " takes at most " +
                     std::to_string(row.maxLength) + " characters");
      update.templates[field] = templates[field];
    }
    update.writeReadOnly = !noReadOnly;
    if (std::string error = steps.Apply(*updateCommand, update); !error.empty())
      return Usage(error);
    update.writes = writes;
    return RunJob(run, TThreadUpdate::kName, [&](const Playlist&, JobDisk&) {
      return std::make_unique<TThreadUpdate>(update);
    });
  }
  const bool v1First = ChoiceNamed(priority, kPriorities).v1First;
  if (renameCommand->parsed()) {
    if (Utf8Length(rename.separator) > size_t(kSeparatorMaxLength))
      return Usage("--separator takes at most " + std::to_string(kSeparatorMaxLength) +
                   " characters");
    if (Utf8Length(rename.addText) > size_t(kAddTextMaxLength))
      return Usage("--add-text takes at most " + std::to_string(kAddTextMaxLength) +
                   " characters");
    rename.v1First = v1First;
    if (renameCommand->count("--move-to")) rename.moveTo = moveTo;
    rename.ifExists = ChoiceNamed(ifExists, kIfExistsChoices).policy;
    return RunJob(run, TThreadRename::kName, [&](const Playlist& playlist, JobDisk& disk) {
      return Prepared<TThreadRename>(rename, playlist, disk, createFolder, PrepareRename);
    });
  }
  if (moveCommand->parsed()) {
    move.by = ChoiceNamed(by, kFolderByChoices).by;
    move.v1First = v1First;
    return RunJob(run, TThreadMove::kName, [&](const Playlist& playlist, JobDisk& disk) {
      return Prepared<TThreadMove>(move, playlist, disk, createFolder, PrepareMove);
    });
  }
  if (!removeTags.removeV1 && !removeTags.removeV2) removeTags.removeV1 = removeTags.removeV2 = true;
  removeTags.writeReadOnly = !noReadOnly;
  removeTags.writes = writes;
  return RunJob(run, TThreadRemoveTags::kName, [&](const Playlist&, JobDisk&) {
    return std::make_unique<TThreadRemoveTags>(removeTags);
  });
}

}  // namespace
}  // namespace tagmora::cli

int main(int argc, char** argv) { return tagmora::cli::Run(argc, argv); }
