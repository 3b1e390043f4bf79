#include "app/Settings.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "app/MainWindowModel.h"
#include "app/PlayerControls.h"
#include "platform/IniFile.h"
#include "playlist/AddFoldersModel.h"
#include "playlist/M3U.h"
#include "playlist/Playlist.h"

namespace tagmora {

namespace {

std::string GetLastDir(MainWindowModel& model) { return model.AddFolders().RememberedFolder(); }
void SetLastDir(MainWindowModel& model, const std::string& folder) {
  model.AddFolders().SetRememberedFolder(folder.empty() ? model.ProgramFolder() + "/" : folder);
}

bool ParseInteger(const std::optional<std::string>& text, long& value);

// "Player" "Volume": the volume knob as a percentage, in the locale's
// number format. Written only; the knob follows the mixer at start-up.
std::string GetVolumeKnob(MainWindowModel& model) {
  const int x = model.Controls()["Image_ScrollVolume"].Index();
  char text[32];
  std::snprintf(text, sizeof text, "%.15g",
                (x - kVolumeTrackMin) * 100.0 / (kVolumeTrackMax - kVolumeTrackMin));
  return text;
}
void IgnoreVolumeKnob(MainWindowModel&, const std::string&) {}

// "Sound" "Volume" is the last of the mixer's keys: with it in place the
// player shows the chosen line and places the volume knob.
void SetVolumeControl(MainWindowModel& model, const std::string& stored) {
  long index;
  if (!ParseInteger(stored, index)) index = 0;
  model.OptionsControls()["ComboBoxVolume"].SetIndex(static_cast<int>(index));
  if (PlayerCommands* player = model.Player()) player->SoundSettingsLoaded();
}

ControlSet& FormOf(MainWindowModel& model, SettingForm form) {
  return form == SettingForm::Options ? model.OptionsControls() : model.Controls();
}

bool ParseInteger(const std::optional<std::string>& text, long& value) {
  if (!text || text->empty()) return false;
  errno = 0;
  char* end = nullptr;
  long parsed = std::strtol(text->c_str(), &end, 10);
  if (errno || *end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX) return false;
  value = parsed;
  return true;
}

long ReadInteger(const IniFile& ini, const char* section, const std::string& key, long fallback) {
  long value;
  return ParseInteger(ini.Read(section, key), value) ? value : fallback;
}

void Apply(MainWindowModel& model, const IniFile& ini, const SettingKey& row) {
  std::optional<std::string> stored = ini.Read(row.section, row.key);
  if (row.set) {
    row.set(model, stored.value_or(row.defaultValue));
    return;
  }
  long fallback = std::atol(row.defaultValue);
  std::vector<Control*> targets{&FormOf(model, row.form)[row.control]};
  if (row.twin) targets.push_back(&FormOf(model, row.twinForm)[row.twin]);
  for (Control* control : targets) {
    switch (row.type) {
      case SettingType::Boolean: {
        long value;
        control->SetChecked(ParseInteger(stored, value) ? value != 0 : fallback != 0);
        break;
      }
      case SettingType::Integer: {
        long value;
        if (!ParseInteger(stored, value)) value = fallback;
        // A page that does not exist would leave the window without one.
        if (control->Kind() == ControlKind::PageControl &&
            (value < 0 || value >= static_cast<long>(kPages.size())))
          value = fallback;
        control->SetIndex(static_cast<int>(value));
        break;
      }
      case SettingType::String:
        control->SetText(stored.value_or(row.defaultValue));
        break;
    }
  }
}

std::string Stored(MainWindowModel& model, const SettingKey& row) {
  if (row.get) return row.get(model);
  Control& control = FormOf(model, row.form)[row.control];
  switch (row.type) {
    case SettingType::Boolean: return control.Checked() ? "1" : "0";
    case SettingType::Integer: return std::to_string(control.Index());
    default: return control.Text();
  }
}

std::string RuleKey(size_t rule, const char* what, size_t text = SIZE_MAX) {
  std::string key = "Item" + std::to_string(rule) + what;
  if (text != SIZE_MAX) key += std::to_string(text);
  return key;
}

constexpr const char* kRules = "SearchAndReplace";

// Only three texts are used; a damaged count must not make loading or
// saving walk through billions of keys.
constexpr long kMaxRuleTexts = 64;

long RuleTextCount(const IniFile& ini) {
  return std::min(ReadInteger(ini, kRules, "ItemsStringsCount", 0), kMaxRuleTexts);
}

// False when a write failed.
bool SaveRules(MainWindowModel& model, IniFile& ini) {
  long oldCount = ReadInteger(ini, kRules, "ItemsCount", 0);
  long oldTexts = RuleTextCount(ini);
  for (long i = 0; i < oldCount; ++i) {
    if (!ini.Read(kRules, RuleKey(i, "Checked"))) break;
    if (!ini.DeleteKey(kRules, RuleKey(i, "Checked"))) return false;
    for (long j = 0; j < oldTexts; ++j)
      if (!ini.DeleteKey(kRules, RuleKey(i, "String", j))) return false;
  }
  const std::vector<SearchReplaceRule>& rules = model.Rules();
  if (!ini.Write(kRules, "ItemsCount", std::to_string(rules.size()))) return false;
  if (!rules.empty() &&
      !ini.Write(kRules, "ItemsStringsCount", std::to_string(rules.front().texts.size())))
    return false;
  for (size_t i = 0; i < rules.size(); ++i) {
    if (!ini.Write(kRules, RuleKey(i, "Checked"), rules[i].checked ? "1" : "0")) return false;
    for (size_t j = 0; j < rules[i].texts.size(); ++j)
      if (!ini.Write(kRules, RuleKey(i, "String", j), rules[i].texts[j])) return false;
  }
  return true;
}

// Keys that are all off mean the group's button without a key was chosen
// ("Delete the new file !!!"): the last of its group.
void CompleteRadioGroups(ControlSet& controls) {
  std::map<std::string, Control*> last;
  std::set<std::string> chosen;
  for (Control* control : controls.All()) {
    if (control->Kind() != ControlKind::RadioButton) continue;
    last[control->RadioGroup()] = control;
    if (control->Checked()) chosen.insert(control->RadioGroup());
  }
  for (auto& [group, control] : last)
    if (!chosen.count(group)) control->SetChecked(true);
}

}  // namespace

std::vector<SearchReplaceRule> ReadRules(const IniFile& ini) {
  std::vector<SearchReplaceRule> rules;
  long count = ReadInteger(ini, kRules, "ItemsCount", 0);
  long texts = RuleTextCount(ini);
  for (long i = 0; i < count; ++i) {
    // Every saved rule has its check key: a rule without one means a
    // damaged count, which must not make the start-up endless.
    std::optional<std::string> checked = ini.Read(kRules, RuleKey(i, "Checked"));
    if (!checked) break;
    SearchReplaceRule rule;
    long value;
    rule.checked = ParseInteger(checked, value) && value != 0;
    for (long j = 0; j < texts; ++j)
      rule.texts.push_back(ini.Read(kRules, RuleKey(i, "String", j)).value_or(""));
    rules.push_back(std::move(rule));
  }
  return rules;
}

const std::vector<SettingKey>& SettingKeys() {
  using T = SettingType;
  using F = SettingForm;
  // Keys of controls that later pages bring are added here, one line each,
  // in the order of the file.
  static const std::vector<SettingKey> keys = {
      {"Form1", "ActivePage", T::Integer, "0", F::Main, "PageControl1"},
      {"FormOptions", "ShowPlayer", T::Boolean, "0", F::Options, "CheckBoxShowPlayer"},
      {"FormOptions", "KeepModificationTime", T::Boolean, "0", F::Options, kKeepMtimeCheckBox},
      // The player and its mixer.
      {"Player", "Volume", T::String, "", F::Main, nullptr, F::Main, nullptr, GetVolumeKnob,
       IgnoreVolumeKnob},
      {"Player", "Shuffle", T::Boolean, "0", F::Main, "Image_Shuffle"},
      {"Player", "Repeat", T::Boolean, "0", F::Main, "Image_Repeat"},
      {"Sound", "Mixer", T::Integer, "0", F::Options, "ComboBoxMixer"},
      {"Sound", "Volume", T::Integer, "0", F::Options, "ComboBoxVolume", F::Main, nullptr,
       nullptr, SetVolumeControl},
      {"Errors", "Flash", T::Boolean, "1", F::Main, "FlashErrorsTabonerror1", F::Options,
       "CheckBoxFlash"},
      {"Errors", "Beep", T::Boolean, "1", F::Main, "Beeponerror1", F::Options, "CheckBoxBeep"},
      {"MultiTagger", "RemoveReadOnly", T::Boolean, "1", F::Main, "CheckReadOnly"},
      // ID3v2 before ID3v1: the page never lets both be off, so a stored
      // "ID3v1 off, ID3v2 on" must find ID3v2 on when ID3v1 goes off.
      {"MultiTagger", "ReplaceID3v2", T::Boolean, "0", F::Main, "CheckBoxID3v2"},
      {"MultiTagger", "ReplaceID3v1", T::Boolean, "1", F::Main, "CheckBoxID3v1"},
      {"MultiTagger", "DisableSettings", T::Boolean, "1", F::Main, "CheckBoxDisableSettings"},
      {"StringFormat", "TitleFormat", T::Integer, "0", F::Main, "ComboBoxTitleFormat"},
      {"StringFormat", "ArtistFormat", T::Integer, "0", F::Main, "ComboBoxArtistFormat"},
      {"StringFormat", "AlbumFormat", T::Integer, "0", F::Main, "ComboBoxAlbumFormat"},
      {"StringFormat", "CommentFormat", T::Integer, "0", F::Main, "ComboBoxCommentFormat"},
      {"StringFormat", "ComposerFormat", T::Integer, "0", F::Main, "ComboBoxComposerFormat"},
      {"StringFormat", "EncoderFormat", T::Integer, "0", F::Main, "ComboBoxEncoderFormat"},
      {"MultiRename", "ID3v1Priority", T::Boolean, "0", F::Main, "RadioID3v1Priority"},
      {"MultiRename", "ID3v2Priority", T::Boolean, "1", F::Main, "RadioID3v2Priority"},
      {"MultiRename", "DontReplace", T::Boolean, "0", F::Main, "RadioDontReplace"},
      {"MultiRename", "Replace", T::Boolean, "0", F::Main, "RadioReplace"},
      {"MultiRename", "AddText", T::Boolean, "1", F::Main, "RadioAdd"},
      {"MultiRename", "AddedText", T::String, kDefaultAddedText, F::Main, "EditAdd"},
      {"AutoComplete", "ManualCompleteIfMissing", T::Boolean, "1", F::Main,
       "Completeonlyiftheyaremissing1"},
      {"AutoComplete", "CompleteTitleIfMissing", T::Boolean, "1", F::Main, "CheckBoxMissingTitle"},
      {"AutoComplete", "CompleteArtistIfMissing", T::Boolean, "1", F::Main,
       "CheckBoxMissingArtist"},
      {"FormOpen", "LastDir", T::String, "", F::Main, nullptr, F::Main, nullptr, GetLastDir,
       SetLastDir},
  };
  return keys;
}

void LoadSettings(MainWindowModel& model) {
  try {
    IniFile ini(model.SettingsPath());
    for (const SettingKey& row : SettingKeys()) Apply(model, ini, row);
    std::vector<SearchReplaceRule> rules = ReadRules(ini);
    if (!rules.empty()) {
      model.Rules().insert(model.Rules().end(), rules.begin(), rules.end());
      model.RulesChanged();
    }
  } catch (...) {
    // A value that cannot be applied ends the loading here.
  }
  CompleteRadioGroups(model.Controls());
  // The playlist comes back even when the settings did not.
  try {
    ReadM3U(model.PlaylistPath(), model.PlayList(), true);
  } catch (...) {
  }
}

void SaveSettings(MainWindowModel& model) {
  try {
    IniFile ini(model.SettingsPath());
    bool written = true;
    for (const SettingKey& row : SettingKeys()) {
      written = ini.Write(row.section, row.key, Stored(model, row));
      if (!written) break;
    }
    if (written) SaveRules(model, ini);
  } catch (...) {
    // Nothing is reported: the keys written so far stay written.
  }
  // The playlist is saved even when the settings could not be: losing
  // the user's list is worse than losing an option.
  std::string answer;
  try {
    answer = WriteM3U(model.PlaylistPath(), model.PlayList());
  } catch (const std::exception& failure) {
    answer = failure.what();
  }
  if (answer != "OK")
    model.User().Show({kProgramName, answer, MessageIcon::None, MessageButtons::Ok});
}

std::string ProgramFolder() {
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return ".";
  std::string path(buffer, static_cast<size_t>(n));
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string SettingsFolder(const std::string& programFolder) {
  if (::access(programFolder.c_str(), W_OK) == 0) return programFolder;
  std::string base;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
    base = config;
  else if (const char* home = std::getenv("HOME"); home && home[0])
    base = std::string(home) + "/.config";
  else
    return programFolder;
  std::string folder = base + "/tagmora";
  // Each missing level in turn, as mkdir -p would.
  for (size_t pos = 1; pos != std::string::npos;) {
    pos = folder.find('/', pos + 1);
    ::mkdir(folder.substr(0, pos).c_str(), 0700);
  }
  return folder;
}

}  // namespace tagmora
