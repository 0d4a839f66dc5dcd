// MPEG audio made from WAVE, AIFF and raw PCM, read back by ffprobe.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "make/encode_audio_source.h"
#include "support/media_tools.h"
#include "support/message_capture.h"
#include "support/sound_files.h"
#include "support/temp_dir.h"

namespace vcd2 {
namespace {

constexpr size_t kOneSecond = 44100;
const std::atomic<bool> kGoOn{false};

// Frames at 44100 Hz carry 144000 * rate / 44100 bytes on average, so padded
// frames of one byte more keep every prefix within a byte of that.
void ExpectFramesKeepTime(const std::string& path, int kbits) {
  std::istringstream sizes(
      test::Capture("ffprobe -v error -show_entries packet=size -of csv=p=0 '" + path + "'"));
  const double average = 144000.0 * kbits / 44100;
  double total = 0;
  int frames = 0;
  for (int size; sizes >> size; ++frames) {
    total += size;
    ASSERT_LT(std::abs(total - average * (frames + 1)), 1.0) << "frame " << frames;
  }
  EXPECT_GT(frames, 38);
}

TEST(AudioCoderTest, EveryFormatGivesLayerTwoAt44100) {
  test::TempDir dir;
  const auto tone = test::StereoTone(kOneSecond);
  struct Case {
    std::string source;
    FileType type;
    uint8_t bitrate_code;
    uint32_t mode_code;
    int kbits;
    const char* layout;
  };
  const Case cases[] = {
      {dir.Write("a.wav", test::WaveFile(2, 16, 44100, test::Samples16(tone))), FileType::kWave, 7,
       1, 224, "stereo"},
      {dir.Write("a.aif", test::AiffFile(2, 16, 44100, test::Samples16(tone, true))),
       FileType::kAiff, 3, 0, 64, "mono"},
      {dir.Write("a.pcml", test::Samples16(tone)), FileType::kPcmLittleEndian, 8, 2, 384, "stereo"},
      {dir.Write("a.pcmm", test::Samples16(tone, true)), FileType::kPcmBigEndian, 6, 3, 192,
       "stereo"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    const std::string target = c.source + ".mp2";
    ASSERT_TRUE(EncodeAudioSource(target, c.source, c.type, c.bitrate_code, c.mode_code, kGoOn));
    auto stream = test::ProbeStream(target);
    EXPECT_EQ(stream["codec_name"], "mp2");
    EXPECT_EQ(stream["sample_rate"], "44100");
    EXPECT_EQ(stream["bit_rate"], std::to_string(c.kbits * 1000));
    EXPECT_EQ(stream["channel_layout"], c.layout);
    // One second and the silence that completes the last read.
    const double duration = std::stod(stream["duration"]);
    EXPECT_GE(duration, 1.0);
    EXPECT_LE(duration, 1.0 + 2 * 4608.0 / 44100);
    ExpectFramesKeepTime(target, c.kbits);
  }
}

TEST(AudioCoderTest, RefusedEncodingsLeaveNoFile) {
  test::TempDir dir;
  const std::string source = dir.Write("a.pcml", test::Samples16(test::StereoTone(kOneSecond)));
  const std::string high = dir.Write("h.wav", test::WaveFile(2, 16, 48000, std::string(64, '\0')));
  const std::string target = dir.Path() / "a.mp2";
  test::MessageCapture capture;
  const std::atomic<bool> stop{true};
  EXPECT_FALSE(EncodeAudioSource(target, source, FileType::kPcmLittleEndian, 7, 1, stop));
  EXPECT_FALSE(EncodeAudioSource(target, high, FileType::kWave, 7, 1, kGoOn));
  EXPECT_FALSE(EncodeAudioSource(target, source, FileType::kPicture, 7, 1, kGoOn));
  EXPECT_EQ(capture.Messages(),
            (std::vector<std::string>{
                "Sampling rate of " + high + " is 48000 Hz; MAKE MPA takes at most 44100 Hz.",
                "Illegal filemode for Audio source file."}));
  EXPECT_EQ(dir.Listing().size(), 2u);
}

}  // namespace
}  // namespace vcd2
