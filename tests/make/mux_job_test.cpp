// Still pictures multiplexed with and without MPEG audio: pack layout,
// stream ids, groups and their times, audio read back by ffmpeg, the refused
// rules, and a disc with such a stream as its segment play item.
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

class MuxJobTest : public test::MuxTest {
 protected:
  std::string Target() const { return Out("out.mpg"); }
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
};

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

// The audio's own frames come out whole; after them, while the first still
// is shown, frames of silence for the same kind of stream.
TEST_F(MuxJobTest, ShortAudioIsFollowedBySilence) {
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
TEST_F(MuxJobTest, LongAudioPlaysToItsEnd) {
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
TEST_F(MuxJobTest, ADiscFromAPictureAndASound) {
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
  const auto stream = test::PackStream(Out("data.bin"), static_cast<int32_t>(segments->at(0).lsn),
                                       static_cast<int32_t>(segments->at(0).size / 2048));
  const std::string extracted =
      dir_.Write("extracted.mpg", std::string(stream.begin(), stream.end()));
  EXPECT_EQ(test::Shell("ffmpeg -xerror -i '" + extracted + "' -f null -"), 0);
  const auto audio = test::ProbeStream(extracted);
  EXPECT_EQ(audio.at("codec_name"), "mp2");
  EXPECT_NEAR(std::stod(audio.at("duration")), 3.0, 0.1);
}

}  // namespace
}  // namespace vcd2
