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
  auto source = std::make_unique<Source>();
  source->bytes = bytes;
  source->file.reset(fmemopen(source->bytes.data(), source->bytes.size(), "rb"));
  source->ok = static_cast<bool>(ReadSourceFormat(source->file.get(), type, source->format)) &&
               fseeko(source->file.get(), source->format.offset, SEEK_SET) == 0;
  return source;
}

struct Buffers {
  uint32_t delivered = 0;
  std::vector<int16_t> left;
  std::vector<int16_t> right;
};

Buffers ReadOnce(Source& source, bool mono_output, size_t count = 8) {
  PcmSamples samples(source.format, source.file.get(), mono_output);
  Buffers buffers{0, std::vector<int16_t>(count, -1), std::vector<int16_t>(count, -1)};
  buffers.delivered = samples.Read(buffers.left, buffers.right);
  return buffers;
}

using Samples = std::vector<int16_t>;

TEST(PcmSamplesTest, LowRatesRepeatEachSample) {
  const std::string data = test::Samples16({1, -1, 2, -2});
  auto half = Open(test::WaveFile(2, 16, 22050, data), FileType::kWave);
  ASSERT_TRUE(half->ok);
  const Buffers twice = ReadOnce(*half, false);
  EXPECT_EQ(twice.delivered, 16u);
  EXPECT_EQ(twice.left, (Samples{1, 1, 2, 2, 0, 0, 0, 0}));
  EXPECT_EQ(twice.right, (Samples{-1, -1, -2, -2, 0, 0, 0, 0}));
  auto quarter =
      Open(test::AiffFile(1, 16, 11025.3, test::Samples16({7, 9}, true)), FileType::kAiff);
  ASSERT_TRUE(quarter->ok);
  EXPECT_EQ(quarter->format.rate, 11025u);
  // The SSND body's offset and block size words come first, as silence.
  Samples expected(16, 0);
  expected.insert(expected.end(), {7, 7, 7, 7, 9, 9, 9, 9});
  EXPECT_EQ(ReadOnce(*quarter, false, 24).left, expected);
  auto odd = Open(test::WaveFile(2, 16, 32000, data), FileType::kWave);
  EXPECT_EQ(ReadOnce(*odd, false, 2).left, (Samples{1, 2}));  // one for one
}

TEST(PcmSamplesTest, EightBitSamplesAreCentredByFormat) {
  auto wave = Open(test::WaveFile(1, 8, 44100, std::string("\x80\x00\xFF", 3)), FileType::kWave);
  ASSERT_TRUE(wave->ok);
  const Buffers unsigned_samples = ReadOnce(*wave, false, 4);
  // The missing fourth sample is WAVE silence, 0x80.
  EXPECT_EQ(unsigned_samples.left, (Samples{0, -32768, 0x7F00, 0}));
  EXPECT_EQ(unsigned_samples.right, unsigned_samples.left);
  auto aiff = Open(test::AiffFile(1, 8, 44100, "\x7F\x80"), FileType::kAiff);
  ASSERT_TRUE(aiff->ok);
  EXPECT_EQ(ReadOnce(*aiff, false, 10).left, (Samples{0, 0, 0, 0, 0, 0, 0, 0, 0x7F00, -32768}));
}

TEST(PcmSamplesTest, RawPcmByteOrderAndMonoOutput) {
  const std::string bytes("\x01\x02\x03\x04", 4);
  auto big = Open(bytes, FileType::kPcmBigEndian);
  EXPECT_EQ(ReadOnce(*big, false, 1).left, Samples{0x0102});
  auto little = Open(bytes, FileType::kPcmLittleEndian);
  const Buffers stereo = ReadOnce(*little, false, 1);
  EXPECT_EQ(stereo.left, Samples{0x0201});
  EXPECT_EQ(stereo.right, Samples{0x0403});
  auto dropped = Open(test::Samples16({5, 6, 7, 8}), FileType::kPcmLittleEndian);
  const Buffers mono = ReadOnce(*dropped, true, 2);
  EXPECT_EQ(mono.delivered, 2u);
  EXPECT_EQ(mono.left, (Samples{5, 7}));  // the right channel is dropped, not mixed
  EXPECT_EQ(mono.right, (Samples{0, 0}));
  EXPECT_EQ(ReadOnce(*dropped, true, 2).delivered, 0u);  // the end of the source
}

TEST(PcmFormatTest, ReadersFindTheirChunks) {
  // A LIST chunk of odd length (with its pad byte) before the samples.
  const std::string fmt =
      test::Chunk("fmt ", test::WaveFile(2, 16, 44100, "").substr(20, 16), false);
  const std::string list = test::Chunk("LIST", "abc", false) + std::string(1, '\0');
  const std::string body = "WAVE" + fmt + list + test::Chunk("data", "\x01\x00\x02\x00", false);
  auto wave = Open(test::Chunk("RIFF", body, false), FileType::kWave);
  ASSERT_TRUE(wave->ok);
  EXPECT_EQ(wave->format.offset, 12 + 24 + 12 + 8);
  EXPECT_FALSE(wave->format.mono);
  // AIFF inside a CAT container.
  const std::string aiff = test::AiffFile(2, 16, 22050, test::Samples16({3, 4}, true));
  auto contained = Open(test::Chunk("CAT ", "AIFF" + aiff, true), FileType::kAiff);
  ASSERT_TRUE(contained->ok);
  EXPECT_EQ(contained->format.rate, 22050u);
  EXPECT_TRUE(contained->format.byte_swap);
  EXPECT_EQ(contained->format.offset, 12 + 12 + 26 + 8);
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
  struct Case {
    std::string bytes;
    FileType type;
  };
  for (const Case& c :
       {Case{wave.substr(0, 30), FileType::kWave}, Case{long_data, FileType::kWave},
        Case{no_fmt, FileType::kWave}, Case{test::WaveFile(2, 16, 0, ""), FileType::kWave},
        Case{aifc, FileType::kAiff}, Case{short_comm, FileType::kAiff},
        Case{test::AiffFile(2, 16, 5, ""), FileType::kAiff},
        Case{test::WaveFile(2, 24, 44100, ""), FileType::kWave},
        Case{test::AiffFile(6, 16, 44100, ""), FileType::kAiff}, Case{wave, FileType::kAiff}}) {
    EXPECT_FALSE(Open(c.bytes, c.type)->ok) << c.bytes.size();
  }
}

}  // namespace
}  // namespace vcd2
