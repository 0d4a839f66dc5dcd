// MPEG audio made from sound files that ffmpeg writes at test time, decoded
// again by ffmpeg: the pitch, the level, the aliases and the length.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "make/encode_audio_source.h"
#include "support/media_tools.h"
#include "support/message_capture.h"
#include "support/pack_parser.h"
#include "support/sound_files.h"
#include "support/temp_dir.h"

namespace vcd2 {
namespace {

constexpr double kOneSecond = 44100;
constexpr double kFrame = 1152;
const std::atomic<bool> kGoOn{false};

// 16-bit samples from their bytes, least significant first.
std::vector<int16_t> Samples(const std::vector<uint8_t>& raw) {
  std::vector<int16_t> samples;
  for (size_t i = 0; i + 1 < raw.size(); i += 2) {
    samples.push_back(static_cast<int16_t>(raw[i] | raw[i + 1] << 8));
  }
  return samples;
}

// Amplitudes of a 44100 Hz signal measured over 0.1 s to 0.84 s.
struct Spectrum {
  static constexpr size_t kStart = 4410, kLength = 32768;
  const std::vector<int16_t>& samples;

  // Of a sine of frequency f, by a Hann-windowed DFT at f.
  double At(double f) const {
    double re = 0, im = 0;
    for (size_t n = 0; n < kLength; ++n) {
      const double w = 0.5 - 0.5 * std::cos(2 * M_PI * n / (kLength - 1));
      const double x = w * samples.at(kStart + n);
      re += x * std::cos(2 * M_PI * f * n / kOneSecond);
      im -= x * std::sin(2 * M_PI * f * n / kOneSecond);
    }
    return 4 * std::hypot(re, im) / kLength;
  }
  // Of a sine as loud as the whole signal.
  double Whole() const {
    double sum = 0;
    for (size_t n = 0; n < kLength; ++n) sum += std::pow(samples.at(kStart + n), 2);
    return std::sqrt(2 * sum / kLength);
  }
};

double Decibels(double ratio) {
  return 20 * std::log10(ratio);
}

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
  const auto tone = test::StereoTone(44100);
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
    EXPECT_NEAR(std::stod(stream["duration"]), 1.0, kFrame / kOneSecond);
    ExpectFramesKeepTime(target, c.kbits);
  }
}

// Sources of 1 s of a sine at every rate and in every layout: 24-bit,
// float, 5.1 mixed to mono, G.711, AIFF-C, a WAVE ffmpeg wrote into a pipe
// and one with a LIST chunk after its data. Each comes out as long as its
// source within a frame, the tone at its pitch holding all the signal's
// energy (no noise), and every alias of the source rate far below it.
TEST(AudioCoderTest, EveryRateAndLayoutKeepsPitchAndLength) {
  test::TempDir dir;
  struct Case {
    std::string name;
    uint32_t rate;
    double tone = 3000;
    const char* options = "-c:a pcm_s16le -ac 2";  // ffmpeg's, or none for a file written here
    FileType type = FileType::kWave;
    uint32_t mode = 1;
  };
  std::vector<Case> cases;
  for (uint32_t rate : {8000, 11025, 16000, 22050, 32000, 44100, 48000}) {
    cases.push_back({std::to_string(rate) + ".wav", rate});
  }
  const std::vector<Case> layouts = {
      {"s24.wav", 48000, 1000, "-c:a pcm_s24le"},
      {"f32.wav", 22050, 1000, "-c:a pcm_f32le"},
      {"f64.wav", 44100, 1000, "-c:a pcm_f64le"},
      {"six.wav", 48000, 1000, "-af pan='5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0' -c:a pcm_s16le",
       FileType::kWave, 0},
      {"mulaw.wav", 8000, 1000, "-c:a pcm_mulaw"},
      {"alaw.wav", 8000, 1000, "-c:a pcm_alaw"},
      {"sowt.aif", 32000, 1000, "-c:a pcm_s16le", FileType::kAiff},
      {"piped.wav", 44100, 1000, "-c:a pcm_s16le -f wav pipe:1"},
      {"listed.wav", 44100, 440, nullptr}};
  cases.insert(cases.end(), layouts.begin(), layouts.end());
  // A LIST chunk of 93 ms after the data was once encoded as a burst.
  std::string listed = test::WaveFile(2, 16, 44100, test::Samples16(test::StereoTone(44100))) +
                       test::Chunk("LIST", std::string(16384, 'x'), false);
  const auto riff_size = static_cast<uint32_t>(listed.size() - 8);
  for (int i = 0; i < 4; ++i) listed[4 + i] = static_cast<char>(riff_size >> (8 * i));
  dir.Write("listed.wav", listed);

  std::string make = "ffmpeg -v error";
  std::string outputs;
  std::string pipe;
  int input = 0;
  for (const Case& c : cases) {
    if (c.options == nullptr) continue;
    make += " -f lavfi -i sine=frequency=" + std::to_string(c.tone) +
            ":sample_rate=" + std::to_string(c.rate) + ":duration=1";
    const std::string output = " -map " + std::to_string(input++) + ":a " + c.options + " ";
    if (output.find("pipe:1") != std::string::npos) {
      outputs += output;
      pipe = " | tee " + (dir.Path() / c.name).string();
    } else {
      outputs += output + (dir.Path() / c.name).string();
    }
  }
  ASSERT_EQ(test::Shell(make + outputs + pipe), 0);
  std::string decode = "ffmpeg -v error";
  outputs.clear();
  for (size_t i = 0; i < cases.size(); ++i) {
    const std::string source = dir.Path() / cases[i].name;
    const uint8_t bitrate_code = cases[i].mode == 0 ? 5 : 7;  // 128 or 224 kbit/s
    ASSERT_TRUE(EncodeAudioSource(source + ".mp2", source, cases[i].type, bitrate_code,
                                  cases[i].mode, kGoOn))
        << source;
    decode += " -i " + source + ".mp2";
    outputs += " -map " + std::to_string(i) + ":a -af 'pan=mono|c0=c0' -f s16le " + source + ".raw";
  }
  ASSERT_EQ(test::Shell(decode + outputs), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto samples = Samples(test::ReadBytes((dir.Path() / c.name).string() + ".raw"));
    EXPECT_NEAR(static_cast<double>(samples.size()), kOneSecond, kFrame);
    const Spectrum spectrum{samples};
    const double level = spectrum.At(c.tone);
    EXPECT_NEAR(Decibels(level / spectrum.Whole()), 0, 0.5);
    double strongest = -200;
    for (double alias = c.rate - c.tone; alias < 20000 && c.rate != kOneSecond; alias += c.rate) {
      strongest = std::max(strongest, Decibels(spectrum.At(alias) / level));
    }
    EXPECT_LT(strongest, -60);
    std::printf("%-10s tone %+.2f dB of the signal, strongest alias %.1f dB, length %+.0f\n",
                c.name.c_str(), Decibels(level / spectrum.Whole()), strongest,
                samples.size() - kOneSecond);
  }
}

// A refused source says why; a stop leaves no file and no message; a file
// cut short is warned about once and encoded.
TEST(AudioCoderTest, RefusalsAndWarnings) {
  test::TempDir dir;
  const std::string adpcm = dir.Path() / "adpcm.wav";
  ASSERT_EQ(
      test::Shell("ffmpeg -v error -f lavfi -i sine=duration=0.1 -c:a adpcm_ima_wav " + adpcm), 0);
  const std::string pcm = dir.Write("a.pcml", test::Samples16(test::StereoTone(4410)));
  const std::string wave = test::WaveFile(2, 16, 44100, test::Samples16(test::StereoTone(4410)));
  const std::string cut = dir.Write("cut.wav", wave.substr(0, wave.size() / 2));
  const std::string target = dir.Path() / "a.mp2";
  test::MessageCapture capture;
  const std::atomic<bool> stop{true};
  EXPECT_FALSE(EncodeAudioSource(target, pcm, FileType::kPcmLittleEndian, 7, 1, stop));
  EXPECT_FALSE(EncodeAudioSource(target, adpcm, FileType::kWave, 7, 1, kGoOn));
  EXPECT_FALSE(EncodeAudioSource(target, pcm, FileType::kPicture, 7, 1, kGoOn));
  EXPECT_EQ(capture.Messages(),
            (std::vector<std::string>{
                "Could not encode MPEG AUDIO from " + adpcm + ".\r\n" + adpcm +
                    ": WAVE format 0x0011 (IMA ADPCM) is compressed; MAKE MPA reads PCM, IEEE "
                    "float, mu-law and A-law WAVE.",
                "Illegal filemode for Audio source file."}));
  EXPECT_FALSE(std::filesystem::exists(target));
  EXPECT_TRUE(EncodeAudioSource(target, cut, FileType::kWave, 7, 1, kGoOn));
  EXPECT_EQ(capture.Warnings(),
            (std::vector<std::string>{
                cut + ": the sound data is cut short by the end of the file; what is there is "
                      "encoded."}));
}

}  // namespace
}  // namespace vcd2
