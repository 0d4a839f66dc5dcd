// The WAVE, AIFF and raw PCM readers: which sources they take, where their
// samples are, and the samples decoded and mixed down.
#include "make/pcm_samples.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/unique_file.h"
#include "make/pcm_format.h"
#include "support/sound_files.h"

namespace vcd2 {
namespace {

using test::Chunk;
using Samples = std::vector<int16_t>;
constexpr FileType kWave = FileType::kWave, kAiff = FileType::kAiff;

struct Decoded {
  bool ok = false;
  std::string why;
  PcmFormat format;
  Samples samples;  // interleaved, as 16-bit samples
};

// Reads a source held in memory as the encoder does, all its samples too.
Decoded Decode(std::string bytes, FileType type, int channels = 2) {
  Decoded decoded;
  const UniqueFile file(fmemopen(bytes.data(), bytes.size(), "rb"));
  decoded.ok = ReadSoundHeader(file.get(), "x", type, decoded.format, decoded.why) &&
               fseeko(file.get(), decoded.format.offset, SEEK_SET) == 0;
  if (!decoded.ok) return decoded;
  PcmSamples samples(decoded.format, file.get(), channels);
  std::vector<float> out(6);
  while (const size_t frames = samples.Read(out)) {
    for (size_t i = 0; i < frames * channels; ++i) decoded.samples.push_back(ToSample16(out[i]));
  }
  return decoded;
}

std::string Wave(const std::string& fmt, const std::string& data, const std::string& after = "") {
  return Chunk("RIFF", "WAVE" + fmt + Chunk("data", data, false) + after, false);
}

std::string Aifc(const char* compression, uint16_t channels, uint16_t bits,
                 const std::string& data) {
  std::string aiff = test::AiffFile(channels, bits, 44100, data);
  aiff.replace(8, 4, "AIFC");
  aiff[7] = static_cast<char>(aiff[7] + 6);  // the FORM's length
  aiff[19] = 18 + 4 + 2;  // the COMM chunk's length, with the type and an empty name
  return aiff.insert(38, std::string(compression, 4) + std::string(2, '\0'));
}

// Known samples through every layout: 8-bit WAVE is unsigned, AIFF signed;
// wider integers keep their top 16 bits (rounded), floats are scaled; G.711
// is decoded. Mono output mixes both channels; 5.1 goes to stereo with the
// centre and surround channels at -3 dB, without the LFE.
TEST(PcmSamplesTest, KnownSamplesInEveryLayout) {
  const std::string pair = test::Samples16({100, -300});
  const std::string five_one = test::Samples16({1000, 2000, 3000, 30000, 4000, 5000});
  const auto mix = [](double front, double centre, double back) {
    return static_cast<int16_t>(std::lround((front + 0.70710678 * (centre + back)) / 2.41421356));
  };
  struct Case {
    std::string bytes;
    FileType type;
    int channels;
    Samples samples;
  };
  const Case cases[] = {
      {test::WaveFile(1, 8, 22050, std::string("\x80\x00\xFF", 3)),
       kWave,
       2,
       {0, 0, -32768, -32768, 0x7F00, 0x7F00}},
      {test::AiffFile(1, 8, 8000, "\x7F\x80"), kAiff, 1, {0x7F00, -32768}},
      {Wave(test::WaveFmt(1, 1, 48000, 3, 24), std::string("\x56\x34\x12\x00\x80\xFF", 6)),
       kWave,
       1,
       {0x1234, -128}},
      {Wave(test::WaveFmt(1, 2, 48000, 4, 32, 0x3), std::string("\0\0\x12\x34\0\0\0\x80", 8)),
       kWave,
       2,
       {0x3412, -32768}},
      {Wave(test::WaveFmt(3, 1, 32000, 4, 32), std::string("\0\0\0\x3F\0\0\x80\xBE", 8)),
       kWave,
       1,
       {16384, -8192}},
      {Wave(test::WaveFmt(3, 1, 32000, 8, 64, 0x4), std::string("\0\0\0\0\0\0\xE0\xBF", 8)),
       kWave,
       1,
       {-16384}},
      {Wave(test::WaveFmt(7, 1, 8000, 1, 8), std::string("\xFF\x00\x80", 3)),
       kWave,
       1,
       {0, -32124, 32124}},
      {Wave(test::WaveFmt(6, 1, 8000, 1, 8), "\xD5\x55\xAA"), kWave, 1, {8, -8, 32256}},
      {test::WaveFile(2, 16, 44100, pair), kWave, 1, {-100}},
      {Wave(test::WaveFmt(1, 6, 48000, 2, 16, 0x3F), five_one),
       kWave,
       2,
       {mix(1000, 3000, 4000), mix(2000, 3000, 5000)}},
      {Aifc("sowt", 2, 16, pair), kAiff, 2, {100, -300}},
      {Aifc("NONE", 1, 16, test::Samples16({7, 9}, true)), kAiff, 1, {7, 9}},
      {Aifc("fl32", 1, 32, std::string("\xBF\0\0\0", 4)), kAiff, 1, {-16384}},
      {Aifc("ulaw", 1, 8, "\xFF"), kAiff, 1, {0}},
      {"\x01\x02\x03\x04", FileType::kPcmBigEndian, 2, {0x0102, 0x0304}},
      {"\x01\x02\x03\x04", FileType::kPcmLittleEndian, 2, {0x0201, 0x0403}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    const Decoded decoded = Decode(c.bytes, c.type, c.channels);
    ASSERT_TRUE(decoded.ok) << decoded.why;
    EXPECT_EQ(decoded.samples, c.samples);
  }
}

// The data chunk's length is honoured; one of 0 or 0xFFFFFFFF (a writer to
// a pipe), or one past the end, reads to the end of the file, and only the
// last is a file cut short. A chunk after the data is not read as samples;
// an odd chunk before it is passed over with its pad byte; AIFF's SSND
// offset is honoured and CAT containers are entered.
TEST(PcmSamplesTest, WhereTheSamplesAre) {
  const std::string fmt = test::WaveFmt(1, 1, 44100, 2, 16);
  const std::string two = test::Samples16({1, 2});
  std::string piped = Wave(fmt, two);
  piped.replace(4, 4, "\xFF\xFF\xFF\xFF");
  piped.replace(40, 4, "\xFF\xFF\xFF\xFF");
  std::string zero = piped;
  zero.replace(40, 4, std::string(4, '\0'));
  std::string cut = Wave(fmt, two);
  cut[40] = 8;
  std::string offset =
      test::AiffFile(1, 16, 44100, std::string(2, '\x55') + test::Samples16({3}, true));
  offset[49] = 2;  // the SSND offset
  const std::string list = Chunk("LIST", "INFOISFT", false);
  struct Case {
    std::string bytes;
    FileType type;
    Samples samples;
    bool cut_short;
  };
  const Case cases[] = {
      {Wave(fmt, two, list), kWave, {1, 2}, false},
      {Chunk("RIFF", "WAVE" + fmt + Chunk("LIST", "abc", false) + '\0' + Chunk("data", two, false),
             false),
       kWave,
       {1, 2},
       false},
      {piped + std::string("\x03", 1), kWave, {1, 2}, false},  // a frame cut short is left out
      {zero + test::Samples16({3}), kWave, {1, 2, 3}, false},
      {cut, kWave, {1, 2}, true},
      {offset, kAiff, {3}, false},
      {Chunk("CAT ", "AIFF" + test::AiffFile(1, 16, 44100, test::Samples16({4}, true)), true),
       kAiff,
       {4},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    const Decoded decoded = Decode(c.bytes, c.type, 1);
    ASSERT_TRUE(decoded.ok) << decoded.why;
    EXPECT_EQ(decoded.samples, c.samples);
    EXPECT_EQ(decoded.format.cut_short, c.cut_short);
  }
  // An AIFF rate stored a little off a standard one is taken for it.
  const std::string off = test::AiffFile(1, 16, 11025.3, test::Samples16({1}, true));
  EXPECT_EQ(Decode(off, kAiff).format.rate, 11025u);
}

// Each refusal says why, naming the file.
TEST(PcmFormatTest, RefusalsSayWhy) {
  const std::string data = test::Samples16({1, 2});
  std::string no_fmt = test::WaveFile(1, 16, 44100, data);
  no_fmt.replace(12, 4, "junk");
  std::string short_comm = test::AiffFile(1, 16, 44100, data);
  short_comm[19] = 10;
  std::string odd_block = test::WaveFile(2, 16, 44100, data);
  odd_block[32] = 3;
  const std::pair<std::string, const char*> waves[] = {
      {"RIFF", "it is not a RIFF WAVE file"},
      {no_fmt, "it has no complete \"fmt \" chunk before its end"},
      {Chunk("RIFF", "WAVE" + test::WaveFmt(1, 1, 44100, 2, 16), false),
       "it has no \"data\" chunk"},
      {Wave(test::WaveFmt(2, 1, 44100, 2, 4), data),
       "WAVE format 0x0002 (Microsoft ADPCM) is compressed; MAKE MPA reads PCM, IEEE float, mu-law "
       "and A-law WAVE"},
      {Wave(test::WaveFmt(0x55, 2, 44100, 1, 0, 0x3), data),
       "WAVE format 0x0055 (MPEG Layer 3) is compressed; MAKE MPA reads PCM, IEEE float, mu-law "
       "and A-law WAVE"},
      {Wave(test::WaveFmt(3, 1, 44100, 2, 16), data),
       "WAVE samples of 16 bits in 2 bytes are not read"},
      {test::WaveFile(1, 16, 500, data),
       "the sampling rate of 500 Hz is outside 1000 to 768000 Hz"},
      {odd_block, "its block of 3 bytes does not hold 2 whole samples"},
      {Wave(test::WaveFmt(1, 33, 44100, 1, 8), data), "33 channels, where 1 to 32 are mixed down"},
      {test::WaveFile(2, 16, 44100, ""), "it holds no samples"},
  };
  const std::pair<std::string, const char*> aiffs[] = {
      {Aifc("ima4", 1, 16, data),
       "AIFF-C compression 'ima4' is not read; MAKE MPA reads uncompressed AIFF-C, float, mu-law "
       "and A-law"},
      {short_comm, "its COMM chunk is cut short"},
      {test::AiffFile(1, 40, 44100, data), "AIFF samples of 40 bits are not read"},
      {Chunk("FORM", "AIFF" + Chunk("SSND", std::string(8, '\0') + data, true), true),
       "it has no COMM chunk"},
      {test::WaveFile(1, 16, 44100, data), "it is not an AIFF or AIFF-C file"},
  };
  for (const auto& [bytes, why] : waves)
    EXPECT_EQ(Decode(bytes, kWave).why, std::string("x: ") + why + ".");
  for (const auto& [bytes, why] : aiffs)
    EXPECT_EQ(Decode(bytes, kAiff).why, std::string("x: ") + why + ".");
}

}  // namespace
}  // namespace vcd2
