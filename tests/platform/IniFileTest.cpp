#include "platform/IniFile.h"

#include <array>

#include "support/TestSupport.h"

namespace tagmora {
namespace {

// What Python's configparser, a plain INI reader, reads for a key.
std::string ReadWithConfigParser(const std::string& path, const std::string& section,
                                 const std::string& key) {
  std::string script =
      "import configparser,sys\n"
      "c=configparser.RawConfigParser(strict=False)\n"
      "c.optionxform=str\n"
      "c.read(sys.argv[1],encoding='utf-8')\n"
      "sys.stdout.write(c.get(sys.argv[2],sys.argv[3]))\n";
  auto result = test::RunCommand("/usr/bin/python3 -c " + test::ShellQuote(script) + " " +
                                 test::ShellQuote(path) + " " + test::ShellQuote(section) + " " +
                                 test::ShellQuote(key));
  EXPECT_EQ(result.exitCode, 0) << section << "/" << key;
  return result.output;
}

TEST(IniFileTest, WritesAFileAnyIniReaderReadsKeyByKey) {
  test::TempDir dir;
  IniFile ini(dir / "settings.ini");
  EXPECT_FALSE(ini.Read("Form1", "ActivePage"));
  const std::vector<std::array<std::string, 3>> keys = {
      {"Form1", "ActivePage", "3"},
      {"Errors", "Flash", "0"},
      {"Errors", "Beep", "1"},
      {"FormOpen", "LastDir", "/music/Rock & Roll/\xC3\xA9t\xC3\xA9/"},
      {"SearchAndReplace", "Item0String0", "a=b;c#d"},
  };
  for (const auto& [section, key, value] : keys) ASSERT_TRUE(ini.Write(section, key, value));
  for (const auto& [section, key, value] : keys) {
    EXPECT_EQ(ini.Read(section, key), value);
    EXPECT_EQ(ReadWithConfigParser(ini.Path(), section, key), value);
  }
}

TEST(IniFileTest, FindsNamesWithoutRegardToCaseAndUpdatesInPlace) {
  test::TempDir dir;
  std::string path = dir / "settings.ini";
  test::WriteFile(path, "; kept comment\r\n[errors]\r\nflash = 1\r\nOther=x\r\n\r\n[Next]\r\nA=1\r\n");
  IniFile ini(path);
  EXPECT_EQ(ini.Read("Errors", "Flash"), "1");
  ASSERT_TRUE(ini.Write("ERRORS", "FLASH", "0"));
  ASSERT_TRUE(ini.Write("Errors", "Beep", "1"));
  EXPECT_EQ(test::ReadFile(path),
            "; kept comment\n[errors]\nFLASH=0\nOther=x\nBeep=1\n\n[Next]\nA=1\n");
}

TEST(IniFileTest, ValuesWithBlanksAtTheEndsSurvive) {
  test::TempDir dir;
  IniFile ini(dir / "settings.ini");
  for (std::string value : {" - ", "  ", "\"quoted\"", "a \"b\" c", "", "tab\t"}) {
    ASSERT_TRUE(ini.Write("S", "K", value));
    EXPECT_EQ(ini.Read("S", "K"), value) << '[' << value << ']';
  }
  // A line break cannot stand in a value: it must not make a second key.
  ASSERT_TRUE(ini.Write("S", "K", "one\nInjected=1"));
  EXPECT_EQ(ini.Read("S", "K"), "one Injected=1");
  EXPECT_FALSE(ini.Read("S", "Injected"));
}

TEST(IniFileTest, DeletesKeysAndReportsWriteFailures) {
  test::TempDir dir;
  IniFile ini(dir / "settings.ini");
  ASSERT_TRUE(ini.Write("S", "A", "1"));
  ASSERT_TRUE(ini.Write("S", "B", "2"));
  EXPECT_TRUE(ini.DeleteKey("S", "a"));
  EXPECT_FALSE(ini.Read("S", "A"));
  EXPECT_EQ(ini.Read("S", "B"), "2");
  EXPECT_TRUE(ini.DeleteKey("S", "missing"));
  EXPECT_TRUE(ini.DeleteKey("Missing", "A"));

  IniFile nowhere(dir / "no/such/folder/settings.ini");
  EXPECT_FALSE(nowhere.Write("S", "A", "1"));
  EXPECT_FALSE(nowhere.Read("S", "A"));
}

}  // namespace
}  // namespace tagmora
