// The dispatcher and the disc-wide statements.
#include <gtest/gtest.h>

#include "script/script_reader.h"
#include "support/script_runner.h"

namespace vcd2 {
namespace {

using test::AtLine;
using test::Parse;
using test::Script20;
using Messages = std::vector<std::string>;

struct Rejected {
  std::string script;
  Messages messages;
};

void ExpectRejected(const std::vector<Rejected>& cases) {
  for (const auto& c : cases) {
    const auto run = Parse(c.script);
    EXPECT_FALSE(run.ok) << c.script;
    EXPECT_EQ(run.messages, c.messages) << c.script;
  }
}

TEST(DispatcherTest, RejectedStatements) {
  ExpectRejected({
      {"", {AtLine(1, "No ENDFILE keyword present.")}},
      {"VERSION 2.0\nALBUM \"X\"\n", {AtLine(3, "No ENDFILE keyword present.")}},
      {"MPGTRACK A 1 \"a\" ENDFILE", {AtLine(1, "Unknown Keyword \"MPGTRACK\" found.")}},
      {"VERSION 2.0 FORM", {AtLine(1, "Keyword \"FORM\" unexpected.")}},
      {"VERSION 2.0 ENDOUTPUT", {AtLine(1, "Keyword \"ENDOUTPUT\" unexpected.")}},
      {"VERSION 2.0 END", {AtLine(1, "Keyword \"END\" unexpected.")}},
      {"TEXT", {AtLine(1, "Keyword \"TEXT\" currently not supported.")}},
      {"VERSION 2.0\nENDPLAYLIST", {AtLine(2, "Keyword \"ENDPLAYLIST\" currently not supported.")}},
      {"VERSION 1.1 TRACK", {AtLine(1, "Old keyword TRACK used.")}},
      {"EDITENTRIES", {AtLine(1, "Old keyword EDITENTRIES used.")}},
      {"VERSION 1.1 ENTRIES ENDFILE", {AtLine(1, "Unknown Keyword \"ENDFILE\" found.")}},
  });
}

// A word of more than 64 KiB or a script of more than 16 MiB ends the parse
// with one message; the largest ones are read.
TEST(DispatcherTest, OverlongWordsAndScriptsEndTheParseWithOneMessage) {
  const std::string word(ScriptReader::kMaxWordLength, 'x');
  EXPECT_TRUE(Parse("VERSION 2.0\nALBUM \"" + word + "\" ENDFILE").ok);
  auto run = Parse("VERSION 2.0\nALBUM \"" + word + "x\" ENDFILE");
  EXPECT_FALSE(run.ok);
  EXPECT_EQ(run.messages, Messages{AtLine(2, "A word is longer than 65536 characters.")});

  const std::string end = "\nENDFILE";
  std::string script = "VERSION 2.0\n";
  script.resize(ScriptReader::kMaxScriptSize - end.size(), ' ');
  script += end;
  EXPECT_TRUE(Parse(script).ok);
  run = Parse(" " + script);
  EXPECT_FALSE(run.ok);
  EXPECT_EQ(run.messages, Messages{AtLine(3, "The script is longer than 16777216 bytes.")});
}

TEST(DispatcherTest, EndFileEndsTheScriptAndCommentsSkipTheirLine) {
  EXPECT_TRUE(Parse("VERSION 2.0 ENDFILE \"unterminated garbage").ok);
  EXPECT_TRUE(Parse("REM VERSION is on this line\nVERSION 2.0 ! too\nENDFILE").ok);
  EXPECT_TRUE(Parse("VERSION 2.0\n#\nENDFILE\n;").ok);
  EXPECT_TRUE(Parse("VERSION 2.0 ADDENTRY ENDFILE").ok);
}

TEST(VersionTest, RejectedVersions) {
  ExpectRejected({
      {"VERSION", {AtLine(1, "Illegal EOF found in version number.")}},
      {"VERSION abc", {AtLine(1, "Expected version number, found \"ABC\".")}},
      {"VERSION 3.0\n", {AtLine(2, "Expected one of 2.0 or 1.1, found \"3.0\".")}},
      {"VERSION 2.0 VERSION 2", {AtLine(1, "Version number redefined.")}},
  });
  EXPECT_EQ(Parse("version \"2.00\" ENDFILE").project->version, 2u);
}

TEST(DiscStatementsTest, AlbumVolumeAndApplication) {
  const auto run = Parse(Script20("ALBUM \"ABCDEFGHIJKLMNOPQRST\" VOLUME 65537 ANZVOL 3 APP \"" +
                                  std::string(60, 'a') + "\""));
  ASSERT_TRUE(run.ok);
  const VcdProject& project = *run.project;
  EXPECT_EQ(std::string(project.album_id.begin(), project.album_id.end()), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(project.volume_number, 1);  // low 16 bits
  EXPECT_EQ(project.volume_count, 3);
  EXPECT_EQ(std::string(project.application_name.data()), std::string(47, 'a'));
  const auto short_album = Parse(Script20("ALBUM abc"));
  EXPECT_EQ(std::string(short_album.project->album_id.begin(), short_album.project->album_id.end()),
            "ABC             ");
  EXPECT_EQ(short_album.project->volume_count, 1);  // without ANZVOL
}

TEST(DiscStatementsTest, OutputBlocks) {
  const auto run =
      Parse(Script20("OUTPUT 2 \"t.bin\"\n1 DISK \"d.bin\" ENDOUTPUT OUTPUT ENDOUTPUT"));
  ASSERT_TRUE(run.ok);
  const auto& names = run.project->output_names;
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0]->sequence, 2u);
  EXPECT_EQ(names[0]->NewFullPath(), "t.bin");
  EXPECT_TRUE(names[1]->IsMountRelative());
  EXPECT_EQ(names[1]->SecondName(), "d.bin");
  ExpectRejected({
      {"VERSION 2.0 OUTPUT X", {AtLine(1, "Expected numerical value or ENDOUTPUT (found X")}},
      {"VERSION 2.0 OUTPUT ENDFILE",
       {AtLine(1, "Expected numerical value or ENDOUTPUT (found ENDFILE")}},
      {"VERSION 2.0 OUTPUT 1",
       {AtLine(1, "EOF encountered."), AtLine(1, "Expected output filename.")}},
      {"VERSION 2.0 OUTPUT", {AtLine(1, "EOF encountered.")}},
  });
}

TEST(DiscStatementsTest, VolumeFilesGoToTheirLists) {
  const auto run =
      Parse(Script20("FILE \"A.TXT\" \"a.txt\" RTF \"B.RTF\" M \"b.rtf\" IFFDYUV \"C.IFF\" \"c\" "
                     "COPYRIGHT \"CR.TXT\" \"cr\" ABSTRACT \"AB.TXT\" \"ab\" VOLSET \"VS\" \"vs\" "
                     "BIBLIO \"BI\" \"bi\" "
                     "DIR \"some dir\" LOGFILE \"log\""));
  ASSERT_TRUE(run.ok);
  const VcdProject& project = *run.project;
  std::vector<std::pair<std::string, FileType>> cdi;
  for (const auto& file : project.cdi_files) cdi.emplace_back(file->name, file->GetFileType());
  EXPECT_EQ(cdi, (std::vector<std::pair<std::string, FileType>>{{"A.TXT", FileType::kPlainFile},
                                                                {"B.RTF", FileType::kRtfFile},
                                                                {"C.IFF", FileType::kIffDyuv}}));
  std::vector<FileType> descriptors;
  for (const auto& file : project.descriptor_files) descriptors.push_back(file->GetFileType());
  EXPECT_EQ(descriptors, (std::vector<FileType>{FileType::kCopyright, FileType::kAbstract,
                                                FileType::kVolumeSet, FileType::kBiblio}));
  EXPECT_EQ(project.cdi_files[1]->FirstName(), "M");
  EXPECT_EQ(project.dir_text, "some dir");
  EXPECT_EQ(project.dir_given, 1u);
  EXPECT_EQ(project.log_file->NewFullPath(), "log");
  ExpectRejected({{"VERSION 2.0 FILE \"A\"", {AtLine(1, "EOF encountered.")}}});
}

TEST(DiscStatementsTest, NamesInTheImageAreIso8Dot3) {
  EXPECT_TRUE(Parse(Script20("FILE \"X.BIN;1\" \"x\" FILE \"_8CHARS_.E_1\" \"y\" FILE x.txt \"z\" "
                             "RTF \"NOEXT\" \"r\" GENRTF \"G.\" FORM 1 \"g\" EOF"))
                  .ok);
  const auto refused = [](const char* statement, const char* name) {
    return Rejected{std::string("VERSION 2.0\n") + statement + " \"" + name + "\" \"path\"",
                    {AtLine(2, std::string("Invalid file name \"") + name + "\" in " + statement +
                                   ": 8.3 d-characters (A-Z, 0-9, _) expected.")}};
  };
  ExpectRejected({refused("FILE", "DIR/X;5.BIN"), refused("FILE", ""),
                  refused("RTF", "LONGNAME9.RTF"), refused("IFFDYUV", "a.iff"),
                  refused("GENRTF", "X.ABCD"), refused("COPYRIGHT", "C.TXT;1"),
                  refused("VOLSET", "A.B.C"), refused("BIBLIO", ".TXT")});
}

TEST(GenRtfTest, RecordOptionsOfTheParts) {
  const auto run = Parse(
      Script20("GENRTF \"R.RTF\" FORM 1 \"a\" EOR ENDMAKE FORM 2 M \"b\" EOF "
               "GENRTF \"S.RTF\" FORM 2 \"c\" EOR EOF GENRTF \"T.RTF\" EOR FORM 257 \"d\" EOF"));
  ASSERT_TRUE(run.ok);
  auto options = [&](size_t file, size_t part) {
    const auto& rtf = static_cast<const RtfFile&>(*run.project->cdi_files[file]);
    return std::pair<int, int>(rtf.parts[part]->submode, rtf.parts[part]->last_submode);
  };
  EXPECT_EQ(options(0, 0), (std::pair<int, int>(0x08, 0x09)));
  EXPECT_EQ(options(0, 1), (std::pair<int, int>(0x28, 0xA8)));
  EXPECT_EQ(options(1, 0), (std::pair<int, int>(0x28, 0xA9)));
  EXPECT_EQ(options(2, 0), (std::pair<int, int>(0x08, 0x88)));  // 257 counts as 1
  EXPECT_EQ(run.project->cdi_files[0]->GetFileType(), FileType::kPartsFile);
  ExpectRejected({
      {"VERSION 2.0 GENRTF \"R\" FORM 3 \"a\" EOF", {AtLine(1, "Only Form 1 and Form 2 allowed.")}},
      {"VERSION 2.0 GENRTF \"R\" EOR EOF", {AtLine(1, "Empty GENRTF statement.")}},
      {"VERSION 2.0 GENRTF \"R\" FORM 1 \"a\"",
       {AtLine(1, "EOF encountered while expecting INTERN or EXTERN")}},
      {"VERSION 2.0 GENRTF \"R\" BOGUS",
       {AtLine(1, "The word BOGUS was a complete surprise to me at this place of your script.")}},
  });
}

}  // namespace
}  // namespace vcd2
