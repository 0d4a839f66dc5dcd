// Still pictures multiplexed without audio: pack layout, stream ids, groups
// and their times, and the refused rules.
#include <gtest/gtest.h>

#include <filesystem>

#include "make/mux_media.h"

namespace vcd2 {
namespace {

constexpr FileType kStill = FileType::kMpegStill;
constexpr FileType kAudio = FileType::kMpegAudio;

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

TEST_F(MuxJobTest, PalStillWithoutAudio) {
  const std::string still = media_->Still(352, 288, "25", 20000);
  const auto run = test::RunMuxJob(Target(), {{still, kStill, 1, 30}});
  ASSERT_TRUE(run.ok);
  EXPECT_TRUE(run.messages.empty());
  const auto& packs = run.packs;
  ASSERT_EQ(packs.size(), 10u);  // a system header, then 2294, 7 times 2304 and the rest
  EXPECT_EQ(packs[0].packets.at(0).data,
            (std::vector<uint8_t>{0x80, 0x1B, 0x91, 0x00, 0xE1, 0xFF, 0xE1, 0xE0, 0x2E}));
  EXPECT_EQ(packs[0].packets.at(1).id, 0xBE);
  for (size_t i = 0; i < packs.size(); ++i) {
    EXPECT_EQ(packs[i].size, 2324u) << i;
    EXPECT_EQ(packs[i].scr, 1200 * i) << i;
    EXPECT_EQ(packs[i].end_code, i == 9) << i;
    const size_t data = packs[i].packets.at(0).data.size();
    if (i > 1 && i < 9) {
      EXPECT_EQ(data, 2304u) << i;
    }
  }
  const auto& first = packs[1].packets.at(0);
  EXPECT_EQ(first.id, 0xE1);
  EXPECT_EQ(first.buffer, 0x602E);
  EXPECT_EQ(first.data.size(), 2294u);
  EXPECT_EQ(*first.pts - *first.dts, 3600u);  // one picture at 25 Hz
  EXPECT_GE(*first.dts, packs.back().scr);    // decoded once all has arrived
  EXPECT_EQ(test::StreamData(packs, 0xE1), Carried(still));
}

// The 352-wide file goes as 0xE1, the 704-wide one as 0xE2, whose buffer
// size the system header gives; the low picture's last pack comes last.
TEST_F(MuxJobTest, PairInEitherOrder) {
  const std::string low = media_->Still(352, 288);
  const std::string high = media_->Still(704, 576);
  for (bool high_first : {false, true}) {
    const auto run = test::RunMuxJob(
        Target(), {{high_first ? high : low, kStill, 1, 10}, {high_first ? low : high, kStill, 1}});
    ASSERT_TRUE(run.ok);
    EXPECT_EQ(test::StreamData(run.packs, 0xE1), Carried(low));
    const auto high_data = test::StreamData(run.packs, 0xE2);
    EXPECT_EQ(high_data, Carried(high));
    const auto kb = static_cast<uint8_t>((high_data.size() + 1023) / 1024);
    const auto& header = run.packs[0].packets.at(0).data;
    EXPECT_EQ(header, (std::vector<uint8_t>{0x80, 0x1B, 0x91, 0x00, 0xE2, 0xFF, 0xE1, 0xE0, 0x2E,
                                            0xE2, 0xE0, kb}));
    EXPECT_EQ(run.packs.back().packets.at(0).id, 0xE1);
    for (const auto& pack : run.packs) {
      if (pack.packets.at(0).id == 0xE2 && pack.packets[0].pts) {
        EXPECT_EQ(pack.packets[0].buffer, 0x6000 | kb);
      }
    }
  }
}

// Each group starts with its own system header n * 6000 ticks after the one
// before, or right after it when its pictures take longer; a 704-wide still
// alone is a low picture.
TEST_F(MuxJobTest, GroupsAndTheirTimes) {
  const auto run =
      test::RunMuxJob(Target(), {{media_->Still(352, 240, "30000/1001", 20000), kStill, 1, 30},
                                 {media_->Still(704, 288, "25", 20000), kStill, 2, 1},
                                 {media_->Still(352, 288), kStill, 3, 5}});
  ASSERT_TRUE(run.ok);
  std::vector<size_t> starts;
  for (size_t i = 0; i < run.packs.size(); ++i) {
    if (run.packs[i].packets.at(0).id == 0xBB) starts.push_back(i);
    EXPECT_EQ(run.packs[i].end_code, i + 1 == run.packs.size()) << i;
  }
  ASSERT_EQ(starts.size(), 3u);
  EXPECT_EQ(run.packs[starts[1]].scr, 30u * 6000);
  EXPECT_EQ(run.packs[starts[2]].scr, 30u * 6000 + 10 * 1200);
  const auto& first = run.packs[1].packets.at(0);
  EXPECT_EQ(*first.pts - *first.dts, 3003u);
  EXPECT_TRUE(test::StreamData(run.packs, 0xE2).empty());
}

TEST_F(MuxJobTest, RefusedRulesLeaveNoTarget) {
  const std::string low = media_->Still(352, 288);
  const std::string high = media_->Still(704, 576);
  const std::string wide = media_->Still(480, 288);
  const std::string flat = media_->Still(352, 200);
  const auto bytes = test::ReadBytes(low);
  const std::string no_end = dir_.Write("no_end.m1v", std::string(bytes.begin(), bytes.end() - 4));
  const std::string audio = media_->Audio(0.5, 2, 224);
  using Messages = std::vector<std::string>;
  std::vector<std::pair<std::vector<test::MuxSource>, Messages>> cases = {
      {{{low, FileType::kMpegVideo, 1}, {low, kStill, 2}},
       {"Illegal MUX Mode", "Cannot multiplex motion pictures."}},
      {{{audio, kAudio, 1}}, {}},
      {{{low, kStill, 4000}}, {"Muxer: nothing to do."}},
      {{{audio, kAudio, 1}, {audio, kAudio, 2}, {low, kStill, 3}},
       {"Cannot mux more than one audio stream."}},
      {{{low, kStill, 1}, {low, kStill, 1}},
       {"Still MPEG stream " + low + " must be 704 pixel wide."}},
      {{{high, kStill, 1}, {high, kStill, 1}},
       {"Still MPEG stream " + high + " must be 352 pixel wide."}},
      {{{low, kStill, 1}, {wide, kStill, 1}},
       {"Still MPEG stream " + wide + " must be 352 or 704 pixel wide."}},
      {{{flat, kStill, 1}}, {"Still MPEG stream " + flat + " must be 288 or 240 pixel high."}},
      {{{media_->Still(704, 288), kStill, 1}, {low, kStill, 1}},
       {"Still MPEG stream " + low + " must be 576 or 480 pixel high."}},
      {{{low, kStill, 1}, {no_end, kStill, 2}}, {"Invalid Still MPEG stream " + no_end + "."}}};
  for (const auto& [file, found] : std::vector<std::pair<std::string, std::string>>{
           {dir_.Write("a.mp3", std::string("\0\0\xFF\xFB\x90\x00", 6)),
            "an MPEG-1 Layer III frame"},
           {dir_.Write("b.mp2", std::string("\xFF\xF5\x80\x00", 4)), "an MPEG-2 Layer II frame"},
           {dir_.Write("c.wav", "RIFF....WAVE"), "bytes 52 49 46 46 at offset 0"},
           {dir_.Write("d.mp2", std::string(9, '\0')), "the end of the file"}}) {
    cases.push_back({{{file, kAudio, 1}, {low, kStill, 2}},
                     {file + " is not MPEG-1 Layer II audio: found " + found + "."}});
  }
  for (const auto& [sources, messages] : cases) {
    const auto run = test::RunMuxJob(Target(), sources);
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.messages, messages);
    EXPECT_FALSE(std::filesystem::exists(Target()));
  }
}

}  // namespace
}  // namespace vcd2
