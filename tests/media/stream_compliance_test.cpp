// Video CD compliance of streams made by ffmpeg, as --inspect and the build
// warning see it.
#include <gtest/gtest.h>

#include "media/stream_compliance.h"
#include "media/stream_facts.h"
#include "support/media_tools.h"
#include "support/temp_dir.h"

namespace vcd2 {
namespace {

class StreamComplianceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    media_ = new test::TempDir;
    const std::pair<const char*, const char*> clips[] = {
        {"vcd.mpg", "-target pal-vcd"},
        {"small.mpg", "-target pal-vcd -s 320x240"},
        {"khz48.mpg", "-target pal-vcd -ar 48000"},
        {"dvd.mpg", "-target pal-dvd"},
        {"plain.mpg", "-c:v mpeg1video -b:v 1150k -c:a mp2 -b:a 224k"},
        {"phone.mp4", "-c:v libx264 -preset ultrafast -c:a aac"},
    };
    for (const auto& [name, options] : clips) ASSERT_TRUE(test::MakeClip(Media(name), options));
  }
  static void TearDownTestSuite() { delete media_; }
  static std::string Media(const char* name) { return (media_->Path() / name).string(); }

  // The problems of a clip, each as "what | advice".
  static std::vector<std::string> Problems(const char* name, StreamFacts& facts) {
    std::string reason;
    EXPECT_TRUE(ReadStreamFacts(Media(name), facts, reason)) << reason;
    std::vector<std::string> lines;
    for (const auto& problem : FindStreamProblems(Media(name), facts)) {
      lines.push_back(problem.what + " | " + problem.advice);
    }
    return lines;
  }

  static test::TempDir* media_;
};

test::TempDir* StreamComplianceTest::media_ = nullptr;

TEST_F(StreamComplianceTest, AVideoCdStreamHasWhatAVideoCdNeeds) {
  StreamFacts facts;
  // No problem means MPEG-1 packs of the Video CD size and mux rate, and
  // picture, frame rate, audio layer and sampling as a Video CD has them.
  EXPECT_TRUE(Problems("vcd.mpg", facts).empty());
  EXPECT_GT(facts.packs, 50u);
  EXPECT_EQ(facts.video_bit_rate, 1150000u);
  EXPECT_EQ(facts.buffer_size, 40960u);
  EXPECT_FALSE(facts.still);
  EXPECT_EQ(facts.audio_bit_rate, 224000u);
  EXPECT_EQ(facts.audio_mode, 0);
  EXPECT_NEAR(facts.duration, 1, 0.1);
}

TEST_F(StreamComplianceTest, EachProblemComesWithTheCommandThatFixesIt) {
  StreamFacts facts;
  const std::string small = Media("small.mpg");
  EXPECT_EQ(Problems("small.mpg", facts),
            std::vector<std::string>{
                "the picture is 320x240 at 25.000 frames/s; a Video CD needs 352x288 at 25 or "
                "352x240 at 29.97 or 23.976 | ffmpeg -i " +
                small + " -target pal-vcd " + Media("small-vcd.mpg")});
  const auto khz48 = Problems("khz48.mpg", facts);
  ASSERT_EQ(khz48.size(), 1u);
  EXPECT_EQ(khz48[0].substr(0, khz48[0].find(" | ")),
            "the audio is sampled at 48000 Hz; a Video CD needs 44100 Hz");
  EXPECT_NE(khz48[0].find("-c:v copy -c:a mp2 -ar 44100"), std::string::npos);
  const auto dvd = Problems("dvd.mpg", facts);
  ASSERT_GE(dvd.size(), 3u);
  EXPECT_EQ(dvd[0].substr(0, dvd[0].find(" | ")),
            "the system stream is MPEG-2; a Video CD needs MPEG-1");
  EXPECT_NE(dvd[1].find("the video is mpeg2video"), std::string::npos);
  const std::string report = DescribeStream("dvd.mpg", facts, FindStreamProblems("dvd.mpg", facts));
  // One command fixes them all: the new encoding, not also a remux that
  // would keep the MPEG-2 video.
  EXPECT_NE(report.find("\n  problem: the system stream is MPEG-2; a Video CD needs MPEG-1\n"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("\n    fix: ffmpeg -i dvd.mpg -target pal-vcd dvd-vcd.mpg\n"
                        "    or in the script: MAKE MPEG PAL \"dvd-vcd.mpg\" FROM VIDEO "
                        "\"dvd.mpg\" ENDMAKE\n"),
            std::string::npos)
      << report;
  EXPECT_EQ(report.find("fix:"), report.rfind("fix:")) << report;
  // A stream muxed for no Video CD: the remux advice really makes one.
  const auto plain = Problems("plain.mpg", facts);
  ASSERT_GE(plain.size(), 2u);
  EXPECT_NE(plain[0].find("packs are not 2324 (2304 for audio) bytes long"), std::string::npos);
  EXPECT_NE(plain[1].find("the mux rate is"), std::string::npos);
  const std::string remux = plain[0].substr(plain[0].find(" | ") + 3);
  ASSERT_EQ(test::Shell(remux), 0) << remux;
  std::string reason;
  ASSERT_TRUE(ReadStreamFacts(Media("plain-vcd.mpg"), facts, reason));
  EXPECT_EQ(facts.odd_packs, 0u);
  EXPECT_EQ(facts.mux_rate, 3528u);
}

TEST_F(StreamComplianceTest, OtherMediaFilesGetTheirFactsAndOneWayToAVideoCd) {
  StreamFacts facts;
  const auto problems = Problems("phone.mp4", facts);
  EXPECT_EQ(facts.mpeg_version, 0);
  EXPECT_EQ(facts.video_codec, "h264");
  EXPECT_EQ(facts.audio_codec, "aac");
  EXPECT_EQ(facts.width, 352);
  EXPECT_NEAR(facts.duration, 1, 0.1);
  ASSERT_FALSE(problems.empty());
  EXPECT_EQ(problems[0].substr(0, problems[0].find(" | ")),
            "the file is mov,mp4,m4a,3gp,3g2,mj2, no MPEG program stream; a Video CD needs an "
            "MPEG-1 system stream");
  const std::string report =
      DescribeStream("phone.mp4", facts, FindStreamProblems("phone.mp4", facts));
  EXPECT_NE(report.find("  system stream  MPEG-1"), std::string::npos) << report;
  EXPECT_NE(report.find("    fix: ffmpeg -i phone.mp4 -target pal-vcd phone-vcd.mpg\n"
                        "    or in the script: MAKE MPEG PAL \"phone-vcd.mpg\" FROM VIDEO "
                        "\"phone.mp4\" ENDMAKE\n"),
            std::string::npos)
      << report;
}

TEST_F(StreamComplianceTest, FilesThatAreNoProgramStreamAreRefusedWithAReason) {
  StreamFacts facts;
  std::string reason;
  EXPECT_FALSE(ReadStreamFacts(media_->Write("notes.txt", "not a stream"), facts, reason));
  EXPECT_EQ(reason, "is no MPEG program stream: it does not start with a pack header");
  EXPECT_FALSE(ReadStreamFacts(Media("missing.mpg"), facts, reason));
  EXPECT_EQ(reason, "cannot be read");
}

}  // namespace
}  // namespace vcd2
