// Still pictures multiplexed without audio: pack layout, stream ids, groups
// and their times, and every refused rule.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "make/mux_media.h"

namespace vcd2 {
namespace {

using test::MuxSources;
using test::ParsedPack;

constexpr FileType kStill = FileType::kMpegStill;

class MuxJobTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { media_ = new test::MuxMedia; }
  static void TearDownTestSuite() { delete media_; }

  std::string Target() const { return (dir_.Path() / "out.mpg").string(); }

  static test::MuxMedia* media_;
  test::TempDir dir_;
};

test::MuxMedia* MuxJobTest::media_ = nullptr;

// A still as the stream carries it: made even in length before its end code.
std::vector<uint8_t> Carried(const std::string& path) {
  std::vector<uint8_t> bytes = test::ReadBytes(path);
  if (bytes.size() % 2 != 0) bytes.insert(bytes.end() - 4, 0);
  return bytes;
}

// The still with zero bytes before its end code, size bytes in all.
std::string PaddedStill(const std::string& still, size_t size, const std::string& path) {
  std::vector<uint8_t> bytes = test::ReadBytes(still);
  bytes.insert(bytes.end() - 4, size - bytes.size(), 0);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
  return path;
}

// Width from the sequence header a stream's data begins with.
int Width(const std::vector<uint8_t>& data) {
  return data.size() < 6 ? 0 : data[4] << 4 | data[5] >> 4;
}

TEST_F(MuxJobTest, PalStillWithoutAudio) {
  const std::string still = PaddedStill(media_->Still(352, 288), 20000, media_->Path("20000.m1v"));
  const auto run = test::RunMuxJob(Target(), MuxSources().Add(still, kStill, 1, 30));
  ASSERT_TRUE(run.ok) << (run.messages.empty() ? "" : run.messages[0]);
  EXPECT_TRUE(run.messages.empty());
  const auto& packs = run.packs;
  ASSERT_GT(packs.size(), 4u);
  const auto& header = packs[0].packets.at(0);
  EXPECT_EQ(header.id, 0xBB);
  EXPECT_EQ(header.data,
            (std::vector<uint8_t>{0x80, 0x1B, 0x91, 0x00, 0xE1, 0xFF, 0xE1, 0xE0, 0x2E}));
  EXPECT_EQ(packs[0].packets.at(1).id, 0xBE);
  for (size_t i = 0; i < packs.size(); ++i) {
    EXPECT_EQ(packs[i].size, 2324u) << i;
    EXPECT_EQ(packs[i].scr, 1200 * i) << i;
    EXPECT_EQ(packs[i].end_code, i + 1 == packs.size()) << i;
  }
  const auto& first = packs[1].packets.at(0);
  EXPECT_EQ(first.id, 0xE1);
  EXPECT_EQ(first.buffer, 0x602E);
  EXPECT_EQ(first.data.size(), 2294u);
  ASSERT_TRUE(first.pts && first.dts);
  EXPECT_EQ(*first.pts - *first.dts, 3600u);  // one picture at 25 Hz
  EXPECT_GE(*first.dts, packs.back().scr);    // decoded once all has arrived
  for (size_t i = 2; i + 1 < packs.size(); ++i) {
    EXPECT_EQ(packs[i].packets.at(0).data.size(), 2304u) << i;
    EXPECT_FALSE(packs[i].packets[0].pts) << i;
  }
  EXPECT_EQ(test::StreamData(packs, 0xE1), Carried(still));
}

// The 352-wide file goes as 0xE1, the 704-wide one as 0xE2, and the low
// picture's last pack follows the high picture's.
TEST_F(MuxJobTest, PairInEitherOrder) {
  const std::string low = media_->Still(352, 288);
  const std::string high = media_->Still(704, 576);
  for (bool high_first : {false, true}) {
    MuxSources sources;
    sources.Add(high_first ? high : low, kStill, 1, 10).Add(high_first ? low : high, kStill, 1);
    const auto run = test::RunMuxJob(Target(), sources);
    ASSERT_TRUE(run.ok) << (run.messages.empty() ? "" : run.messages[0]);
    const auto low_data = test::StreamData(run.packs, 0xE1);
    const auto high_data = test::StreamData(run.packs, 0xE2);
    EXPECT_EQ(low_data, Carried(low));
    EXPECT_EQ(high_data, Carried(high));
    EXPECT_EQ(Width(low_data), 352);
    EXPECT_EQ(Width(high_data), 704);
    const uint16_t kb = static_cast<uint16_t>((high_data.size() + 1023) / 1024);
    const auto& header = run.packs[0].packets.at(0).data;
    ASSERT_EQ(header.size(), 12u);
    EXPECT_EQ(header[4], 0xE2);
    EXPECT_EQ(std::vector<uint8_t>(header.begin() + 9, header.end()),
              (std::vector<uint8_t>{0xE2, static_cast<uint8_t>(0xE0 | kb >> 8),
                                    static_cast<uint8_t>(kb & 0xFF)}));
    size_t last_low = 0, last_high = 0;
    for (size_t i = 0; i < run.packs.size(); ++i) {
      const auto& packet = run.packs[i].packets.at(0);
      if (packet.id == 0xE1) last_low = i;
      if (packet.id == 0xE2) {
        last_high = i;
        if (packet.pts) {
          EXPECT_EQ(*packet.buffer, 0x6000 | kb);
        }
      }
    }
    EXPECT_EQ(last_low, run.packs.size() - 1);
    EXPECT_LT(last_high, last_low);
  }
}

// Each group starts with its own system header at n * 6000 ticks after the
// one before, or right after it when its pictures take longer; a 704-wide
// still alone is a low picture.
TEST_F(MuxJobTest, GroupsAndTheirTimes) {
  MuxSources sources;
  const std::string ntsc = media_->Still(352, 240, "30000/1001");
  sources.Add(PaddedStill(ntsc, 20000, media_->Path("ntsc20000.m1v")), kStill, 1, 30)
      .Add(PaddedStill(media_->Still(704, 288), 20000, media_->Path("wide.m1v")), kStill, 2, 1)
      .Add(media_->Still(352, 288), kStill, 3, 5);
  const auto run = test::RunMuxJob(Target(), sources);
  ASSERT_TRUE(run.ok) << (run.messages.empty() ? "" : run.messages[0]);
  std::vector<size_t> starts;
  for (size_t i = 0; i < run.packs.size(); ++i) {
    if (run.packs[i].packets.at(0).id == 0xBB) starts.push_back(i);
    EXPECT_EQ(run.packs[i].end_code, i + 1 == run.packs.size()) << i;
  }
  ASSERT_EQ(starts.size(), 3u);
  EXPECT_EQ(run.packs[starts[1]].scr, 30u * 6000);
  const uint32_t second_end = run.packs[starts[2] - 1].scr + 1200;
  EXPECT_GT(second_end - 30 * 6000, 6000u);  // longer than its LENGTH of 1
  EXPECT_EQ(run.packs[starts[2]].scr, second_end);
  const auto& first = run.packs[1].packets.at(0);
  EXPECT_EQ(*first.pts - *first.dts, 3003u);
  EXPECT_TRUE(test::StreamData(run.packs, 0xE2).empty());
}

TEST_F(MuxJobTest, RefusedRules) {
  const std::string low = media_->Still(352, 288);
  const std::string high = media_->Still(704, 576);
  const std::string odd = media_->Still(480, 288);
  const std::string short_one = media_->Still(352, 200);
  const std::string no_end = media_->Path("no_end.m1v");
  const auto bytes = test::ReadBytes(low);
  std::ofstream(no_end, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size() - 4));
  const std::string layer3 = dir_.Write("a.mp3", std::string("\0\0\xFF\xFB\x90\x00", 6));
  const std::string mpeg2 = dir_.Write("b.mp2", std::string("\xFF\xF5\x80\x00", 4));
  const std::string riff = dir_.Write("c.wav", "RIFF....WAVE");
  const std::string audio = media_->Audio(0.5, 2, 224);
  struct Case {
    MuxSources sources;
    std::vector<std::string> messages;
  };
  std::vector<Case> cases;
  cases.push_back({MuxSources().Add(low, FileType::kMpegVideo, 1).Add(low, kStill, 2),
                   {"Illegal MUX Mode", "Cannot multiplex motion pictures."}});
  cases.push_back(
      {MuxSources().Add(low, FileType::kMpegVideo, 1), {"Cannot multiplex motion pictures."}});
  cases.push_back({MuxSources().Add(audio, FileType::kMpegAudio, 1), {}});
  cases.push_back({MuxSources().Add(low, kStill, 4000), {"Muxer: nothing to do."}});
  cases.push_back({MuxSources()
                       .Add(audio, FileType::kMpegAudio, 1)
                       .Add(audio, FileType::kMpegAudio, 2)
                       .Add(low, kStill, 3),
                   {"Cannot mux more than one audio stream."}});
  for (const auto& [file, found] : std::vector<std::pair<std::string, std::string>>{
           {layer3, "an MPEG-1 Layer III frame"},
           {mpeg2, "an MPEG-2 Layer II frame"},
           {riff, "bytes 52 49 46 46 at offset 0"},
           {dir_.Write("d.mp2", std::string(9, '\0')), "the end of the file"}}) {
    cases.push_back({MuxSources().Add(file, FileType::kMpegAudio, 1).Add(low, kStill, 2),
                     {file + " is not MPEG-1 Layer II audio: found " + found + "."}});
  }
  cases.push_back({MuxSources().Add(low, kStill, 1).Add(low, kStill, 1),
                   {"Still MPEG stream " + low + " must be 704 pixel wide."}});
  cases.push_back({MuxSources().Add(high, kStill, 1).Add(high, kStill, 1),
                   {"Still MPEG stream " + high + " must be 352 pixel wide."}});
  cases.push_back({MuxSources().Add(low, kStill, 1).Add(odd, kStill, 1),
                   {"Still MPEG stream " + odd + " must be 352 or 704 pixel wide."}});
  cases.push_back({MuxSources().Add(short_one, kStill, 1),
                   {"Still MPEG stream " + short_one + " must be 288 or 240 pixel high."}});
  cases.push_back({MuxSources().Add(media_->Still(704, 288), kStill, 1).Add(low, kStill, 1),
                   {"Still MPEG stream " + low + " must be 576 or 480 pixel high."}});
  cases.push_back({MuxSources().Add(low, kStill, 1).Add(no_end, kStill, 2),
                   {"Invalid Still MPEG stream " + no_end + "."}});
  for (const Case& c : cases) {
    const auto run = test::RunMuxJob(Target(), c.sources);
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.messages, c.messages);
    EXPECT_FALSE(std::filesystem::exists(Target()));
    EXPECT_TRUE(std::filesystem::is_empty(dir_.Path()) ||
                !std::filesystem::exists(Target() + ".part"));
  }
}

}  // namespace
}  // namespace vcd2
