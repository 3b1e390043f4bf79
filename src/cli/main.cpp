// tagmora-cli: inspect and edit the ID3 tags of MP3 files from a shell.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Fields.h"
#include "cli/Recover.h"

namespace tagmora::cli {
namespace {

constexpr const char* kHelp = R"(Usage:
  tagmora-cli info FILE...
  tagmora-cli set [--v1] [--v2] [--keep-mtime] FIELD=VALUE... [--] FILE...
  tagmora-cli remove [--v1] [--v2] [--keep-mtime] FILE...
  tagmora-cli recover
  tagmora-cli --help

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

--keep-mtime  (set, remove) the files keep their modification time.

recover  finishes what tag writes that were interrupted (a crash, a kill)
         left behind, and prints one line for each: an unfinished change
         undone, or left alone because the file changed since. Every
         command does this first, reporting on standard error; recover
         exits with 1 when a file changed since or could not be undone.

Failures are printed on standard error as the status text and the file.
Exit status: 0 when every file answered "OK", 1 when any file failed,
2 for bad arguments.
)";

int Usage(const std::string& message) {
  std::fprintf(stderr, "tagmora-cli: %s\nTry 'tagmora-cli --help'.\n", message.c_str());
  return 2;
}

bool IsFieldName(const std::string& name) {
  return FindField(V1Fields(), name) || FindField(V2Fields(), name);
}

int Run(const std::vector<std::string>& args) {
  for (const auto& arg : args)
    if (arg == "--") break;
    else if (arg == "--help" || arg == "-h") {
      std::fputs(kHelp, stdout);
      return 0;
    }
  if (args.empty()) return Usage("no command given");
  const std::string& command = args[0];
  if (command != "info" && command != "set" && command != "remove" && command != "recover")
    return Usage("unknown command '" + command + "'");
  if (command == "recover")
    return args.size() == 1 ? Recover() : Usage("recover takes no arguments");

  TagChoice tags;
  WriteOptions options;
  std::vector<Assignment> assignments;
  std::vector<std::string> files;
  bool optionsEnded = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && command != "info" && (arg == "--v1" || arg == "--v2")) {
      (arg == "--v1" ? tags.v1 : tags.v2) = true;
    } else if (!optionsEnded && command != "info" && arg == "--keep-mtime") {
      options.keepModificationTime = true;
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      return Usage("unknown option '" + arg + "'");
    } else if (command == "set" && !optionsEnded && files.empty() &&
               arg.find('=') != std::string::npos) {
      std::string name = arg.substr(0, arg.find('='));
      if (!IsFieldName(name))
        return Usage("unknown field '" + name + "' (put -- before a file name with '=')");
      assignments.push_back({name, arg.substr(arg.find('=') + 1)});
    } else {
      files.push_back(arg);
      optionsEnded = optionsEnded || command == "set";
    }
  }
  if (command == "set" && assignments.empty()) return Usage("set needs FIELD=VALUE");
  if (files.empty()) return Usage(command + " needs at least one FILE");

  std::string error = command == "set" ? CheckAssignments(assignments, tags) : "";
  if (!error.empty()) return Usage(error);
  RecoverBeforeCommand();
  if (command == "info") return Info(files);
  if (command == "remove") return Remove(tags, files, options);
  return Set(assignments, tags, files, options);
}

}  // namespace
}  // namespace tagmora::cli

int main(int argc, char** argv) {
  return tagmora::cli::Run(std::vector<std::string>(argv + 1, argv + argc));
}
