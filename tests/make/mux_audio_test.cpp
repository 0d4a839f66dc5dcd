// Stills multiplexed with MPEG audio, read back by ffmpeg, and a disc with
// such a stream as its segment play item.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <map>

#include "make/mux_media.h"
#include "support/disc_build.h"
#include "support/iso_reader.h"

namespace vcd2 {
namespace {

constexpr FileType kStill = FileType::kMpegStill;
constexpr FileType kAudio = FileType::kMpegAudio;

class MuxAudioTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { media_ = new test::MuxMedia; }
  static void TearDownTestSuite() { delete media_; }

  std::string Out(const std::string& name) const { return (dir_.Path() / name).string(); }

  // A PAL pair shown for 2 s, then a PAL still for 2 s, with the audio,
  // checked as written: clocks and each stream's time stamps rise, and no
  // audio packet arrives after its presentation time or overflows the
  // 4096-byte audio buffer.
  test::MuxRun MuxTwoGroups(const std::string& audio, const std::string& target) {
    auto run = test::RunMuxJob(target, {{media_->Still(704, 576), kStill, 1},
                                        {media_->Still(352, 288), kStill, 1, 30},
                                        {audio, kAudio, 2},
                                        {media_->Still(352, 288), kStill, 3, 30}});
    EXPECT_TRUE(run.ok);
    std::deque<std::pair<uint32_t, size_t>> buffer;
    size_t fullness = 0;
    std::map<uint8_t, uint32_t> last_pts;
    for (size_t i = 0; i < run.packs.size(); ++i) {
      const auto& pack = run.packs[i];
      EXPECT_GE(pack.scr, i > 0 ? run.packs[i - 1].scr + 1200 : 0);
      const auto& packet = pack.packets.at(0);
      if (!packet.pts) continue;
      EXPECT_GT(*packet.pts, last_pts[packet.id]);
      last_pts[packet.id] = *packet.pts;
      if (packet.id != 0xC0) continue;
      for (; !buffer.empty() && buffer.front().first <= pack.scr; buffer.pop_front()) {
        fullness -= buffer.front().second;
      }
      EXPECT_EQ(pack.size, 2304u);
      EXPECT_EQ(packet.buffer, 0x4020);
      EXPECT_GT(*packet.pts, pack.scr + 1200);
      buffer.emplace_back(*packet.pts, packet.data.size());
      fullness += packet.data.size();
      EXPECT_LE(fullness, 4096u) << pack.scr;
    }
    return run;
  }

  static test::MuxMedia* media_;
  test::TempDir dir_;
};

test::MuxMedia* MuxAudioTest::media_ = nullptr;

// The audio's own frames come out whole; after them, while the first still
// is shown, frames of silence for the same kind of stream.
TEST_F(MuxAudioTest, ShortAudioIsFollowedBySilence) {
  struct Kind {
    int channels, kbits, rate;
  };
  // Mono at 224 kbit/s is outside the Layer II table yet common.
  for (const Kind& kind : {Kind{2, 224, 44100}, Kind{1, 224, 44100}, Kind{1, 64, 32000}}) {
    SCOPED_TRACE(std::to_string(kind.channels) + " " + std::to_string(kind.kbits));
    const std::string audio = media_->Audio(1.0, kind.channels, kind.kbits, kind.rate);
    const std::string mux = Out("mux.mpg");
    MuxTwoGroups(audio, mux);
    ASSERT_EQ(test::Shell("ffmpeg -xerror -i '" + mux + "' -f null -"), 0);
    ASSERT_EQ(
        test::Shell("ffmpeg -y -i '" + mux + "' -map 0:a -c copy -f mp2 '" + Out("a.mp2") + "'"),
        0);
    ASSERT_EQ(test::Shell("ffmpeg -y -i '" + Out("a.mp2") + "' -f s16le '" + Out("a.raw") + "'"),
              0);
    const auto source = test::ReadBytes(audio);
    const auto extracted = test::ReadBytes(Out("a.mp2"));
    ASSERT_GT(extracted.size(), source.size());
    EXPECT_TRUE(std::equal(source.begin(), source.end(), extracted.begin()));
    const auto raw = test::ReadBytes(Out("a.raw"));
    const size_t second = 2u * kind.channels * kind.rate;
    ASSERT_GT(raw.size(), 2 * second);  // as long as the first still is shown
    EXPECT_TRUE(std::any_of(raw.begin(), raw.begin() + second / 2, [](uint8_t b) { return b; }));
    EXPECT_TRUE(std::all_of(raw.begin() + second * 3 / 2, raw.end(), [](uint8_t b) { return !b; }));
  }
}

// Audio that outlasts the stills is written to its end after the last group;
// a padding pack ends the stream.
TEST_F(MuxAudioTest, LongAudioPlaysToItsEnd) {
  const std::string audio = media_->Audio(5.0, 2, 224);
  const auto run = MuxTwoGroups(audio, Out("slides.mpg"));
  EXPECT_EQ(test::StreamData(run.packs, 0xC0), test::ReadBytes(audio));
  ASSERT_GE(run.packs.size(), 2u);
  EXPECT_GT(run.packs.back().scr, 5 * 90000u);
  EXPECT_TRUE(run.packs.back().end_code);
  EXPECT_EQ(run.packs.back().packets.at(0).id, 0xBE);
  size_t headers = 0;
  for (const auto& pack : run.packs) headers += pack.packets.at(0).id == 0xBB;
  EXPECT_EQ(headers, 3u);  // the audio's and one per group
}

// One script makes a still pair from a picture and MPEG audio from a sound,
// multiplexes them and places the stream as a segment play item; the disc
// reads back as a high-resolution PAL still with stereo audio.
TEST_F(MuxAudioTest, ADiscFromAPictureAndASound) {
  ASSERT_EQ(test::Shell("ffmpeg -y -f lavfi -i testsrc=size=640x480 -frames:v 1 '" +
                        Out("pic.bmp") + "'"),
            0);
  ASSERT_EQ(test::Shell("ffmpeg -y -f lavfi -i sine=duration=3 -ac 2 '" + Out("snd.wav") + "'"), 0);
  const std::string disc = Out("disc");
  // The mount label DIR is a keyword, which would end the STILL stream.
  const auto build = test::BuildDisc(
      dir_,
      "MAKE STILL PALHIGH DIR \"hi.mpg\" DIR \"lo.mpg\" FROM BMP DIR \"pic.bmp\" ENDMAKE\n"
      "MAKE MPA 224S DIR \"snd.mp2\" FROM WAVE DIR \"snd.wav\" ENDMAKE\n"
      "MAKE MUX DIR \"slides.mpg\" FROM STILL \"" +
          Out("lo.mpg") + "\" \"" + Out("hi.mpg") +
          "\" LENGTH 45 AUDIO DIR \"snd.mp2\" ENDMAKE\n"
          "OUTPUT 1 DIR \"data.bin\" ENDOUTPUT\n"
          "SEGMENT SLIDES 1 DIR \"slides.mpg\"\n"
          "PLAYLIST START PLAY SLIDES ENDPLAY ENDPLAYLIST\n",
      "", disc.c_str());
  ASSERT_EQ(build.result, 0) << (build.messages.empty() ? "" : build.messages[0]);
  EXPECT_FALSE(std::filesystem::exists(Out("slides.mpg")));  // made files go with the build
  EXPECT_EQ(test::ReadImageSector(Out("data.bin"), 150)[24 + 56], 0x1A);  // in INFO.VCD
  EXPECT_NE(test::Capture("vcd-info --no-banner -c '" + disc + ".cue' 2>&1")
                .find("audio: stereo, video: PAL still (lo+hires)"),
            std::string::npos);
  test::IsoReader reader(Out("data.bin"));
  const auto segments = reader.List("/SEGMENT/");
  ASSERT_TRUE(segments && segments->size() == 1);
  std::vector<uint8_t> stream;
  for (uint32_t i = 0; i < segments->at(0).size / 2048; ++i) {
    const RawSector sector =
        test::ReadImageSector(Out("data.bin"), static_cast<int32_t>(segments->at(0).lsn + i));
    const auto pack = sector.begin() + 24;
    if (pack[2] == 1) stream.insert(stream.end(), pack, pack + ((sector[18] & 4) ? 2304 : 2324));
  }
  const std::string extracted =
      dir_.Write("extracted.mpg", std::string(stream.begin(), stream.end()));
  EXPECT_EQ(test::Shell("ffmpeg -xerror -i '" + extracted + "' -f null -"), 0);
  const auto audio = test::ProbeStream(extracted);
  EXPECT_EQ(audio.at("codec_name"), "mp2");
  EXPECT_NEAR(std::stod(audio.at("duration")), 3.0, 0.1);
}

}  // namespace
}  // namespace vcd2
