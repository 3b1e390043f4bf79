#pragma once
// The update command's options for the three processing steps of the
// "Multi Tagger" page: auto-complete from file names, the string format
// and the search-and-replace rules of an INI file.

#include <CLI/CLI.hpp>

#include <array>
#include <string>

#include "jobs/UnitThreadUpdate.h"

namespace tagmora::cli {

class StepOptions {
 public:
  void AddTo(CLI::App& command);
  // Fills the steps' options from what was given: "" when they are
  // sound, else the message for bad arguments.
  std::string Apply(const CLI::App& command, UpdateOptions& options) const;

 private:
  std::array<std::string, 2> separators_;
  std::array<std::string, kStringFormatBoxes.size()> cases_;
  std::string rules_;
};

}  // namespace tagmora::cli
