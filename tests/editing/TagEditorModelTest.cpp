// The "ID3 Tags" page on real files: what loading shows, what Save
// writes, copying between the tags, completing from the file name, and
// the MPEG panel.

#include "editing/TagEditorModel.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

#include "EditorFixture.h"
#include "editing/MpegInfo.h"
#include "support/JsonReader.h"
#include "support/TagBytes.h"
#include "tags/MPEGaudio.h"

namespace tagmora {
namespace {

using test::ReadFile;
using test::V1Of;
using test::V2Of;
using test::TextFrame;
using test::V1Record;
using test::WriteFile;

class TagEditorModelTest : public test::EditorTest {
 protected:
  // An MP3 file whose ID3v2 tag holds a title, an artist and a frame the
  // page does not edit.
  std::string V2OnlyFile() {
    const std::string path = dir / "song.mp3";
    test::MakeMp3(path);
    audio = ReadFile(path);
    WriteFile(path, test::Tag(3, TextFrame("TIT2", "Song") + TextFrame("TPE1", "Band") +
                                     TextFrame("TXXX", std::string("mood\0calm", 9))) +
                        audio);
    return path;
  }
  std::string audio;
};

TEST_F(TagEditorModelTest, AFileWithOnlyAnID3v2TagShowsAndSavesUnchanged) {
  const std::string path = V2OnlyFile();
  Show({path});
  EXPECT_FALSE(C("CheckHasTagv1").Checked());
  for (const char* name : {"EditTitlev1", "LabelTitlev1", "ComboGenrev1", "EditTrackv1"})
    EXPECT_FALSE(C(name).Enabled()) << name;
  EXPECT_EQ(Text("EditVersionIdv1"), "1");
  EXPECT_EQ(C("ComboGenrev1").Index(), 0);
  EXPECT_TRUE(C("CheckHasTagv2").Checked());
  EXPECT_TRUE(C("EditTitlev2").Enabled() && C("LabelComposerv2").Enabled());
  EXPECT_FALSE(C("EditVersionIdv2").Enabled() || C("EditSizev2").Enabled());
  EXPECT_EQ(Text("EditVersionIdv2"), "3");
  EXPECT_EQ(Text("EditTitlev2"), "Song");
  EXPECT_EQ(Text("EditPath2"), path);
  EXPECT_EQ(Text("EditBitrate"), "CBR 128 kbit/s");

  C("ButtonSave").Click();
  EXPECT_TRUE(window.Errors().Entries().empty());
  const std::string saved = ReadFile(path);
  EXPECT_NE(saved.substr(saved.size() - 128, 3), "TAG") << "no ID3v1 tag written";
  EXPECT_EQ(saved.substr(saved.size() - audio.size()), audio);
  EXPECT_NE(saved.find(std::string("mood\0calm", 9)), std::string::npos);
  EXPECT_EQ(V2Of(path).Artist, "Band");
  C("CheckHasTagv1").Click();
  EXPECT_TRUE(C("EditTitlev1").Enabled() && C("LabelTitlev1").Enabled());
}

TEST_F(TagEditorModelTest, GenreByteAndTrackBoxes) {
  const std::string path = dir / "genre.mp3";
  test::MakeMp3(path);
  WriteFile(path, ReadFile(path) + V1Record("Title", "", "", "", "", 0, 7, 200));
  Show({path});
  EXPECT_EQ(Text("EditTrackv1"), "7");
  // A byte that names no genre selects nothing and is stored as 254.
  EXPECT_EQ(C("ComboGenrev1").Index(), -1);
  C("EditTrackv1").SetText("0");
  C("CheckHasTagv2").Click();
  C("EditTitlev2").SetText("T");
  C("ButtonSave").Click();
  EXPECT_EQ(V1Of(path).GenreId, 254);
  EXPECT_EQ(V1Of(path).Track, 0);
  EXPECT_EQ(ReadFile(path).find("TRCK"), std::string::npos);

  // A bad track box stops Save before either tag is written.
  const std::string before = ReadFile(path);
  C("EditTitlev1").SetText("Changed");
  C("EditTrackv2").SetText("x1");
  C("ButtonSave").Click();
  C("EditTrackv2").SetText("300");
  C("ButtonSave").Click();
  EXPECT_EQ(ReadFile(path), before);
  ASSERT_EQ(user.boxes.size(), 2u);
  EXPECT_EQ(user.boxes[0].text, "'x1' is not a valid integer value");
  EXPECT_EQ(user.boxes[1].text, "'300' is not a valid track number (0 to 255)");
  // The box of a tag being removed is not read; a tag that is not there
  // is no failure to remove.
  C("CheckHasTagv2").Click();
  C("ButtonSave").Click();
  C("ButtonSave").Click();
  EXPECT_EQ(V1Of(path).Title, "Changed");
  EXPECT_FALSE(V2Of(path).Exists);
  EXPECT_TRUE(window.Errors().Entries().empty());
}

TEST_F(TagEditorModelTest, SaveAroundThePlayerAndAFailedWrite) {
  const std::string path = V2OnlyFile();
  Show({path});
  player.open = true;
  player.trackFile = dir / "other.mp3";
  C("ButtonSave").Click();
  EXPECT_EQ(player.calls, "");
  player.trackFile = path;
  C("ButtonSave").Click();
  EXPECT_EQ(player.calls, "stop play seek 61000 ");

  // A title that does not fit rewrites the file, and the copy fails.
  C("EditTitlev2").SetText(std::string(5000, 'N'));
  {
    test::FileSizeLimit limit(4096);
    C("ButtonSave").Click();
  }
  EXPECT_EQ(ErrorMessages(), std::vector<std::string>{"Error writing ID3v2 Tag:  | " + path});
  ASSERT_EQ(user.boxes.size(), 1u);
  EXPECT_EQ(V2Of(path).Title, "Song");
}

TEST_F(TagEditorModelTest, TheOptionKeepsTheModificationTimeOfASave) {
  const std::string path = V2OnlyFile();
  Show({path});
  window.OptionsControls()[kKeepMtimeCheckBox].SetChecked(true);
  struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
  C("EditTitlev2").SetText("Kept");
  C("ButtonSave").Click();
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
  EXPECT_EQ(V2Of(path).Title, "Kept");
}

TEST_F(TagEditorModelTest, CopyBetweenTheTags) {
  const std::string path = V2OnlyFile();
  Show({path});
  C("ButtonCopyToID3v2").Click();
  const std::string forty = "Forty characters long, far too long: 40";
  C("EditTitlev2").SetText(forty);
  C("EditTrackv2").SetText("12");
  C("MemoCommentv2").SetText("first line\nand a second one that is cut");
  C("ComboGenrev2").SetText("rock");
  C("PageControl1").SetIndex(0);
  C("ButtonCopyFromID3v2").Click();
  EXPECT_TRUE(C("CheckHasTagv1").Checked());
  EXPECT_TRUE(C("EditTitlev1").Enabled());
  EXPECT_EQ(Text("EditTitlev1"), forty.substr(0, 30));
  EXPECT_EQ(Text("EditArtistv1"), "Band");
  EXPECT_EQ(Text("EditTrackv1"), "12");
  EXPECT_EQ(Text("EditCommentv1"), "first line\nand a second one th");
  EXPECT_EQ(C("ComboGenrev1").Items()[C("ComboGenrev1").Index()], "Rock");
  EXPECT_EQ(C("PageControl1").Index(), kId3Page);
  C("ComboGenrev2").SetText("No Such Genre");
  C("ButtonCopyFromID3v2").Click();
  EXPECT_EQ(C("ComboGenrev1").Index(), 0);

  C("CheckHasTagv2").Click();
  C("ButtonCopyFromID3v2").Click();
  C("ComboGenrev1").SetIndex(9);  // genre 8, "Jazz"
  C("EditCommentv1").SetText("short");
  C("ButtonCopyToID3v2").Click();
  EXPECT_TRUE(C("CheckHasTagv2").Checked());
  EXPECT_EQ(Text("ComboGenrev2"), "Jazz");
  EXPECT_EQ(Text("MemoCommentv2"), "short");
  EXPECT_EQ(Text("EditTitlev2"), forty.substr(0, 30));
  EXPECT_EQ(ErrorMessages(), (std::vector<std::string>{"NO ID3v1 Tag present! | " + path,
                                                       "NO ID3v2 Tag present! | " + path}));
}

TEST_F(TagEditorModelTest, CompleteArtistAndTitleFromTheFileName) {
  const std::string plain = dir / "No Separator Here.mp3";
  const std::string named = dir / "An Artist Whose Name Is Quite Long_-_The Title.mp3";
  test::MakeMp3(plain);
  test::MakeMp3(named);
  Show({plain, named});
  C("CompleteID3v11").Click();
  EXPECT_EQ(ErrorMessages(),
            std::vector<std::string>{"NO separator and NO separator in ID3v1 | " + plain});
  EXPECT_FALSE(C("CheckHasTagv1").Checked());
  EXPECT_EQ(Text("EditArtistv1"), "");

  window.PlayList().SetFocus(1);
  window.PlaylistClick();
  std::vector<std::string> popups;
  editor.SetShowPopupHandler(
      [&](const std::string& popup, const std::string& button) { popups.push_back(popup + " " + button); });
  // Only missing fields are completed until the option is unchecked.
  EXPECT_TRUE(C("Completeonlyiftheyaremissing1").Checked());
  C("EditTitlev2").SetText("Kept");
  C("CompleteID3v1ID3v21").Click();
  EXPECT_TRUE(C("CheckHasTagv1").Checked() && C("CheckHasTagv2").Checked());
  EXPECT_EQ(Text("EditArtistv1"), "An Artist Whose Name Is Quite ");
  EXPECT_EQ(Text("EditTitlev1"), "The Title");
  EXPECT_EQ(Text("EditArtistv2"), "An Artist Whose Name Is Quite Long");
  EXPECT_EQ(Text("EditTitlev2"), "Kept");
  C("Completeonlyiftheyaremissing1").Click();
  EXPECT_FALSE(C("Completeonlyiftheyaremissing1").Checked());
  EXPECT_EQ(popups, std::vector<std::string>{"PopupMenuAutoComplete ButtonAutoComplete"});
  C("CompleteID3v21").Click();
  EXPECT_EQ(Text("EditTitlev2"), "The Title");
  EXPECT_EQ(window.Errors().Count(), 1u);
  // Nothing reaches the file before Save.
  EXPECT_FALSE(V2Of(named).Exists);

  // The multi-tagger's separator boxes are the ones used.
  C("EditFileSeparator1").SetText("Whose");
  C("CompleteID3v21").Click();
  EXPECT_EQ(Text("EditArtistv2"), "An Artist");
}

TEST_F(TagEditorModelTest, CommonChecksAndMissingFiles) {
  C("ButtonRefresh").Click();
  const std::string song = V2OnlyFile();
  const std::string gone = dir / "gone.mp3";
  window.PlayList().Append(gone);
  C("ButtonSave").Click();
  C("EditPath").SetText(gone);
  C("CompleteID3v11").Click();
  EXPECT_EQ(ErrorMessages(), (std::vector<std::string>{"No files in the playlist! Add some!",
                                                       "Select a file from the playlist first!",
                                                       "File does NOT exist! | " + gone}));
  EXPECT_EQ(user.boxes.size(), 3u);

  // A file gone from the disk leaves no trace of the one shown before.
  Show({song}, 1);
  EXPECT_EQ(Text("EditValidMPEG"), "Yes");
  window.PlayList().SetFocus(0);
  window.PlaylistClick();
  EXPECT_EQ(Text("EditPath2"), gone);
  EXPECT_EQ(Text("EditValidMPEG"), "");
  EXPECT_EQ(Text("EditTitlev2"), "");
  EXPECT_FALSE(C("CheckHasTagv2").Checked());
  EXPECT_EQ(user.boxes.size(), 4u);
}

TEST_F(TagEditorModelTest, TheMpegPanel) {
  EXPECT_EQ(FormatSeconds(0.46), ".5");
  EXPECT_EQ(FormatSeconds(215.34), "215.3");
  EXPECT_EQ(FormatSeconds(59.96), "60.0");

  const std::string vbr = dir / "vbr.mp3";
  const std::string noise = dir / "noise.mp3";
  const std::string tiny = dir / "tiny.mp3";
  test::MakeMp3(vbr, 2.0, "-V 2 -m m", 22050, 1);
  WriteFile(noise, std::string(4000, 'x'));
  WriteFile(tiny, "ID3");
  TMPEGaudio audio;
  ASSERT_TRUE(audio.ReadInfo(vbr));
  Show({vbr, noise, tiny});
  EXPECT_EQ(Text("EditFileSize"), std::to_string(ReadFile(vbr).size()) + " bytes");
  EXPECT_EQ(Text("EditMpegType"), "MPEG 2 Layer III");
  EXPECT_EQ(Text("EditBitrate").substr(0, 4), "VBR ");
  EXPECT_EQ(Text("EditSampleRate"), "22050 hz");
  EXPECT_EQ(Text("EditDuration"), FormatSeconds(audio.Duration()) + " sec.");
  EXPECT_EQ(Text("EditFirstFrame"), std::to_string(audio.Frame().Position) + " bytes");

  window.PlayList().SetFocus(1);
  window.PlaylistClick();
  EXPECT_EQ(Text("EditValidMPEG"), "No");
  EXPECT_EQ(Text("EditFileSize"), "");
  window.PlayList().SetFocus(2);
  window.PlaylistClick();
  EXPECT_EQ(Text("EditValidMPEG"), "");
  // The panel's reports show no box.
  ASSERT_GE(window.Errors().Count(), 1u);
  EXPECT_EQ(window.Errors().Entry(0).message, "Can not read data from the file! ");
  EXPECT_TRUE(user.boxes.empty());
}

// What the page writes, as python3-mutagen reads it.
TEST_F(TagEditorModelTest, ASavedFileReadsTheSameInMutagen) {
  const std::string path = V2OnlyFile();
  Show({path});
  const std::vector<std::pair<const char*, std::string>> typed = {
      {"EditTitlev2", "Grüße aus Köln ✓"}, {"EditArtistv2", "Ann Ωmega"},
      {"EditAlbumv2", "Live"},           {"EditYearv2", "2024"},
      {"EditTrackv2", "7"},              {"ComboGenrev2", "Trip-Hop"},
      {"MemoCommentv2", "two\nlines"},   {"EditComposerv2", "Bo"},
      {"EditEncoderv2", "Tagmora"},      {"EditCopyrightv2", "(c) Ann"},
      {"EditLanguagev2", "deu"},         {"EditURLv2", "https://example.org/a"}};
  for (const auto& [box, text] : typed) C(box).SetText(text);
  C("ButtonSave").Click();
  ASSERT_TRUE(window.Errors().Entries().empty());

  test::TempDir scratch;
  WriteFile(scratch / "read.py",
            "import json, sys\n"
            "from mutagen.id3 import ID3\n"
            "t = ID3(sys.argv[1], translate=False)\n"
            "def text(k): return str(t[k].text[0]) if k in t else None\n"
            "comm = [f for f in t.getall('COMM') if f.desc == '']\n"
            "url = [f for f in t.getall('WXXX') if f.desc == '']\n"
            "print(json.dumps({'EditTitlev2': text('TIT2'), 'EditArtistv2': text('TPE1'),\n"
            "  'EditAlbumv2': text('TALB'), 'EditYearv2': text('TYER'), 'EditTrackv2': text('TRCK'),\n"
            "  'ComboGenrev2': t['TCON'].genres[0], 'MemoCommentv2': str(comm[0].text[0]),\n"
            "  'EditComposerv2': text('TCOM'), 'EditEncoderv2': text('TENC'),\n"
            "  'EditCopyrightv2': text('TCOP'), 'EditLanguagev2': text('TLAN'),\n"
            "  'EditURLv2': url[0].url, 'mood': str(t.getall('TXXX:mood')[0].text[0]),\n"
            "  'version': t.version[1]}))\n");
  auto run = test::RunCommand("/usr/bin/python3 " + test::ShellQuote(scratch / "read.py") + " " +
                              test::ShellQuote(path));
  ASSERT_EQ(run.exitCode, 0);
  const test::Json read = test::ParseJson(run.output);
  for (const auto& [box, text] : typed) EXPECT_EQ(read[box].string, text) << box;
  EXPECT_EQ(read["mood"].string, "calm");
  EXPECT_EQ(read["version"].number, 3);
}

}  // namespace
}  // namespace tagmora
