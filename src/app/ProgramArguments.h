#pragma once
// The desktop program's command line: "tagmora [OPTION]… [FILE|FOLDER|PLAYLIST]…".

#include <string>
#include <vector>

namespace tagmora {

struct ProgramArguments {
  enum class Action { Open, Help, Version, Refuse };
  Action action = Action::Open;
  // What to open, made absolute: the current folder of this start means
  // nothing to a window that is already running.
  std::vector<std::string> paths;
  std::string refusal;  // for Refuse: what was wrong
};

// args without the program's own name. Options end at "--"; a later
// argument that starts with "-" is a path.
ProgramArguments ParseProgramArguments(const std::vector<std::string>& args);

// The text of "--help".
extern const char* const kProgramUsage;

}  // namespace tagmora
