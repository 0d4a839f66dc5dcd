// MAKE MPA, STILL and MUX.
#include <gtest/gtest.h>

#include "support/script_runner.h"

namespace vcd2 {
namespace {

using test::AtLine;
using test::Parse;
using test::Script20;
using Messages = std::vector<std::string>;

TEST(MakeAudioTest, ParameterWords) {
  const std::tuple<const char*, int, int> cases[] = {{"224S", 7, 1}, {"\"224 s\"", 7, 1},
                                                     {"64m", 3, 0},  {"\" 384 D \"", 8, 3},
                                                     {"192", 6, 1},  {"96I", 4, 2}};
  for (const auto& [word, bitrate, mode] : cases) {
    const auto run =
        Parse(Script20(std::string("MAKE MPA ") + word + " M OUT.MP2 FROM WAVE M IN.WAV ENDMAKE"));
    ASSERT_TRUE(run.ok) << word;
    const auto& rule = static_cast<const AudioMakeRule&>(*run.project->makes.at(0));
    EXPECT_EQ(rule.Kind(), MakeKind::kAudio);
    EXPECT_EQ(rule.bitrate_code, bitrate) << word;
    EXPECT_EQ(rule.channel_mode, static_cast<uint32_t>(mode)) << word;
    EXPECT_EQ(rule.GetTarget()->GetFileType(), FileType::kMpegAudio);
    EXPECT_EQ(rule.GetTarget()->SecondName(), "OUT.MP2");
    ASSERT_EQ(rule.GetSources().size(), 1u);
    EXPECT_EQ(rule.GetSources()[0]->GetFileType(), FileType::kWave);
  }
}

TEST(MakeStillTest, HighResolutionWithCompanion) {
  const auto run = Parse(
      Script20("MAKE STILL PALHIGH M HI.MPG M LO.MPG FROM BMP M PIC.BMP BMP \"b.bmp\" ENDMAKE"));
  ASSERT_TRUE(run.ok);
  const auto& makes = run.project->makes;
  ASSERT_EQ(makes.size(), 2u);
  const auto& high = static_cast<const StillMakeRule&>(*makes[0]);
  const auto& low = static_cast<const StillMakeRule&>(*makes[1]);
  EXPECT_EQ(high.GetTarget()->GetFileType(), FileType::kPalHighStill);
  EXPECT_EQ(low.GetTarget()->GetFileType(), FileType::kPalLowStill);
  EXPECT_EQ(high.low_resolution, 0);
  EXPECT_EQ(low.low_resolution, 1);
  EXPECT_EQ(high.GetSources().size(), 2u);
  EXPECT_EQ(low.GetSources().size(), 2u);
  EXPECT_EQ(low.GetSources()[0]->GetFileType(), FileType::kPicture);
  const auto single = Parse(Script20("MAKE STILL NTSCLOW \"n.mpg\" FROM BMP \"p.bmp\" ENDMAKE"));
  ASSERT_EQ(single.project->makes.size(), 1u);
  EXPECT_EQ(single.project->makes[0]->GetTarget()->GetFileType(), FileType::kNtscLowStill);
}

TEST(MakeMuxTest, StreamsSourcesAndLengths) {
  const auto run =
      Parse(Script20("MAKE MUX M OUT.MPG FROM VIDEO M V.M1V AUDIO M A.MP2 LENGTH 100 "
                     "STILL M S1.MPG M S2.MPG LENGTH 50 ENDMAKE"));
  ASSERT_TRUE(run.ok) << run.messages[0];
  const auto& sources = run.project->makes.at(0)->GetSources();
  ASSERT_EQ(sources.size(), 4u);
  std::vector<std::tuple<FileType, uint32_t, uint32_t>> seen;
  for (const auto& source : sources) {
    const auto& item = static_cast<const MakeSourceItem&>(*source);
    seen.emplace_back(item.GetFileType(), item.stream_number, item.length);
  }
  const std::vector<std::tuple<FileType, uint32_t, uint32_t>> expected = {
      {FileType::kMpegVideo, 1, 0},
      {FileType::kMpegAudio, 2, 0},  // only STILL streams keep LENGTH
      {FileType::kMpegStill, 3, 50},
      {FileType::kMpegStill, 3, 50}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(run.project->makes[0]->GetTarget()->GetFileType(), FileType::kMpegSystem);
}

TEST(MakeTest, RejectedMakes) {
  const std::vector<std::pair<std::string, Messages>> cases = {
      {"MAKE ENDMAKE", {"Cannot MAKE things I don't know how to do."}},
      {"MAKE CC", {"Closed Caption support is currently not implemented."}},
      {"MAKE MPA", {"EOF encountered expecting audio encoding parameters."}},
      {"MAKE MPA S", {"Expected audio bitrate."}},
      {"MAKE MPA 256S", {"Illegal audio bitrate."}},
      {"MAKE MPA 99999999999S", {"Illegal audio bitrate."}},
      {"MAKE MPA 224X", {"Expected MPEG audio format specifier."}},
      {"MAKE MPA \"224 S x\" \"o\" FROM WAVE \"i\" ENDMAKE", {}},
      {"MAKE MPA 224 \"o\" FROM WAVE \"i\" ENDPLAY", {"Expected ENDMAKE"}},
      {"MAKE MPA 224 \"o\" FROM BMP \"i\" ENDMAKE",
       {"The word BMP was a complete surprise to me at this place of your script."}},
      {"MAKE STILL ENDFILE \"x\"", {"Expected STILL resolution identifier, found ENDFILE."}},
      {"MAKE STILL PALHIGH \"x\"", {"Expected FROM or low res filename."}},
      {"MAKE STILL PALHIGH \"x\" M", {"EOF encountered.", "Expected FROM or low res filename."}},
      {"MAKE STILL PALLOW M X.MPG M Y.MPG FROM",
       {"The word M was a complete surprise to me at this place of your script."}},
      {"MAKE STILL PALLOW \"x\" FROM ENDPLAY \"p\" ENDMAKE", {}},
      {"MAKE MUX \"o\" FROM VIDEO \"v\"", {"Expected MAKE MUX Ids"}},
      {"MAKE MUX \"o\" FROM VIDEO \"v\" \"more\" ENDMAKE", {}},
      {"MAKE MUX \"o\" FROM SYSTEM \"x\" ENDMAKE", {}},
      {"MAKE MUX \"o\" FROM VIDEO \"v\" SYSTEM", {"Reserved keyword used."}},
      {"MAKE MUX \"o\" FROM VIDEO \"v\" ENDPLAY", {"Reserved keyword used."}},
      {"MAKE MUX \"o\" FROM STILL \"v\" LENGTH X", {"Expected numerical value, found X."}},
  };
  for (const auto& [body, texts] : cases) {
    const auto run = Parse("VERSION 2.0 " + body);
    EXPECT_FALSE(run.ok) << body;
    Messages expected;
    for (const auto& text : texts) expected.push_back(AtLine(1, text));
    EXPECT_EQ(run.messages, expected) << body;
    EXPECT_TRUE(run.project->makes.empty()) << body;
  }
}

// A keyword that cannot be read ends a MUX or STILL list; the rule stands and
// the message of the failed read is the script's error.
TEST(MakeTest, AnUnreadableKeywordEndsTheSourceList) {
  const auto run = Parse("VERSION 2.0 MAKE MUX \"o\" FROM VIDEO \"v\" ALBUM");
  EXPECT_FALSE(run.ok);
  EXPECT_EQ(run.project->makes.size(), 1u);
  EXPECT_EQ(run.messages.back(), AtLine(1, "No ENDFILE keyword present."));
}

}  // namespace
}  // namespace vcd2
