// Runs the built tagmora-cli as a user's script would.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include "editing/TagAccess.h"
#include "platform/Journal.h"
#include "support/TagBytes.h"
#include "support/TestSupport.h"

namespace tagmora {
namespace {

using test::ReadFile;
using test::ShellQuote;
using test::TempDir;
using test::V1Record;
using test::WriteFile;

struct CliRun {
  int exitCode;
  std::string out;  // standard output
  std::string err;  // standard error
};

CliRun Cli(const std::string& args) {
  TempDir scratch;
  auto result = test::RunCommand(ShellQuote(test::CliPath()) + " " + args + " 2>" +
                                 ShellQuote(scratch / "err"));
  return {result.exitCode, result.output, ReadFile(scratch / "err")};
}

std::string Q(const std::string& text) { return ShellQuote(text); }

// What Python's json module makes of the output: each object's keys in
// order, nested objects as key{...}, then the chosen values.
std::string ParsedKeys(const std::string& jsonLines) {
  TempDir scratch;
  WriteFile(scratch / "in", jsonLines);
  const char* script =
      "import json,sys\n"
      "def keys(o): return ','.join(k + ('{' + keys(v) + '}' if isinstance(v, dict) else '')"
      " for k, v in o.items())\n"
      "for line in open(sys.argv[1], encoding='utf-8'):\n"
      "    print(keys(json.loads(line)))\n";
  WriteFile(scratch / "keys.py", script);
  return test::RunCommand("/usr/bin/python3 " + Q(scratch / "keys.py") + " " + Q(scratch / "in"))
      .output;
}

struct Tags {
  IDv1Tag v1;
  IDv2Tag v2;
};

Tags ReadBack(const std::string& path) {
  Tags tags;
  EXPECT_EQ(ReadTags(path, tags.v1, tags.v2), "OK");
  return tags;
}

TEST(Cli, InfoPrintsOneObjectPerFileWithEveryKey) {
  TempDir dir;
  test::MakeMp3(dir / "a.mp3");
  std::string mp3 = ReadFile(dir / "a.mp3");
  WriteFile(dir / "a.mp3", mp3 + V1Record("Title", "Artist", "", "2001", "", 0, 3, 17));
  CliRun run = Cli("info " + Q(dir / "a.mp3") + " " + Q(dir / "missing.mp3"));
  EXPECT_EQ(run.exitCode, 1);  // one file did not answer OK
  const std::string keys =
      "path,status,"
      "id3v1{exists,version_id,title,artist,album,year,comment,track,genre_id,genre},"
      "id3v2{exists,version_id,size,title,artist,album,track,year,genre,comment,composer,"
      "encoder,copyright,language,url},"
      "mpeg{valid,file_length,version,layer,vbr,bit_rate,sample_rate,channel_mode,duration,"
      "first_frame,frames,crc,copyright,original,emphasis,encoder}\n";
  EXPECT_EQ(ParsedKeys(run.out), keys + keys);
  EXPECT_NE(run.out.find("\"status\":\"OK\",\"id3v1\":{\"exists\":true,\"version_id\":2,"
                         "\"title\":\"Title\",\"artist\":\"Artist\",\"album\":\"\","
                         "\"year\":\"2001\",\"comment\":\"\",\"track\":3,\"genre_id\":17,"
                         "\"genre\":\"Rock\"}"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("\"status\":\"File does NOT exist\""), std::string::npos);
  EXPECT_NE(run.out.find("\"valid\":true,\"file_length\":" + std::to_string(mp3.size() + 128) +
                         ",\"version\":\"MPEG 1\",\"layer\":\"Layer III\""),
            std::string::npos)
      << run.out;
  EXPECT_EQ(Cli("info " + Q(dir / "a.mp3")).exitCode, 0);
}

TEST(Cli, InfoEscapesTextsForJson) {
  TempDir dir;
  // A quote, a backslash, control characters, é and the unassigned 0x81.
  std::string title = "Q\"B\\\x01\t\x7F\xE9\x81";
  WriteFile(dir / "a\"b.mp3", std::string(500, 'x') + V1Record(title));
  CliRun run = Cli("info " + Q(dir / "a\"b.mp3"));
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_NE(run.out.find("\"title\":\"Q\\\"B\\\\\\u0001\\t\\u007f\u00E9\\u0081\""),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("a\\\"b.mp3"), std::string::npos);
  // Python reads the same text back.
  TempDir scratch;
  WriteFile(scratch / "in", run.out);
  auto parsed = test::RunCommand(
      "/usr/bin/python3 -c \"import json,sys; "
      "sys.stdout.buffer.write(json.loads(open(sys.argv[1]).read())['id3v1']['title']"
      ".encode('utf-8'))\" " + Q(scratch / "in"));
  EXPECT_EQ(parsed.output, ReadBack(dir / "a\"b.mp3").v1.Title);
}

TEST(Cli, SetWritesTheNamedFieldsOfTheChosenTag) {
  TempDir dir;
  std::string path = dir / "a.mp3";
  WriteFile(path, std::string(500, 'x'));
  CliRun run = Cli("set --v1 title=" + Q("Grüße") + " track=12 genre=" + Q("hard ROCK") + " " +
                    Q(path));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  IDv1Tag v1 = ReadBack(path).v1;
  EXPECT_EQ(v1.Title, "Grüße");
  EXPECT_EQ(v1.Track, 12);
  EXPECT_EQ(v1.Genre, "Hard Rock");
  EXPECT_FALSE(ReadBack(path).v2.Exists);  // --v1 touches only ID3v1

  ASSERT_EQ(Cli("set --v1 genre_id=200 track=0 " + Q(path)).exitCode, 0);
  v1 = ReadBack(path).v1;
  EXPECT_EQ(v1.GenreId, 200);
  EXPECT_EQ(v1.VersionId, 1);
  EXPECT_EQ(v1.Title, "Grüße");  // other fields kept

  ASSERT_EQ(Cli("set --v1 exists=0 " + Q(path)).exitCode, 0);
  EXPECT_EQ(ReadFile(path), std::string(500, 'x'));
  ASSERT_EQ(Cli("set --v1 exists=1 " + Q(path)).exitCode, 0);
  EXPECT_EQ(ReadFile(path), std::string(500, 'x') + V1Record(""));
}

TEST(Cli, SetWithoutAChoiceAddsNoID3v1Record) {
  TempDir dir;
  std::string plain = dir / "plain.mp3", tagged = dir / "tagged.mp3";
  WriteFile(plain, std::string(500, 'x'));
  WriteFile(tagged, std::string(500, 'x') + V1Record("Old"));
  CliRun run = Cli("set title=New artist=Both " + Q(plain) + " " + Q(tagged));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_FALSE(ReadBack(plain).v1.Exists);
  EXPECT_EQ(ReadBack(plain).v2.Title, "New");
  EXPECT_EQ(ReadBack(tagged).v1.Title, "New");
  EXPECT_EQ(ReadBack(tagged).v1.Artist, "Both");
  EXPECT_EQ(ReadBack(tagged).v2.Artist, "Both");
  // A field only ID3v1 holds goes there even when the file has no record.
  ASSERT_EQ(Cli("set genre_id=13 " + Q(plain)).exitCode, 0);
  EXPECT_EQ(ReadBack(plain).v1.Genre, "Pop");
}

TEST(Cli, RemoveTakesAwayTheChosenTags) {
  TempDir dir;
  std::string path = dir / "a.mp3";
  std::string audio(500, 'x');
  WriteFile(path, test::Tag(3, test::TextFrame("TIT2", "T")) + audio + V1Record("T"));
  ASSERT_EQ(Cli("remove --v1 " + Q(path)).exitCode, 0);
  EXPECT_FALSE(ReadBack(path).v1.Exists);
  EXPECT_TRUE(ReadBack(path).v2.Exists);
  // A tag already absent is no failure, nor are two.
  CliRun run = Cli("remove " + Q(path));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(path), audio);
  EXPECT_EQ(Cli("remove " + Q(path)).exitCode, 0);
  EXPECT_EQ(ReadFile(path), audio);
}

TEST(Cli, FailuresNameTheFileAndSetTheExitStatus) {
  TempDir dir;
  std::string good = dir / "good.mp3", shortFile = dir / "short.mp3";
  WriteFile(good, std::string(500, 'x'));
  WriteFile(shortFile, std::string(100, 'x'));
  CliRun run = Cli("set --v1 title=T " + Q(dir / "missing.mp3") + " " + Q(shortFile) + " " + Q(good));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "File does NOT exist: " + dir / "missing.mp3" + "\n" +
                         "Error reading ID3v1 Tag: " + shortFile + "\n");
  EXPECT_EQ(ReadBack(good).v1.Title, "T");  // the good file is still done
  EXPECT_EQ(ReadFile(shortFile), std::string(100, 'x'));
  // A file whose tags cannot be read is left alone even for the other tag.
  EXPECT_EQ(Cli("set --v2 title=T " + Q(shortFile)).exitCode, 1);
  EXPECT_EQ(Cli("remove " + Q(shortFile)).exitCode, 1);
  EXPECT_EQ(ReadFile(shortFile), std::string(100, 'x'));
}

TEST(Cli, BadArgumentsExitWith2AndTouchNothing) {
  TempDir dir;
  std::string path = dir / "a.mp3";
  WriteFile(path, std::string(500, 'x') + V1Record("Keep"));
  std::string before = ReadFile(path);
  const std::pair<std::string, std::string> cases[] = {
      {"", "no command given"},
      {"play " + Q(path), "unknown command 'play'"},
      {"info", "info needs at least one FILE"},
      {"info --v3 " + Q(path), "not expected: --v3"},
      {"set " + Q(path), "set needs FIELD=VALUE"},
      {"set title=X", "set needs at least one FILE"},
      {"set titel=X " + Q(path), "unknown field 'titel'"},
      {"set --v1 track=256 " + Q(path), "track must be a number from 0 to 255, not '256'"},
      {"set --v1 track=-1 " + Q(path), "track must be a number from 0 to 255"},
      {"set --v1 composer=X " + Q(path), "composer is not a field of the ID3v1 tag"},
      {"set --v1 genre=Polka2 " + Q(path), "'Polka2' is not an ID3v1 genre"},
      {"set genre=" + Q("Rock (live)") + " " + Q(path), "use --v2 to set only the ID3v2 genre"},
      {"set --v2 size=3 " + Q(path), "size cannot be set"},
      {"set exists=0 " + Q(path), "exists= needs --v1 or --v2"},
      {"set --v1 exists=0 title=X " + Q(path), "cannot go with other fields"},
      {"set --v1 exists=maybe " + Q(path), "exists must be 0 or 1"},
  };
  for (const auto& [args, message] : cases) {
    SCOPED_TRACE(args);
    CliRun run = Cli(args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err.rfind("tagmora-cli: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(ReadFile(path), before);
  // "--" lets a file name look like an assignment.
  WriteFile(dir / "title=x.mp3", std::string(500, 'x'));
  EXPECT_EQ(Cli("set --v1 year=1999 -- " + Q(dir / "title=x.mp3")).exitCode, 0);
  EXPECT_EQ(ReadBack(dir / "title=x.mp3").v1.Year, "1999");
}

TEST(Cli, HelpDescribesTheCommands) {
  CliRun run = Cli("--help");
  EXPECT_EQ(run.exitCode, 0);
  for (const char* word : {"info FILE", "set [--v1] [--v2] [--keep-mtime] FIELD=VALUE",
                           "remove [--v1] [--v2] [--keep-mtime]", "recover\n", "Exit status",
                           "exists=0"})
    EXPECT_NE(run.out.find(word), std::string::npos) << word;
  EXPECT_EQ(Cli("set --help").exitCode, 0);
}

TEST(Cli, RecoverAndEveryCommandFinishInterruptedWrites) {
  TempDir dir;
  const std::string path = dir / "a.mp3", old(4000, 'o');
  const auto interrupt = [&] {
    WriteFile(path, old);
    test::StopWriteAt(WriteStage::HalfWritten, [&] {
      InputFile file;
      file.OpenForUpdate(path);
      ChangeInPlace(file, 0, std::string(100, 'n'), -1);
    });
  };
  const std::string undone = "Interrupted tag write undone: " + path + "\n";
  interrupt();
  EXPECT_EQ(Cli("recover").out, undone);
  EXPECT_EQ(ReadFile(path), old);
  interrupt();
  EXPECT_EQ(Cli("info " + Q(path)).err, undone);  // before any command, on standard error
  EXPECT_EQ(ReadFile(path), old);
  interrupt();
  WriteFile(path, old + "x");  // changed since: left alone, and recover fails
  EXPECT_EQ(Cli("recover").exitCode, 1);
  EXPECT_EQ(Cli("recover extra").exitCode, 2);
}

// A journal folder that cannot be made stops the in-place changes, which
// need their undo records, not the rewrites.
TEST(Cli, WithoutAJournalWritesStillWork) {
  TempDir dir;
  const std::string path = dir / "a.mp3";
  test::MakeMp3(path);
  const auto set = [&](const std::string& assignment) {
    return test::RunCommand("XDG_STATE_HOME=/proc/no-journal " + Q(test::CliPath()) + " set " +
                            assignment + " " + Q(path) + " 2>/dev/null")
        .exitCode;
  };
  struct stat before, after;
  EXPECT_EQ(set("title=rewritten"), 0);  // the file had no tag yet
  ::stat(path.c_str(), &before);
  // A change that would fit in place is a whole rewrite instead: no undo
  // record, no risk. The ID3v1 record is written as other taggers write it.
  EXPECT_EQ(set("title=second"), 0);
  ::stat(path.c_str(), &after);
  EXPECT_NE(after.st_ino, before.st_ino);
  EXPECT_EQ(set("--v1 title=v1"), 0);
  EXPECT_EQ(ReadBack(path).v2.Title, "second");
  EXPECT_EQ(ReadBack(path).v1.Title, "v1");
}

TEST(Cli, KeepMtimeKeepsTheModificationTime) {
  TempDir dir;
  const std::string path = dir / "a.mp3";
  test::MakeMp3(path);
  for (const char* command : {"set --keep-mtime title=Kept", "remove --keep-mtime", "set title=New"}) {
    const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
    EXPECT_EQ(Cli(std::string(command) + " " + Q(path)).exitCode, 0);
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec == old[1].tv_sec, std::string(command).find("keep") != std::string::npos)
        << command;
  }
}

}  // namespace
}  // namespace tagmora
