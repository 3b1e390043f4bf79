#include "app/Settings.h"

#include <cstdlib>
#include <sys/stat.h>

#include "app/Fakes.h"
#include "app/MainWindowModel.h"
#include "playlist/AddFoldersModel.h"
#include "playlist/Playlist.h"
#include "support/TestSupport.h"

namespace tagmora {
namespace {

using test::FakePoster;
using test::FakeUser;

// A model as the program makes it, started up against a folder.
struct Program {
  explicit Program(const std::string& folder) : model(user, poster, folder, folder) {}
  void Start() { poster.Advance(1); }
  Control& Main(const char* name) { return model.Controls()[name]; }
  Control& Option(const char* name) { return model.OptionsControls()[name]; }

  FakeUser user;
  FakePoster poster;
  MainWindowModel model;
};

// Every key's value as SaveSettings would store it.
std::vector<std::string> KeyValues(MainWindowModel& model) {
  std::vector<std::string> values;
  for (const SettingKey& key : SettingKeys()) {
    if (key.get) {
      values.push_back(key.get(model));
      continue;
    }
    ControlSet& form = key.form == SettingForm::Options ? model.OptionsControls() : model.Controls();
    Control& control = form[key.control];
    values.push_back(std::to_string(control.Checked()) + "/" + std::to_string(control.Index()) +
                     "/" + control.Text());
    if (key.twin) {
      ControlSet& twinForm =
          key.twinForm == SettingForm::Options ? model.OptionsControls() : model.Controls();
      EXPECT_EQ(twinForm[key.twin].Checked(), control.Checked()) << key.key;
    }
  }
  return values;
}

TEST(SettingsTest, EveryKeyAndThePlaylistComeBackInAFreshModel) {
  test::TempDir dir;
  std::vector<std::string> saved;
  {
    Program first(dir.Path());
    first.Start();
    first.Main("PageControl1").SetIndex(3);
    first.Option("CheckBoxShowPlayer").Click();
    first.Option("CheckBoxKeepMtime").Click();
    first.Main("FlashErrorsTabonerror1").Click();
    first.Option("CheckBoxBeep").Click();
    first.Main("Completeonlyiftheyaremissing1").SetChecked(false);
    first.model.AddFolders().SetRememberedFolder("/music/new ones/");
    first.model.Rules() = {{true, {" - ", "-", "\"quoted\""}}, {false, {"a", "", "  b"}}};
    first.model.PlayList().AppendAll({"/m/a.mp3", "/m/b.mp3", "/m/a.mp3"});
    saved = KeyValues(first.model);
    first.model.Close();
    EXPECT_TRUE(first.user.boxes.empty());
  }
  Program second(dir.Path());
  EXPECT_NE(KeyValues(second.model), saved);
  second.Start();
  EXPECT_EQ(KeyValues(second.model), saved);
  EXPECT_EQ(second.model.Rules(),
            (std::vector<SearchReplaceRule>{{true, {" - ", "-", "\"quoted\""}},
                                            {false, {"a", "", "  b"}}}));
  EXPECT_EQ(second.model.PlayList().Items(),
            (std::vector<std::string>{"/m/a.mp3", "/m/b.mp3", "/m/a.mp3"}));
}

TEST(SettingsTest, WritesThePlainKeysOfTheTable) {
  test::TempDir dir;
  Program program(dir.Path());
  program.Start();
  program.model.Rules() = {{true, {"x", "y", "z"}}};
  program.model.Close();
  std::string ini = test::ReadFile(dir / "settings.ini");
  EXPECT_EQ(ini,
            "[Form1]\nActivePage=0\n\n"
            "[FormOptions]\nShowPlayer=0\nKeepModificationTime=0\n\n"
            "[Player]\nVolume=50\nShuffle=0\nRepeat=0\n\n"
            "[Sound]\nMixer=0\nVolume=0\n\n"
            "[Errors]\nFlash=1\nBeep=1\n\n"
            "[MultiTagger]\nRemoveReadOnly=1\nReplaceID3v2=0\nReplaceID3v1=1\nDisableSettings=1\n\n"
            "[StringFormat]\nTitleFormat=0\nArtistFormat=0\nAlbumFormat=0\nCommentFormat=0\n"
            "ComposerFormat=0\nEncoderFormat=0\n\n"
            "[MultiRename]\nID3v1Priority=0\nID3v2Priority=1\nDontReplace=0\nReplace=0\nAddText=1\n"
            "AddedText=_copy_\n\n"
            "[AutoComplete]\nManualCompleteIfMissing=1\nCompleteTitleIfMissing=1\n"
            "CompleteArtistIfMissing=1\n\n"
            "[FormOpen]\nLastDir=" + dir.Path() + "/\n\n"
            "[SearchAndReplace]\nItemsCount=1\nItemsStringsCount=3\nItem0Checked=1\n"
            "Item0String0=x\nItem0String1=y\nItem0String2=z\n");
}

TEST(SettingsTest, MissingSectionsKeepWhatTheWindowMade) {
  test::TempDir dir;
  test::WriteFile(dir / "settings.ini", "[Errors]\nFlash=0\n");
  Program program(dir.Path());
  program.model.Rules().push_back({true, {"made", "by", "window"}});
  program.Start();
  EXPECT_FALSE(program.Main("FlashErrorsTabonerror1").Checked());
  EXPECT_FALSE(program.Option("CheckBoxFlash").Checked());
  EXPECT_TRUE(program.Main("Beeponerror1").Checked());
  EXPECT_TRUE(program.Option("CheckBoxBeep").Checked());
  EXPECT_EQ(program.Main("PageControl1").Index(), 0);
  EXPECT_EQ(program.model.Rules().size(), 1u);
  EXPECT_EQ(program.model.PlayList().Count(), 0);
}

TEST(SettingsTest, UnreadableValuesTakeTheirDefaults) {
  test::TempDir dir;
  test::WriteFile(dir / "settings.ini",
                  "[Form1]\nActivePage=9\n[FormOptions]\nShowPlayer=yes\n"
                  "[Errors]\nFlash=\nBeep=2\n");
  Program program(dir.Path());
  program.Start();
  EXPECT_EQ(program.Main("PageControl1").Index(), 0);
  EXPECT_FALSE(program.Option("CheckBoxShowPlayer").Checked());
  EXPECT_TRUE(program.Main("FlashErrorsTabonerror1").Checked());
  EXPECT_TRUE(program.Main("Beeponerror1").Checked());  // any integer but 0 is true
}

TEST(SettingsTest, RuleKeysFollowTheCounts) {
  test::TempDir dir;
  // Three old rules of four texts; String3 lies beyond the new count.
  std::string old = "[SearchAndReplace]\nItemsCount=3\nItemsStringsCount=4\n";
  for (int i = 0; i < 3; ++i)
    for (const char* key : {"Checked", "String0", "String1", "String2", "String3"})
      old += "Item" + std::to_string(i) + key + "=" + (key[0] == 'C' ? "1" : "t") + "\n";
  test::WriteFile(dir / "settings.ini", old);
  {
    Program program(dir.Path());
    program.Start();
    ASSERT_EQ(program.model.Rules().size(), 3u);
    EXPECT_EQ(program.model.Rules()[0].texts.size(), 4u);
    program.model.Rules() = {{false, {"a", "b", "c"}}};
    program.model.Close();
  }
  std::string ini = test::ReadFile(dir / "settings.ini");
  EXPECT_NE(ini.find("ItemsCount=1\n"), std::string::npos);
  EXPECT_NE(ini.find("ItemsStringsCount=3\n"), std::string::npos);
  EXPECT_NE(ini.find("Item0Checked=0\nItem0String0=a\nItem0String1=b\nItem0String2=c\n"),
            std::string::npos);
  EXPECT_EQ(ini.find("Item1"), std::string::npos);
  EXPECT_EQ(ini.find("Item2"), std::string::npos);

  // A larger count of texts gives every rule that many, missing ones empty.
  test::WriteFile(dir / "settings.ini",
                  "[SearchAndReplace]\nItemsCount=1\nItemsStringsCount=5\nItem0Checked=1\n"
                  "Item0String0=x\n");
  Program again(dir.Path());
  again.Start();
  ASSERT_EQ(again.model.Rules().size(), 1u);
  EXPECT_EQ(again.model.Rules()[0].texts, (std::vector<std::string>{"x", "", "", "", ""}));
}

TEST(SettingsTest, ADamagedRuleCountDoesNotHangTheStart) {
  test::TempDir dir;
  test::WriteFile(dir / "settings.ini",
                  "[SearchAndReplace]\nItemsCount=2000000000\nItemsStringsCount=3\n"
                  "Item0Checked=1\nItem0String0=a\n");
  Program program(dir.Path());
  program.Start();
  EXPECT_EQ(program.model.Rules().size(), 1u);
}

TEST(SettingsTest, ThePlaylistIsSavedEvenWhenTheSettingsCannotBe) {
  test::TempDir dir;
  Program program(dir.Path());
  program.Start();
  program.model.PlayList().Append("/m/a.mp3");
  // A folder where the settings file should be: its writes fail.
  ASSERT_EQ(::mkdir((dir / "settings.ini.new").c_str(), 0700), 0);
  program.model.Close();
  EXPECT_EQ(test::ReadFile(dir / "playlist.m3u"), "#EXTM3U\r\n/m/a.mp3\r\n");
  EXPECT_TRUE(program.user.boxes.empty());
}

TEST(SettingsTest, AFailedPlaylistSaveIsShown) {
  test::TempDir dir;
  Program program(dir / "gone");
  program.Start();
  program.model.Close();
  ASSERT_EQ(program.user.boxes.size(), 1u);
  EXPECT_EQ(program.user.boxes[0].icon, MessageIcon::None);
  EXPECT_EQ(program.user.boxes[0].text, "File not found. No such file or directory.File: " +
                                            dir.Path() + "/gone/playlist.m3u");
}

TEST(SettingsTest, AnUnwritableProgramFolderSendsTheSettingsToTheUsersConfig) {
  test::TempDir dir;
  EXPECT_EQ(SettingsFolder(dir.Path()), dir.Path());
  const char* old = std::getenv("XDG_CONFIG_HOME");
  std::string saved = old ? old : "";
  ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
  std::string folder = SettingsFolder(dir / "no/such/program/folder");
  if (old) ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(folder, dir / "config/tagmora");
  struct stat st;
  EXPECT_EQ(::stat(folder.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
}

}  // namespace
}  // namespace tagmora
