// Still pictures multiplexed with and without MPEG audio: pack layout,
// stream ids, groups and their times, audio read back by ffmpeg, and the refused
// rules.
#include "make/mux_job.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "media/stream_compliance.h"
#include "media/stream_facts.h"
#include "model/items.h"
#include "support/audio_buffer_check.h"
#include "support/media_tools.h"
#include "support/message_capture.h"
#include "support/pack_parser.h"
#include "support/temp_dir.h"

namespace vcd2 {
namespace {

constexpr FileType kStill = FileType::kMpegStill;
constexpr FileType kAudio = FileType::kMpegAudio;

// A source of a MAKE MUX rule.
struct MuxSource {
  std::string path;
  FileType type;
  uint32_t stream;
  uint32_t length = 0;
};

// What a MuxJob reported, and the stream it wrote.
struct MuxRun {
  bool ok = false;
  std::vector<std::string> messages;
  std::vector<test::ParsedPack> packs;
};

class MuxJobTest : public ::testing::Test {
 protected:
  // The media are made by ffmpeg once for the suite.
  static void SetUpTestSuite() { media_ = new test::TempDir; }
  static void TearDownTestSuite() { delete media_; }

  // One picture of the lavfi source as an MPEG-1 still ending in the
  // sequence end code, at 30000/1001 Hz when 240 or 480 high; with a size,
  // zero bytes before the end code make it that long.
  static std::string Still(int width, int height, size_t size = 0,
                           const std::string& source = "testsrc") {
    const std::string dimensions = std::to_string(width) + "x" + std::to_string(height);
    const auto made = media_->Path() / (source + dimensions + ".m1v");  // without end code
    if (!std::filesystem::exists(made)) {
      media_->Write(made.filename(),
                    test::Capture("ffmpeg -v error -f lavfi -i " + source + "=size=" + dimensions +
                                  ":rate=" + (height % 240 == 0 ? "30000/1001" : "25") +
                                  " -frames:v 1 -c:v mpeg1video -f mpeg1video -"));
    }
    std::vector<uint8_t> bytes = test::ReadBytes(made);
    bytes.resize(std::max(size, bytes.size() + 4), 0);
    const uint8_t end_code[] = {0, 0, 1, 0xB7};
    std::copy(std::begin(end_code), std::end(end_code), bytes.end() - 4);
    const std::string name = made.stem().string() + "s" + std::to_string(size) + ".mpv";
    return media_->Write(name, std::string(bytes.begin(), bytes.end()));
  }
  // A sine as MPEG-1 Layer II audio, in place of the one made before.
  static std::string Audio(double seconds, int channels, int kbits, int rate = 44100) {
    return media_->Write(
        "sine.mp2", test::Capture("ffmpeg -v error -f lavfi -i sine=frequency=440:duration=" +
                                  std::to_string(seconds) + " -ac " + std::to_string(channels) +
                                  " -ar " + std::to_string(rate) + " -c:a mp2 -b:a " +
                                  std::to_string(kbits) + "k -f mp2 -"));
  }

  std::string Target() const { return dir_.Path() / "out.mpg"; }

  // A MuxJob run on the sources into Target().
  MuxRun Mux(const std::vector<MuxSource>& sources) const {
    std::vector<std::unique_ptr<FileRef>> list;
    for (const MuxSource& source : sources) {
      auto item = std::make_unique<MakeSourceItem>(FileRef(source.path), source.stream);
      item->SetFileType(source.type);
      item->length = source.length;
      list.push_back(std::move(item));
    }
    test::MessageCapture capture;
    const bool ok = static_cast<bool>(MuxJob(Target(), list).RunMux());
    return {ok, capture.Messages(),
            ok ? test::ParsePacks(test::ReadBytes(Target())) : std::vector<test::ParsedPack>{}};
  }

  // A PAL pair shown for 2 s, then a PAL still for 2 s, with the audio,
  // checked as written: clocks and each stream's time stamps rise.
  MuxRun MuxTwoGroups(const std::string& audio) const {
    auto run = Mux({{Still(704, 576), kStill, 1},
                    {Still(352, 288), kStill, 1, 30},
                    {audio, kAudio, 2},
                    {Still(352, 288), kStill, 3, 30}});
    EXPECT_TRUE(run.ok);
    std::map<uint8_t, uint32_t> last_pts;
    for (size_t i = 0; i < run.packs.size(); ++i) {
      const auto& pack = run.packs[i];
      EXPECT_GE(pack.scr, i > 0 ? run.packs[i - 1].scr + 1200 : 0);
      const auto& packet = pack.packets.at(0);
      if (!packet.pts) continue;
      EXPECT_GT(*packet.pts, last_pts[packet.id]);
      last_pts[packet.id] = *packet.pts;
      if (packet.id != 0xC0) continue;
      EXPECT_EQ(pack.size, 2304u);
      EXPECT_EQ(packet.buffer, 0x4020);
    }
    return run;
  }

  static inline test::TempDir* media_ = nullptr;
  test::TempDir dir_;
};

// A still as the stream carries it: made even in length before its end code.
std::vector<uint8_t> Carried(const std::string& path) {
  std::vector<uint8_t> bytes = test::ReadBytes(path);
  if (bytes.size() % 2 != 0) bytes.insert(bytes.end() - 4, 0);
  return bytes;
}

// The 352-wide file goes as 0xE1, the 704-wide one as 0xE2, whose buffer
// size the system header gives; the low picture's last pack comes last.
TEST_F(MuxJobTest, PairInEitherOrder) {
  const std::string low = Still(352, 288);
  const std::string high = Still(704, 576);
  for (bool high_first : {false, true}) {
    const auto run =
        Mux({{high_first ? high : low, kStill, 1, 10}, {high_first ? low : high, kStill, 1}});
    ASSERT_TRUE(run.ok);
    EXPECT_EQ(test::StreamData(run.packs, 0xE1), Carried(low));
    const auto high_data = test::StreamData(run.packs, 0xE2);
    ASSERT_EQ(high_data, Carried(high));
    const auto kb = static_cast<uint8_t>((high_data.size() + 1023) / 1024);
    const auto is_high = [](const auto& pack) { return pack.packets.at(0).id == 0xE2; };
    EXPECT_EQ(std::find_if(run.packs.begin(), run.packs.end(), is_high)->packets[0].buffer,
              0x6000 | kb);
    EXPECT_EQ(run.packs[0].packets.at(0).data,
              (std::vector<uint8_t>{0x80, 0x1B, 0x91, 0x00, 0xE2, 0xFF, 0xE1, 0xE0, 0x2E, 0xE2,
                                    0xE0, kb}));
    EXPECT_EQ(run.packs.back().packets.at(0).id, 0xE1);
  }
}

// Each group starts with its own system header n * 6000 ticks after the one
// before, or right after it when its pictures take longer; a 704-wide still
// alone is a low picture. The first group's still of 20000 bytes goes in
// packs of a sector: a system header, then 2294 bytes, 7 times 2304 and the
// rest.
TEST_F(MuxJobTest, GroupsAndTheirPacks) {
  const std::string still = Still(352, 288, 20000);
  const auto run = Mux({{still, kStill, 1, 30},
                        {Still(704, 288, 20000), kStill, 2, 1},
                        {Still(352, 240), kStill, 3, 5}});
  ASSERT_TRUE(run.ok);
  EXPECT_TRUE(run.messages.empty());
  const auto& packs = run.packs;
  std::vector<size_t> starts;
  for (size_t i = 0; i < packs.size(); ++i) {
    if (packs[i].packets.at(0).id == 0xBB) starts.push_back(i);
    EXPECT_EQ(packs[i].size, 2324u) << i;
    EXPECT_EQ(packs[i].end_code, i + 1 == packs.size()) << i;
  }
  ASSERT_EQ(starts, (std::vector<size_t>{0, 10, 20}));
  for (size_t i = 0; i < 10; ++i) EXPECT_EQ(packs[i].scr, 1200 * i) << i;
  for (size_t i = 2; i < 9; ++i) EXPECT_EQ(packs[i].packets.at(0).data.size(), 2304u) << i;
  EXPECT_EQ(packs[0].packets.at(0).data,
            (std::vector<uint8_t>{0x80, 0x1B, 0x91, 0x00, 0xE1, 0xFF, 0xE1, 0xE0, 0x2E}));
  EXPECT_EQ(packs[0].packets.at(1).id, 0xBE);
  const auto& first = packs[1].packets.at(0);
  EXPECT_EQ(first.buffer, 0x602E);
  EXPECT_EQ(first.data.size(), 2294u);
  EXPECT_EQ(*first.pts - *first.dts, 3600u);  // one picture at 25 Hz
  EXPECT_GE(*first.dts, packs[9].scr);        // decoded once all has arrived
  EXPECT_EQ(test::StreamData({packs.begin(), packs.begin() + 10}, 0xE1), Carried(still));
  EXPECT_EQ(packs[10].scr, 30u * 6000);
  EXPECT_EQ(packs[20].scr, 30u * 6000 + 10 * 1200);
  EXPECT_EQ(*packs[21].packets.at(0).pts - *packs[21].packets.at(0).dts, 3003u);
  EXPECT_TRUE(test::StreamData(packs, 0xE2).empty());
}

TEST_F(MuxJobTest, RefusedRulesLeaveNoTarget) {
  const std::string low = Still(352, 288);
  const std::string high = Still(704, 576);
  const std::string wide = Still(480, 288);
  const std::string flat = Still(352, 200);
  const auto bytes = test::ReadBytes(low);
  const std::string no_end = dir_.Write("no_end.m1v", std::string(bytes.begin(), bytes.end() - 4));
  const std::string audio = Audio(0.5, 2, 224);
  const std::string no_picture = dir_.Write(
      "header.m1v", std::string(bytes.begin(), bytes.begin() + 12) + std::string("\0\0\1\xB7", 4));
  const std::string large = Still(352, 288, 47106);
  std::vector<std::pair<std::vector<MuxSource>, std::vector<std::string>>> cases = {
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
      {{{Still(704, 288), kStill, 1}, {low, kStill, 1}},
       {"Still MPEG stream " + low + " must be 576 or 480 pixel high."}},
      {{{low, kStill, 1}, {no_end, kStill, 2}}, {"Invalid Still MPEG stream " + no_end + "."}},
      {{{no_picture, kStill, 1}}, {"Invalid Still MPEG stream " + no_picture + "."}},
      {{{high, kStill, 1}, {large, kStill, 1}},
       {"Still MPEG stream " + large +
        " is too large: its picture has 47106 bytes, its buffer 47104."}}};
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
    const auto run = Mux(sources);
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.messages, messages);
    EXPECT_FALSE(std::filesystem::exists(Target()));
  }
}

// At every bit rate the audio buffer neither overflows nor receives a frame
// after its time.
TEST_F(MuxJobTest, AudioBufferHoldsAtEveryBitRate) {
  for (int kbits : {64, 96, 128, 192, 224, 384}) {
    const auto run = MuxTwoGroups(Audio(3, 2, kbits));
    const test::AudioBufferRun buffer = test::RunAudioBuffer(run.packs);
    std::printf("%3d kbit/s: peak %.0f bytes, lateness %.0f ticks\n", kbits, buffer.peak,
                buffer.lateness);
    EXPECT_LE(buffer.peak, 4096) << kbits;
    EXPECT_LE(buffer.lateness, 0) << kbits;
  }
}

// Each picture has arrived by its decoding time, also when its last pack
// would hold 2302 to 2304 bytes and when the first takes it all; the low
// picture's last pack follows the high one's.
TEST_F(MuxJobTest, PicturesArriveBeforeTheirDecodingTime) {
  const auto arrived = [](const std::vector<test::ParsedPack>& packs, uint8_t id) {
    uint32_t dts = 0, last = 0;
    size_t left = test::StreamData(packs, id).size() - 4;  // the end code is no picture
    for (const auto& pack : packs) {
      const auto& packet = pack.packets.at(0);
      if (packet.id != id) continue;
      if (packet.dts) dts = *packet.dts;
      const size_t here = std::min(left, packet.data.size());
      left -= here;
      // Data begins at byte 19 of a pack or later: its last byte's arrival.
      if (here > 0) last = pack.scr + static_cast<uint32_t>((19 + here) * 1200 / 2324);
    }
    return dts >= last;
  };
  for (size_t size : {2294, 2296, 2298, 2300, 4598, 4600, 4602, 4604, 6904, 6906, 11512, 11514,
                      20728, 20730, 20732}) {
    const std::string low = Still(352, 240, size, "color");
    const auto alone = Mux({{low, kStill, 1}});
    const auto pair = Mux({{low, kStill, 1}, {Still(704, 480, size, "color"), kStill, 1}});
    ASSERT_TRUE(alone.ok && pair.ok);
    EXPECT_TRUE(arrived(alone.packs, 0xE1)) << size;
    EXPECT_TRUE(arrived(pair.packs, 0xE1)) << size;
    EXPECT_TRUE(arrived(pair.packs, 0xE2)) << size;
  }
}

// What the multiplexer writes is a compliant still stream, each high
// picture measured against the buffer of its own group; declaring the first
// still's buffer smaller than its picture makes it one no more.
TEST_F(MuxJobTest, AStillLargerThanItsBufferIsNotCompliant) {
  ASSERT_TRUE(Mux({{Still(352, 288), kStill, 1},
                   {Still(704, 576), kStill, 1},
                   {Still(352, 288, 0, "color"), kStill, 2},
                   {Still(704, 576, 0, "color"), kStill, 2}})
                  .ok);
  StreamFacts facts;
  std::string reason;
  ASSERT_TRUE(ReadStreamFacts(Target(), facts, reason)) << reason;
  EXPECT_TRUE(FindStreamProblems(Target(), facts).empty());
  auto bytes = test::ReadBytes(Target());
  ASSERT_EQ(bytes[2324 + 18], 0x60);  // the first video packet's buffer size: 46 KB
  bytes[2324 + 19] = 4;
  const std::string small = dir_.Write("small.mpg", std::string(bytes.begin(), bytes.end()));
  ASSERT_TRUE(ReadStreamFacts(small, facts, reason)) << reason;
  const auto problems = FindStreamProblems(small, facts);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].what, "a still picture is " +
                                  std::to_string(Carried(Still(352, 288)).size()) +
                                  " bytes; the buffer its stream declares holds 4096");
}

// The audio's own frames come out whole and play. After short audio, while
// the first still is shown, come frames of silence for the same kind of
// stream; audio that outlasts the stills is written to its end after the
// last group. A padding pack ends the stream.
TEST_F(MuxJobTest, AudioBesideTheStills) {
  struct Kind {
    double seconds;
    int channels, kbits, rate;
  };
  // Mono at 224 kbit/s is outside the Layer II table yet common.
  for (const Kind& kind : {Kind{1, 2, 224, 44100}, Kind{1, 1, 224, 44100}, Kind{1, 1, 64, 32000},
                           Kind{5, 2, 224, 44100}}) {
    SCOPED_TRACE(testing::Message() << kind.seconds << " s " << kind.channels << " " << kind.kbits);
    const std::string audio = Audio(kind.seconds, kind.channels, kind.kbits, kind.rate);
    const auto source = test::ReadBytes(audio);
    const auto run = MuxTwoGroups(audio);
    const auto carried = test::StreamData(run.packs, 0xC0);
    ASSERT_GE(carried.size(), source.size());
    EXPECT_EQ(carried.size() > source.size(), kind.seconds < 2);  // followed by silence
    EXPECT_TRUE(std::equal(source.begin(), source.end(), carried.begin()));
    EXPECT_GT(run.packs.back().scr, kind.seconds * 90000);
    EXPECT_TRUE(run.packs.back().end_code);
    EXPECT_EQ(run.packs.back().packets.at(0).id, 0xBE);
    const auto is_header = [](const auto& pack) { return pack.packets.at(0).id == 0xBB; };
    EXPECT_EQ(std::count_if(run.packs.begin(), run.packs.end(), is_header), 3);  // audio, 2 groups
    ASSERT_EQ(test::Shell("ffmpeg -xerror -y -i '" + Target() +
                          "' -map 0:v -f null - -map 0:a -f s16le '" + Target() + ".raw'"),
              0);
    const auto raw = test::ReadBytes(Target() + ".raw");
    const size_t second = 2u * kind.channels * kind.rate;
    ASSERT_GT(raw.size(), 2 * second);  // as long as the first still is shown
    EXPECT_TRUE(std::any_of(raw.begin(), raw.begin() + second / 2, [](uint8_t b) { return b; }));
    EXPECT_EQ(std::all_of(raw.begin() + second * 3 / 2, raw.end(), [](uint8_t b) { return !b; }),
              kind.seconds < 2);
  }
}

}  // namespace
}  // namespace vcd2
