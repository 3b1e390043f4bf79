#include "cli/StepOptions.h"

#include <algorithm>
#include <cerrno>

#include "app/Settings.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/TextCodec.h"

namespace tagmora::cli {

namespace {

// The auto-complete flags: the option each sets, and the flag without
// which it would change nothing.
struct CompleteFlag {
  const char* name;
  bool AutoCompleteOptions::*option;
  bool value;
  const char* needs;
  const char* help;
};
constexpr CompleteFlag kCompleteFlags[] = {
    {"--get-title", &AutoCompleteOptions::getTitle, true, nullptr,
     "take the title from the file name"},
    {"--get-artist", &AutoCompleteOptions::getArtist, true, nullptr,
     "take the artist from the file name"},
    {"--replace-title", &AutoCompleteOptions::titleIfMissing, false, "--get-title",
     "replace a title the tag holds (by default only a missing one is set)"},
    {"--replace-artist", &AutoCompleteOptions::artistIfMissing, false, "--get-artist",
     "replace an artist the tag holds"},
    {"--fallback-title", &AutoCompleteOptions::fallbackTitle, true, "--get-title",
     "without a separator in the name, the title is the file name"},
    {"--fallback-artist", &AutoCompleteOptions::fallbackArtist, true, "--get-artist",
     "without a separator in the name, the artist is the file name"},
    {"--fallback-replace-title", &AutoCompleteOptions::fallbackTitleIfMissing, false,
     "--fallback-title", "the file name replaces a title the tag holds"},
    {"--fallback-replace-artist", &AutoCompleteOptions::fallbackArtistIfMissing, false,
     "--fallback-artist", "the file name replaces an artist the tag holds"},
};

std::string SeparatorOption(size_t i) { return "--separator" + std::to_string(i + 1); }

std::string CaseOption(size_t box) {
  return std::string("--case-") + kMultiTagFields[kStringFormatFields[box]].name;
}

}  // namespace

void StepOptions::AddTo(CLI::App& command) {
  for (const CompleteFlag& flag : kCompleteFlags) command.add_flag(flag.name, flag.help);
  for (size_t i = 0; i < separators_.size(); ++i)
    command.add_option(SeparatorOption(i), separators_[i],
                       std::string("separator of artist and title in file names (default \"") +
                           kFileSeparators[i].second + "\")");
  const std::vector<std::string> modes(kCaseFormatNames.begin(), kCaseFormatNames.end());
  for (size_t box = 0; box < cases_.size(); ++box)
    command.add_option(CaseOption(box), cases_[box], "letter case of the field")
        ->check(CLI::IsMember(modes));
  command.add_option("--rules", rules_,
                     "apply the search-and-replace rules of the \"SearchAndReplace\" section "
                     "of this INI file (settings.ini works)");
}

std::string StepOptions::Apply(const CLI::App& command, UpdateOptions& options) const {
  AutoCompleteOptions& complete = options.autoComplete;
  for (const CompleteFlag& flag : kCompleteFlags) {
    if (command.count(flag.name) == 0) continue;
    if (flag.needs && command.count(flag.needs) == 0)
      return std::string(flag.name) + " needs " + flag.needs;
    complete.*flag.option = flag.value;
  }
  complete.enabled = complete.getTitle || complete.getArtist;
  for (size_t i = 0; i < separators_.size(); ++i) {
    const std::string name = SeparatorOption(i);
    if (command.count(name) == 0) continue;
    if (!complete.enabled) return name + " needs --get-title or --get-artist";
    if (Utf8Length(separators_[i]) > size_t(kFileSeparatorMaxLength))
      return name + " takes at most " + std::to_string(kFileSeparatorMaxLength) + " characters";
    (i == 0 ? complete.separator1 : complete.separator2) = separators_[i];
  }

  for (size_t box = 0; box < cases_.size(); ++box) {
    if (command.count(CaseOption(box)) == 0) continue;
    const auto mode = std::find(kCaseFormatNames.begin(), kCaseFormatNames.end(), cases_[box]);
    options.stringFormat.formats[box] = CaseFormat(mode - kCaseFormatNames.begin());
    options.stringFormat.enabled = true;
  }

  if (command.count("--rules")) {
    // The INI layer reads a missing file as an empty one: a mistyped
    // name must not pass for a file without rules.
    std::string bytes;
    if (int error = ReadWholeFile(rules_, bytes))
      return "--rules: cannot read " + rules_ + ": " + SystemErrorText(error);
    options.rules = ReadRules(IniFile(rules_));
    options.searchReplace = true;
  }
  return "";
}

}  // namespace tagmora::cli
