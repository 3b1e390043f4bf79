#include "app/ProgramArguments.h"

#include <array>
#include <utility>

#include "platform/FileSystem.h"

namespace tagmora {

const char* const kProgramUsage =
    "Usage: tagmora [OPTION]... [FILE|FOLDER|PLAYLIST]...\n"
    "Edits the ID3 tags of MP3 files and runs batch jobs over a playlist.\n"
    "\n"
    "Each MP3 FILE, the MP3 files of each FOLDER and its subfolders, and the\n"
    "entries of each PLAYLIST (*.m3u, *.m3u8) are added to the playlist. When\n"
    "a Tagmora window is already open, they are added to that window.\n"
    "\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n"
    "  --         end of options; what follows are paths\n";

ProgramArguments ParseProgramArguments(const std::vector<std::string>& args) {
  static constexpr std::array<std::pair<const char*, ProgramArguments::Action>, 2> kOptions = {{
      {"--help", ProgramArguments::Action::Help},
      {"--version", ProgramArguments::Action::Version},
  }};
  ProgramArguments parsed;
  bool optionsEnded = false;
  for (const std::string& arg : args) {
    if (optionsEnded || arg.empty() || arg[0] != '-') {
      if (!arg.empty()) parsed.paths.push_back(AbsolutePath(arg));
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    bool known = false;
    for (const auto& [name, action] : kOptions) {
      if (arg != name) continue;
      known = true;
      // The first of --help and --version wins, as in most programs.
      if (parsed.action == ProgramArguments::Action::Open) parsed.action = action;
    }
    if (!known && parsed.action == ProgramArguments::Action::Open) {
      parsed.action = ProgramArguments::Action::Refuse;
      parsed.refusal = "unknown option '" + arg + "'";
    }
  }
  return parsed;
}

}  // namespace tagmora
