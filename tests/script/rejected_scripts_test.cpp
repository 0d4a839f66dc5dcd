// Every message a script earns before the build: parsing, sorting and the
// label check. "@N " stands for the reporter's prefix of line N.
#include <gtest/gtest.h>

#include "script/script_reader.h"
#include "support/script_runner.h"

namespace vcd2 {
namespace {

using Messages = std::vector<std::string>;

struct Rejected {
  std::string script;
  Messages messages;
};

// Shortens the prefix of a parse message to "@N ".
std::string Shorten(const std::string& message) {
  const std::string prefix = std::string(test::kScriptName) + " Line ";
  if (message.rfind(prefix, 0) != 0) return message;
  const size_t colon = message.find(":\r\n");
  return "@" + message.substr(prefix.size(), colon - prefix.size()) + " " +
         message.substr(colon + 3);
}

void ExpectRejected(const std::string& script, const Messages& expected) {
  const auto run = test::ParseSortCheck(script);
  EXPECT_FALSE(run.ok) << script;
  Messages messages;
  for (const auto& message : run.messages) messages.push_back(Shorten(message));
  EXPECT_EQ(messages, expected) << script;
}

const std::string kSurprise = " was a complete surprise to me at this place of your script.";
const std::string kPlaytime = "@1 Playtime value must be INF or between 1 and 65535.";
const std::string kWaittime = "@1 Waittime value must be INF or between 0 and 30000.";
const std::string kLoop = "@1 Loop value must be INF or between 1 and 255.";
const std::string kNames = ": 8.3 d-characters (A-Z, 0-9, _) expected.";
// 256 play or selection items, one more than a descriptor counts.
std::string Items256() {
  std::string items;
  for (int i = 0; i < 256; ++i) items += " A";
  return items;
}
// Two tracks and a segment for the label cases.
const std::string kMaterial =
    R"(MPGTRACK T1 1 "t1.mpg" MPGTRACK T2 2 "t2.mpg" SEGMENT S1 1 "s1.mpg" )";

TEST(RejectedScriptTest, WholeScripts) {
  const Rejected cases[] = {
      {"", {"@1 No ENDFILE keyword present."}},
      {"VERSION 2.0\nALBUM \"X\"\n", {"@3 No ENDFILE keyword present."}},
      {"MPGTRACK A 1 \"a\" ENDFILE", {"@1 Unknown Keyword \"MPGTRACK\" found."}},
      {"TEXT", {"@1 Keyword \"TEXT\" currently not supported."}},
      {"EDITENTRIES", {"@1 Old keyword EDITENTRIES used."}},
      {"VERSION 1.1 TRACK", {"@1 Old keyword TRACK used."}},
      {"VERSION", {"@1 Illegal EOF found in version number."}},
      {"VERSION abc", {"@1 Expected version number, found \"ABC\"."}},
      {"VERSION 3.0\n", {"@2 Expected one of 2.0 or 1.1, found \"3.0\"."}},
      // A U in front of a closing quote opens a hex string that takes in the rest.
      {"VERSION 2.0\nALBUM \"TRIP TO PERU\"\nVOLUME 1\nENDFILE\n",
       {"@3 No ENDFILE keyword present.\r\nA hex string began in line 2 at \"TRIP TO PERU\": U\" "
        "starts a hex string."}},
      {"VERSION 2.0\nREM call it \"MENU\"\nENDFILE\n",
       {"@3 No ENDFILE keyword present.\r\nA hex string began in line 2 at the comment after "
        "REM: U\" starts a hex string."}},
  };
  for (const auto& c : cases) ExpectRejected(c.script, c.messages);
}

// Each body follows "VERSION 2.0 ".
TEST(RejectedScriptTest, Statements) {
  const Rejected cases[] = {
      // The dispatcher and the disc-wide statements.
      {"FORM", {"@1 Keyword \"FORM\" unexpected."}},
      {"\nENDPLAYLIST", {"@2 Keyword \"ENDPLAYLIST\" currently not supported."}},
      {"VERSION 2", {"@1 Version number redefined."}},
      {"\nALBUM \"" + std::string(ScriptReader::kMaxWordLength + 1, 'x') + "\" ENDFILE",
       {"@2 A word is longer than 65536 characters."}},
      {"OUTPUT X", {"@1 Expected numerical value or ENDOUTPUT (found X"}},
      {"OUTPUT 1", {"@1 EOF encountered.", "@1 Expected output filename."}},
      {"GENRTF \"R\" FORM 3 \"a\" EOF", {"@1 Only Form 1 and Form 2 allowed."}},
      {"GENRTF \"R\" EOR EOF", {"@1 Empty GENRTF statement."}},
      {"GENRTF \"R\" FORM 1 \"a\"", {"@1 EOF encountered while expecting INTERN or EXTERN"}},
      {"GENRTF \"R\" BOGUS", {"@1 The word BOGUS" + kSurprise}},
      // Names in the image are ISO 9660 8.3 names, with ";1" at most.
      {"FILE \"DIR/X;5.BIN\" \"p\"", {"@1 Invalid file name \"DIR/X;5.BIN\" in FILE" + kNames}},
      {"FILE \"\" \"p\"", {"@1 Invalid file name \"\" in FILE" + kNames}},
      {"IFFDYUV \"a.iff\" \"p\"", {"@1 Invalid file name \"a.iff\" in IFFDYUV" + kNames}},
      {"GENRTF \"X.ABCD\" FORM 1", {"@1 Invalid file name \"X.ABCD\" in GENRTF" + kNames}},
      {"COPYRIGHT \"C.TXT;2\" \"p\"", {"@1 Invalid file name \"C.TXT;2\" in COPYRIGHT" + kNames}},
      // Tracks, entries, pauses and mounts.
      {"MPGTRACK T X", {"@1 Expected numerical value, found X."}},
      {"DATRACK D 1 \"wave\" \"d\"",
       {"@1 The word wave" + kSurprise, "@1 Expected Audio file type."}},
      {"DATRACK D 1", {"@1 EOF encountered while expecting INTERN or EXTERN"}},
      {"DATRACK D 1 ENDFILE \"d\"", {"@1 Expected Audio file type."}},
      {"DEFENTRY E 100 T", {"@1 Illegal timecode format."}},
      {"DEFENTRY E 1:2x T", {"@1 Illegal timecode format."}},
      {"DEFENTRY E 0:0:0:0 T", {"@1 Entry E has illegal timecode."}},
      {"AUTOPAUSE X NOW", {"@1 The word NOW" + kSurprise}},
      {"MOUNT", {"@1 EOF encountered while expecting INTERN or EXTERN"}},
      {"MOUNT \"intern\" S D", {"@1 Expected one of INTERN or EXTERN."}},
      {"MOUNT INTERN", {"@1 EOF encountered expecting MOUNT label"}},
      {"MOUNT EXTERN S D", {"@1 EOF encountered while expecting keyword ON."}},
      {"MOUNT EXTERN S D AT X", {"@1 Encountered AT, expected keyowrd ON."}},
      // PLAYLIST and SELECTION.
      {"PLAYLIST", {"@1 EOF encountered expecting playlist label."}},
      {"PLAYLIST L PLAY A NEXT ENDPLAY", {"@1 Expected play item."}},
      {"SELECTION S PLAY A B ENDSELECTION ENDFILE", {"@1 The word B" + kSurprise}},
      {"PLAYLIST L PLAY A", {"@1 EOF encountered while expecting INTERN or EXTERN"}},
      {"PLAYLIST L PLAYTIME", {"@1 EOF encountered expecting play time."}},
      {"PLAYLIST L PLAYTIME 0", {kPlaytime}},
      {"PLAYLIST L PLAYTIME 65536", {kPlaytime}},
      {"PLAYLIST L PLAYTIME X", {"@1 The word X" + kSurprise, kPlaytime}},
      {"PLAYLIST L WAIT", {"@1 EOF encountered expecting wait time declarator."}},
      {"PLAYLIST L WAIT 30008", {kWaittime}},
      {"PLAYLIST L WAIT -22", {kWaittime}},
      {"PLAYLIST L AUTOWAIT SOON", {kWaittime}},
      {"PLAYLIST L PLAY" + Items256(), {"@1 PLAYLIST L (line 1) has more than 255 play items."}},
      {"SELECTION S PLAY A ITEMS" + Items256(),
       {"@1 SELECTION S (line 1) has more than 255 selection items."}},
      {"SELECTION S LOOP", {"@1 Encountered EOF expecting loop parameter."}},
      {"SELECTION S LOOP 256", {kLoop}},
      {"SELECTION S LOOP 0", {kLoop}},
      {"SELECTION S LOOP FOREVER", {kLoop}},
      {"SELECTION S BASE X", {"@1 Expected numerical value, found X."}},
      {"SELECTION S ITEMS", {"@1 Unexpected EOF."}},
      {"SELECTION S JUMP LATER", {"@1 The word LATER" + kSurprise}},
      // Clauses of the other list statement fail without a message of their own.
      {"PLAYLIST L BASE 1 ENDPLAYLIST", {}},
      {"SELECTION S PLAYTIME 5 ENDSELECTION", {}},
      {"SELECTION S ENDITEMS", {}},
      // MAKE.
      {"MAKE ENDMAKE", {"@1 Cannot MAKE things I don't know how to do."}},
      {"MAKE CC", {"@1 Closed Caption support is currently not implemented."}},
      {"MAKE MPA", {"@1 EOF encountered expecting audio encoding parameters."}},
      {"MAKE MPA S", {"@1 Expected audio bitrate."}},
      {"MAKE MPA 256S", {"@1 Illegal audio bitrate."}},
      {"MAKE MPA 224X", {"@1 Expected MPEG audio format specifier."}},
      {"MAKE MPA \"224 S x\" \"o\" FROM WAVE \"i\" ENDMAKE", {}},
      {"MAKE MPA 224 \"o\" FROM WAVE \"i\" ENDPLAY", {"@1 Expected ENDMAKE"}},
      {"MAKE MPA 224 \"o\" FROM BMP \"i\" ENDMAKE", {"@1 The word BMP" + kSurprise}},
      {"MAKE STILL ENDFILE \"x\"", {"@1 Expected STILL resolution identifier, found ENDFILE."}},
      {"MAKE STILL PALHIGH \"x\"", {"@1 Expected FROM or low res filename."}},
      {"MAKE STILL PALHIGH \"x\" M",
       {"@1 EOF encountered.", "@1 Expected FROM or low res filename."}},
      {"MAKE STILL PALLOW M X.MPG M Y.MPG FROM", {"@1 The word M" + kSurprise}},
      {"MAKE STILL PALLOW \"x\" FROM ENDPLAY \"p\" ENDMAKE", {}},
      {"MAKE MUX \"o\" FROM VIDEO \"v\"", {"@1 Expected MAKE MUX Ids"}},
      {"MAKE MUX \"o\" FROM VIDEO \"v\" \"more\" ENDMAKE", {}},
      {"MAKE MUX \"o\" FROM SYSTEM \"x\" ENDMAKE", {}},
      {"MAKE MUX \"o\" FROM VIDEO \"v\" SYSTEM", {"@1 Reserved keyword used."}},
      {"MAKE MUX \"o\" FROM STILL \"v\" LENGTH X", {"@1 Expected numerical value, found X."}},
      // A keyword that cannot be read ends the source list; the script fails on.
      {"MAKE MUX \"o\" FROM VIDEO \"v\" ALBUM",
       {"@1 The word ALBUM" + kSurprise, "@1 No ENDFILE keyword present."}},
      // Sorting: every list numbers its items once, in range.
      {R"(MPGTRACK A 3 "a" MPGTRACK B 3 "b" ENDFILE)", {"reused sequence number."}},
      {R"(SEGMENT S 0 "s" ENDFILE)", {"reused sequence number."}},
      {R"(SEGMENT S 32767 "s" ENDFILE)", {"reused sequence number."}},
      {R"(OUTPUT 1 "x" 1 "y" ENDOUTPUT ENDFILE)", {"reused sequence number."}},
      // The label check visits everything before it fails.
      {"DEFENTRY E 1:0 NOTRACK DEFENTRY F 2:0 NEITHER ENDFILE",
       {"Could not find MPEG Track NOTRACK for entry E",
        "Could not find MPEG Track NEITHER for entry F"}},
      {kMaterial + "PLAYLIST START PLAY T1 ENDPLAY\nNEXT T2\nENDPLAYLIST\n"
                   "PLAYLIST L PLAY NOWHERE ENDPLAY ENDPLAYLIST ENDFILE",
       {"Label T2 (referenced in line 0) undefined.",
        "Label NOWHERE (referenced in line 4) undefined."}},
      {R"(SEGMENT S 1 "s" ENDFILE)", {"Cannot have segment play items without playlist."}},
      {kMaterial + "PLAYLIST A PLAY T1 ENDPLAY ENDPLAYLIST ENDFILE",
       {"There is no START label defined."}},
      {kMaterial + "PLAYLIST START PLAY T1 ENDPLAY ENDPLAYLIST "
                   "SELECTION START PLAY T2 ENDSELECTION ENDFILE",
       {"There is more than one START label defined."}},
      {kMaterial + "PLAYLIST STOP ENDPLAYLIST ENDFILE",
       {"@1 Invalid labelname STOP.", "Unexpected label type."}},
      {kMaterial + "SELECTION M1 PLAY T1 DEFAULT MULTI ITEMS A B ENDITEMS ENDSELECTION "
                   "SELECTION START PLAY T2 ENDSELECTION "
                   "PLAYLIST A ENDPLAYLIST PLAYLIST B ENDPLAYLIST ENDFILE",
       {"Number of entries differs from number of items."}},
      {kMaterial +
           "SELECTION START PLAY S1 DEFAULT MULTINUM ITEMS START ENDITEMS ENDSELECTION ENDFILE",
       {"Play item multi default sequence must be MPEG track."}},
      {kMaterial + R"(OUTPUT 1 "data.bin" 2 "t1.bin" ENDOUTPUT )"
                   "PLAYLIST START PLAY S1 ENDPLAY ENDPLAYLIST ENDFILE",
       {"Output: 2 filenames for 3 files defined."}},
  };
  for (const auto& c : cases) ExpectRejected("VERSION 2.0 " + c.script, c.messages);
}

// A script file over 16 MiB is refused before it is read, whatever it holds;
// one of exactly that size is read to its end, as is a word of the longest length.
TEST(RejectedScriptTest, TheScriptAndWordSizeBounds) {
  EXPECT_TRUE(
      test::Parse(test::Script20("ALBUM " + std::string(ScriptReader::kMaxWordLength, 'x'))).ok);
  const std::string end = "\nENDFILE";
  std::string script = "VERSION 2.0\n";
  script.resize(ScriptReader::kMaxScriptSize - end.size(), ' ');
  script += end;
  EXPECT_TRUE(test::Parse(script).ok);
  ExpectRejected("VERSION 2.0 ENDFILE " + script,
                 {"The script test.vcd is 16777236 bytes long; a script may have at most "
                  "16777216."});
}

}  // namespace
}  // namespace vcd2
