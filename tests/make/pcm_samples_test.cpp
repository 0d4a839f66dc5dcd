// The WAVE, AIFF and raw PCM readers and the conversion of their samples
// to 44100 Hz 16-bit buffers.
#include "make/pcm_samples.h"

#include <gtest/gtest.h>

#include "base/unique_file.h"
#include "make/pcm_format.h"
#include "support/sound_files.h"

namespace vcd2 {
namespace {

struct Source {
  std::string bytes;
  UniqueFile file;
  PcmFormat format;
  bool ok = false;
};

// Reads the format of a source held in memory and moves to its samples.
std::unique_ptr<Source> Open(const std::string& bytes, FileType type) {
  auto source = std::make_unique<Source>(bytes);
  source->file.reset(fmemopen(source->bytes.data(), source->bytes.size(), "rb"));
  source->ok = static_cast<bool>(ReadSourceFormat(source->file.get(), type, source->format)) &&
               fseeko(source->file.get(), source->format.offset, SEEK_SET) == 0;
  return source;
}

using Samples = std::vector<int16_t>;
constexpr FileType kWave = FileType::kWave, kAiff = FileType::kAiff;

// Known samples through each format: rates below 44100 repeat each sample
// (32000 goes one for one), 8-bit samples are centred by format, raw PCM
// takes its byte order from its type, and mono output drops the right
// channel instead of mixing it. Missing samples read as silence.
TEST(PcmSamplesTest, KnownSamplesInEveryFormat) {
  const std::string data = test::Samples16({1, -1, 2, -2});
  const Samples twice_left{1, 1, 2, 2, 0, 0, 0, 0}, twice_right{-1, -1, -2, -2, 0, 0, 0, 0};
  Samples quarter(16, 0);  // the SSND offset and block size words come first
  quarter.insert(quarter.end(), {7, 7, 7, 7, 9, 9, 9, 9});
  const Samples wave8{0, -32768, 0x7F00, 0};                    // WAVE silence is 0x80
  const Samples aiff8{0, 0, 0, 0, 0, 0, 0, 0, 0x7F00, -32768};  // the SSND words again
  // A LIST chunk of odd length (with its pad byte) before the samples; AIFF
  // inside a CAT container.
  const std::string listed = test::Chunk(
      "RIFF",
      "WAVE" + test::WaveFile(2, 16, 44100, "").substr(12, 24) + test::Chunk("LIST", "abc", false) +
          '\0' + test::Chunk("data", std::string("\x01\0\x02\0", 4), false),
      false);
  const std::string contained = test::Chunk(
      "CAT ", "AIFF" + test::AiffFile(2, 16, 22050, test::Samples16({3, 4}, true)), true);
  constexpr FileType kBig = FileType::kPcmBigEndian, kLittle = FileType::kPcmLittleEndian;
  struct Case {
    std::string bytes;
    FileType type;
    bool mono_output;
    Samples left, right;
  };
  const Case cases[] = {
      {test::WaveFile(2, 16, 22050, data), kWave, false, twice_left, twice_right},
      {test::AiffFile(1, 16, 11025.3, test::Samples16({7, 9}, true)), kAiff, false, quarter,
       quarter},
      {test::WaveFile(2, 16, 32000, data), kWave, false, {1, 2}, {-1, -2}},
      {test::WaveFile(1, 8, 44100, std::string("\x80\x00\xFF", 3)), kWave, false, wave8, wave8},
      {test::AiffFile(1, 8, 44100, "\x7F\x80"), kAiff, false, aiff8, aiff8},
      {"\x01\x02\x03\x04", kBig, false, {0x0102}, {0x0304}},
      {"\x01\x02\x03\x04", kLittle, false, {0x0201}, {0x0403}},
      {test::Samples16({5, 6, 7, 8}), kLittle, true, {5, 7}, {0, 0}},
      {listed, kWave, false, {1}, {2}},
      {contained, kAiff, false, {0, 0, 0, 0, 3, 3}, {0, 0, 0, 0, 4, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    auto source = Open(c.bytes, c.type);
    ASSERT_TRUE(source->ok);
    PcmSamples samples(source->format, source->file.get(), c.mono_output);
    Samples left(c.left.size(), -1), right(c.left.size(), -1);
    EXPECT_EQ(samples.Read(left, right), (c.mono_output ? 1 : 2) * c.left.size());
    EXPECT_EQ(left, c.left);
    EXPECT_EQ(right, c.right);
    EXPECT_EQ(samples.Read(left, right), 0u);  // the end of the source
  }
}

TEST(PcmFormatTest, DamagedHeadersAreRefused) {
  const std::string wave = test::WaveFile(2, 16, 44100, std::string(16, '\0'));
  std::string long_data = wave;
  long_data[40] = 0x7F;  // data length past the end of the file
  std::string no_fmt = wave;
  no_fmt.replace(12, 4, "junk");
  std::string aifc = test::AiffFile(2, 16, 44100, "");
  aifc.replace(8, 4, "AIFC");
  std::string short_comm = test::AiffFile(2, 16, 44100, "");
  short_comm[19] = 10;  // COMM of 10 bytes has no rate
  for (const std::string& bytes :
       {wave.substr(0, 30), long_data, no_fmt, test::WaveFile(2, 16, 0, ""),
        test::WaveFile(2, 24, 44100, "")}) {
    EXPECT_FALSE(Open(bytes, kWave)->ok) << bytes.size();
  }
  for (const std::string& bytes :
       {aifc, short_comm, test::AiffFile(2, 16, 5, ""), test::AiffFile(6, 16, 44100, ""), wave}) {
    EXPECT_FALSE(Open(bytes, kAiff)->ok) << bytes.size();
  }
}

}  // namespace
}  // namespace vcd2
