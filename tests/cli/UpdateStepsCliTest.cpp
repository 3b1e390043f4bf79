// tagmora-cli update's step options drive the same job as the window: the
// command and the job model, given the same steps, leave the same tags.

#include "jobs/StepsFixture.h"
#include "platform/FileSystem.h"
#include "support/JsonReader.h"

namespace tagmora {
namespace {

using test::ShellQuote;

TEST(UpdateStepsCli, StepsGiveWhatTheJobGives) {
  test::TempDir dir;
  const char* names[] = {"my_artist - the SONG_title.mp3", "Only A Name.mp3", "A - B - C.mp3"};
  IDv2Tag v2;
  v2.Exists = true;
  v2.Artist = "Tagged";
  v2.Composer = "J.S. BACH";
  std::vector<std::string> byCli, byModel;
  ASSERT_TRUE(CreateFolder(dir / "cli") && CreateFolder(dir / "model"));
  for (const char* name : names) {
    byCli.push_back(dir / "cli/" + name);
    byModel.push_back(dir / "model/" + name);
    test::MakeTagged(byCli.back(), {}, v2);
    test::CopyFile(byCli.back(), byModel.back());
  }
  const std::vector<SearchReplaceRule> rules = {{true, {"_", " ", "Title Artist"}},
                                                {false, {"song", "x", "Title"}},
                                                {true, {"song", "Tune", "title"}}};
  test::WriteFile(dir / "rules.ini",
                  "[SearchAndReplace]\nItemsCount=3\nItemsStringsCount=3\n"
                  "Item0Checked=1\nItem0String0=_\nItem0String1=\" \"\nItem0String2=Title Artist\n"
                  "Item1Checked=0\nItem1String0=song\nItem1String1=x\nItem1String2=Title\n"
                  "Item2Checked=1\nItem2String0=song\nItem2String1=Tune\nItem2String2=title\n");

  std::string command = ShellQuote(test::CliPath()) +
                        " update --json --v2 --get-title --get-artist --replace-artist"
                        " --fallback-title --case-title=words --case-artist=upper"
                        " --case-composer=lower --rules=" + ShellQuote(dir / "rules.ini");
  for (const std::string& path : byCli) command += " " + ShellQuote(path);
  test::CommandResult run = test::RunCommand(command);
  EXPECT_EQ(run.exitCode, 1);

  UpdateOptions options;
  options.replaceV2 = true;
  AutoCompleteOptions& complete = options.autoComplete;
  complete.enabled = complete.getTitle = complete.getArtist = complete.fallbackTitle = true;
  complete.artistIfMissing = false;
  options.stringFormat.enabled = true;
  options.stringFormat.formats[0] = CaseFormat::EachWord;
  options.stringFormat.formats[1] = CaseFormat::Upper;
  options.stringFormat.formats[4] = CaseFormat::Lower;
  options.searchReplace = true;
  options.rules = rules;
  std::vector<std::string> errors = test::RunUpdate(options, byModel);

  for (size_t i = 0; i < std::size(names); ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(test::V1Of(byCli[i]), test::V1Of(byModel[i]));
    IDv2Tag cli = test::V2Of(byCli[i]), model = test::V2Of(byModel[i]);
    cli.Size = model.Size;
    EXPECT_EQ(cli, model);
  }
  // The first file shows the steps in their order: case, then the rules.
  const IDv2Tag first = test::V2Of(byCli[0]);
  EXPECT_EQ((std::vector<std::string>{first.Title, first.Artist, first.Composer}),
            (std::vector<std::string>{"The Tune title", "MY ARTIST", "j.s. bach"}));
  EXPECT_EQ(test::V1Of(byCli[1]).Title, "Only A Name");

  std::vector<std::string> printed;
  size_t begin = 0;
  for (size_t end; (end = run.output.find('\n', begin)) != std::string::npos; begin = end + 1) {
    test::Json line = test::ParseJson(run.output.substr(begin, end - begin));
    if (!line["error"].IsNull())
      printed.push_back(line["error"].string + " | " + line["path"].string);
  }
  for (std::string& error : errors) error.replace(error.find("/model/"), 7, "/cli/");
  EXPECT_EQ(printed, errors);
  EXPECT_EQ(errors.size(), 2u);
}

TEST(UpdateStepsCli, RefusesStepOptionsThatCannotWork) {
  test::TempDir dir;
  test::MakeMp3(dir / "a.mp3", 0.2);
  const std::string file = " " + ShellQuote(dir / "a.mp3") + " 2>&1";
  for (const char* args : {"--replace-title", "--fallback-replace-artist --get-artist",
                           "--separator1=x", "--get-title --separator2=12345678901",
                           "--case-album=title", "--rules=/no/such.ini"}) {
    test::CommandResult run =
        test::RunCommand(ShellQuote(test::CliPath()) + " update " + args + file);
    EXPECT_EQ(run.exitCode, 2) << args << run.output;
  }
  EXPECT_EQ(test::ReadFile(dir / "a.mp3").find("TAG"), std::string::npos);
}

}  // namespace
}  // namespace tagmora
