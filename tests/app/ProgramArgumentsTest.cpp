#include "app/ProgramArguments.h"

#include <gtest/gtest.h>

#include "platform/FileSystem.h"

namespace tagmora {
namespace {

using Action = ProgramArguments::Action;

TEST(ProgramArgumentsTest, OptionsAndAbsolutePaths) {
  const std::string here = AbsolutePath("");
  struct Case {
    std::vector<std::string> args;
    Action action;
    std::vector<std::string> paths;
    std::string refusal;
  };
  const Case cases[] = {
      {{}, Action::Open, {}, ""},
      {{"/m/a.mp3", "music", "./list.m3u", "music/../b.mp3", ""},
       Action::Open,
       {"/m/a.mp3", here + "/music", here + "/list.m3u", here + "/b.mp3"},
       ""},
      {{"a.mp3", "--version", "--help"}, Action::Version, {here + "/a.mp3"}, ""},
      {{"--", "--help", "-x.mp3"}, Action::Open, {here + "/--help", here + "/-x.mp3"}, ""},
      {{"-x", "--help"}, Action::Refuse, {}, "unknown option '-x'"},
      {{"-"}, Action::Refuse, {}, "unknown option '-'"},
  };
  for (const Case& c : cases) {
    ProgramArguments parsed = ParseProgramArguments(c.args);
    EXPECT_EQ(parsed.action, c.action) << ::testing::PrintToString(c.args);
    EXPECT_EQ(parsed.paths, c.paths) << ::testing::PrintToString(c.args);
    EXPECT_EQ(parsed.refusal, c.refusal);
  }
}

}  // namespace
}  // namespace tagmora
