#pragma once
// "settings.ini": the user's choices between runs, read once at start-up
// and written once at closing, key by key through the INI layer; and
// "playlist.m3u" beside it for the playlist.

#include <string>
#include <vector>

#include "app/SearchReplaceRule.h"

namespace tagmora {

class IniFile;
class MainWindowModel;

inline constexpr const char* kSettingsFileName = "settings.ini";
inline constexpr const char* kPlaylistFileName = "playlist.m3u";

enum class SettingType { Boolean, Integer, String };
enum class SettingForm { Main, Options };

// One key of the settings file. Most keys keep one control's state (a
// check box's mark, a combo box's index, an edit's text, the active page);
// twin names a second control that takes the value on load. The others
// read and write through their own functions.
struct SettingKey {
  const char* section;
  const char* key;
  SettingType type;
  const char* defaultValue;  // as stored
  SettingForm form = SettingForm::Main;
  const char* control = nullptr;
  SettingForm twinForm = SettingForm::Main;
  const char* twin = nullptr;
  std::string (*get)(MainWindowModel&) = nullptr;
  void (*set)(MainWindowModel&, const std::string&) = nullptr;
};

// In the order SaveSettings writes them (the rules come after).
const std::vector<SettingKey>& SettingKeys();

// The rules of the "SearchAndReplace" section, as LoadSettings appends
// them to the list; tagmora-cli reads a rule file the same way.
std::vector<SearchReplaceRule> ReadRules(const IniFile& ini);

// Each runs inside one guard: a failure ends it silently where it happened.
void LoadSettings(MainWindowModel& model);
void SaveSettings(MainWindowModel& model);

// The folder of the running program.
std::string ProgramFolder();
// Where settings.ini and playlist.m3u live: the program's folder when it
// can be written, otherwise $XDG_CONFIG_HOME/tagmora (default
// ~/.config/tagmora), created when missing.
std::string SettingsFolder(const std::string& programFolder);

}  // namespace tagmora
