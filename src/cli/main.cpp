// tagmora-cli: inspect and edit the ID3 tags of MP3 files from a shell, and
// run the window's batch jobs headless.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Fields.h"
#include "cli/JobCommands.h"
#include "cli/StepOptions.h"
#include "jobs/UnitThreadRemoveTags.h"
#include "jobs/UnitThreadUpdate.h"
#include "platform/TextCodec.h"
#include "playlist/Playlist.h"

namespace tagmora::cli {
namespace {

constexpr const char* kDetails = R"(
Commands:
  tagmora-cli info FILE...
  tagmora-cli set [--v1] [--v2] FIELD=VALUE... [--] FILE...
  tagmora-cli remove [--v1] [--v2] FILE...
  tagmora-cli update [OPTIONS] ITEM...
  tagmora-cli remove-tags [--v1] [--v2] [--no-readonly] ITEM...

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

update, remove-tags
         the "Multi Tagger" page's jobs over a playlist: each ITEM is an
         MP3 path or a ".m3u" playlist whose entries are taken in order.
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
           --json       one JSON object per line: {"error", "path"} for each
                        error, then {"summary", "cancelled", "processed",
                        "errors", "selected", "playlist", and the job's
                        counter: "changed" or "removed"}.
         Without --json errors go to standard error as PATH: TEXT and the
         summary to standard output. SIGINT or SIGTERM finishes the file
         in hand and stops.
         Exit status: 0 without errors, 1 with errors, 2 for a refusal or
         bad arguments, 130 when cancelled.
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
int Set(TagChoice tags, const std::vector<std::string>& args) {
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
  return Set(assignments, tags, files);
}

// The options every job command shares.
void AddJobOptions(CLI::App& command, JobRun& run) {
  command.add_flag("--json", run.json, "print JSON lines");
  command.add_option("--save-playlist", run.savePlaylist,
                     "write the playlist after the run as M3U to FILE");
  command.add_option("ITEM", run.items, "MP3 files and .m3u playlists");
}

int Job(BatchJob& job, const JobRun& run) {
  // A CLI run has no user-interface thread: changes need telling nobody.
  struct NoPoster : Poster {
    void Post(std::function<void()> work) override { work(); }
    void PostDelayed(int, std::function<void()> work) override { work(); }
    bool OnUserInterfaceThread() const override { return true; }
  } poster;
  Playlist playlist(poster);
  std::string answer = LoadItems(run.items, playlist);
  if (answer != "OK") {
    std::fprintf(stderr, "Load List Error: %s\n", answer.c_str());
    return 2;
  }
  return RunJob(job, playlist, run);
}

int Run(int argc, char** argv) {
  // Arguments after "--" are files whatever they look like; CLI11 sees
  // only those before it, and set learns where the "--" stood.
  std::vector<std::string> args(argv, argv + argc), afterDashes;
  if (auto dashes = std::find(args.begin() + 1, args.end(), "--"); dashes != args.end()) {
    afterDashes.assign(dashes + 1, args.end());
    args.erase(dashes, args.end());
  }
  if (args.size() < 2) return Usage("no command given");
  if (args[1][0] != '-' && args[1] != "info" && args[1] != "set" && args[1] != "remove" &&
      args[1] != "update" && args[1] != "remove-tags")
    return Usage("unknown command '" + args[1] + "'");
  std::vector<char*> pointers;
  for (std::string& arg : args) pointers.push_back(arg.data());

  CLI::App app("Inspect and edit the ID3 tags of MP3 files, and run batch jobs over them.",
               "tagmora-cli");
  app.footer(kDetails);
  app.require_subcommand(1);

  std::vector<std::string> files;
  TagChoice tags;
  CLI::App* info = app.add_subcommand("info", "print tags and stream of each FILE as JSON");
  info->add_option("FILE", files, "MP3 files");
  CLI::App* set = app.add_subcommand("set", "set tag fields: FIELD=VALUE... [--] FILE...");
  set->add_flag("--v1", tags.v1, "set the fields in the ID3v1 tag");
  set->add_flag("--v2", tags.v2, "set the fields in the ID3v2 tag");
  set->add_option("ARGS", files, "FIELD=VALUE assignments, then files");
  CLI::App* remove = app.add_subcommand("remove", "remove tags from each FILE");
  remove->add_flag("--v1", tags.v1, "remove the ID3v1 record");
  remove->add_flag("--v2", tags.v2, "remove the ID3v2 tag");
  remove->add_option("FILE", files, "MP3 files");

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

  RemoveTagsOptions removeTags{false, false, true};
  CLI::App* removeTagsCommand =
      app.add_subcommand("remove-tags", "remove the tags of every ITEM (both without a choice)");
  removeTagsCommand->add_flag("--v1", removeTags.removeV1, "remove only ID3v1 tags");
  removeTagsCommand->add_flag("--v2", removeTags.removeV2, "remove only ID3v2 tags");
  removeTagsCommand->add_flag("--no-readonly", noReadOnly, "leave read-only files alone");
  AddJobOptions(*removeTagsCommand, run);

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
  if ((updateCommand->parsed() || removeTagsCommand->parsed()) && run.items.empty())
    return Usage("no ITEM given: name MP3 files or .m3u playlists");

  if (info->parsed()) return Info(files);
  if (set->parsed()) return Set(tags, files);
  if (remove->parsed()) return Remove(tags, files);
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
    TThreadUpdate job(update);
    return Job(job, run);
  }
  if (!removeTags.removeV1 && !removeTags.removeV2) removeTags.removeV1 = removeTags.removeV2 = true;
  removeTags.writeReadOnly = !noReadOnly;
  TThreadRemoveTags job(removeTags);
  return Job(job, run);
}

}  // namespace
}  // namespace tagmora::cli

int main(int argc, char** argv) { return tagmora::cli::Run(argc, argv); }
