// Stills multiplexed with MPEG audio, read back by ffmpeg and ffprobe, and
// a disc with such a stream as its segment play item.
#include <gtest/gtest.h>

#include <deque>

#include "base/byte_order.h"
#include "make/mux_media.h"
#include "support/disc_build.h"
#include "support/iso_reader.h"

namespace vcd2 {
namespace {

using test::MuxSources;
using test::ParsedPack;

constexpr FileType kStill = FileType::kMpegStill;
constexpr FileType kAudio = FileType::kMpegAudio;

class MuxAudioTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { media_ = new test::MuxMedia; }
  static void TearDownTestSuite() { delete media_; }

  std::string Out(const std::string& name) const { return (dir_.Path() / name).string(); }

  // A stream of a PAL pair shown for 2 s, the audio and a PAL still shown
  // for 2 s, checked as it is written: every clock rises, no audio packet
  // arrives after its presentation time and the 4096-byte audio buffer never
  // overflows.
  test::MuxRun MuxTwoGroups(const std::string& audio, const std::string& target) {
    MuxSources sources;
    sources.Add(media_->Still(704, 576), kStill, 1)
        .Add(media_->Still(352, 288), kStill, 1, 30)
        .Add(audio, kAudio, 2)
        .Add(media_->Still(352, 288), kStill, 3, 30);
    auto run = test::RunMuxJob(target, sources);
    EXPECT_TRUE(run.ok) << (run.messages.empty() ? "" : run.messages[0]);
    std::deque<std::pair<uint32_t, size_t>> buffer;
    size_t fullness = 0;
    std::optional<uint32_t> last_scr, last_pts;
    for (const ParsedPack& pack : run.packs) {
      if (last_scr) {
        EXPECT_GE(pack.scr, *last_scr + 1200);
      }
      last_scr = pack.scr;
      const auto& packet = pack.packets.at(0);
      if (packet.id != 0xC0) continue;
      while (!buffer.empty() && buffer.front().first <= pack.scr) {
        fullness -= buffer.front().second;
        buffer.pop_front();
      }
      EXPECT_EQ(pack.size, 2304u);
      EXPECT_EQ(packet.buffer, 0x4020);
      EXPECT_GT(*packet.pts, pack.scr + 1200);
      if (last_pts) {
        EXPECT_GT(*packet.pts, *last_pts);
      }
      last_pts = packet.pts;
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
    EXPECT_EQ(test::Capture("ffmpeg -v error -i '" + mux + "' -f null - 2>&1"), "");
    ASSERT_EQ(test::Shell("ffmpeg -v error -y -i '" + mux + "' -map 0:a -c copy -f mp2 '" +
                          Out("a.mp2") + "' && ffmpeg -v error -y -i '" + Out("a.mp2") +
                          "' -f s16le '" + Out("a.raw") + "'"),
              0);
    const auto source = test::ReadBytes(audio);
    const auto extracted = test::ReadBytes(Out("a.mp2"));
    ASSERT_GT(extracted.size(), source.size());
    EXPECT_TRUE(std::equal(source.begin(), source.end(), extracted.begin()));
    const auto raw = test::ReadBytes(Out("a.raw"));
    const size_t second = 2u * kind.channels * kind.rate;
    ASSERT_GT(raw.size(), 2 * second);  // the audio lasts as long as the first still
    EXPECT_TRUE(std::any_of(raw.begin(), raw.begin() + second / 2, [](uint8_t b) { return b; }));
    EXPECT_TRUE(std::all_of(raw.begin() + second * 3 / 2, raw.end(), [](uint8_t b) { return !b; }));
  }
}

// Audio that outlasts the stills is written to its end after the last group,
// then the stream ends; a disc holds it as a still-with-audio segment.
TEST_F(MuxAudioTest, LongAudioPlaysToItsEndOnADisc) {
  const std::string audio = media_->Audio(5.0, 2, 224);
  const auto run = MuxTwoGroups(audio, Out("slides.mpg"));
  EXPECT_EQ(test::StreamData(run.packs, 0xC0), test::ReadBytes(audio));
  ASSERT_GE(run.packs.size(), 2u);
  EXPECT_GT(run.packs.back().scr, 5 * 90000u);
  EXPECT_TRUE(run.packs.back().end_code);
  EXPECT_EQ(run.packs.back().packets.at(0).id, 0xBE);
  size_t headers = 0;
  for (const ParsedPack& pack : run.packs) headers += pack.packets.at(0).id == 0xBB;
  EXPECT_EQ(headers, 3u);  // the audio's and one per group

  const auto build = test::BuildDisc(dir_,
                                     "OUTPUT 1 DIR \"data.bin\" ENDOUTPUT\n"
                                     "SEGMENT SLIDES 1 DIR \"slides.mpg\"\n"
                                     "PLAYLIST START PLAY SLIDES ENDPLAY ENDPLAYLIST\n");
  ASSERT_EQ(build.result, 0) << (build.messages.empty() ? "" : build.messages[0]);
  const RawSector info = test::ReadImageSector(Out("data.bin"), 150);
  EXPECT_EQ(info[24 + 56], 0x1A);  // PAL high-resolution still with stereo audio
  test::IsoReader reader(Out("data.bin"));
  const auto segments = reader.List("/SEGMENT/");
  ASSERT_TRUE(segments);
  ASSERT_EQ(segments->size(), 1u);
  const uint32_t first = segments->at(0).lsn;
  std::vector<uint8_t> stream;
  for (uint32_t lba = first; lba < first + segments->at(0).size / 2048; ++lba) {
    const RawSector sector = test::ReadImageSector(Out("data.bin"), static_cast<int32_t>(lba));
    const size_t size = (sector[18] & 0x04) ? 2304 : 2324;
    if (sector[24] == 0 && sector[26] == 1)
      stream.insert(stream.end(), sector.begin() + 24, sector.begin() + 24 + size);
  }
  const auto packs = test::ParsePacks(stream);
  EXPECT_EQ(test::StreamData(packs, 0xC0), test::ReadBytes(audio));
}

}  // namespace
}  // namespace vcd2
