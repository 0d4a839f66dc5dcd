#include "base/chunk_walker.h"
#include "make/pcm_format.h"

namespace vcd2 {
namespace {

// The part of the "fmt " chunk that is read.
struct WaveFmt {
  static constexpr size_t kSize = 16;
  static constexpr size_t kChannels = 2;
  static constexpr size_t kRate = 4;
  static constexpr size_t kBitsPerSample = 14;
};

constexpr uint8_t kUnsignedSampleXor = 0x80;

}  // namespace

Status ReadWaveFormat(std::FILE* file, PcmFormat& format) {
  RiffWalker walker(file);
  const auto riff = walker.Find("RIFF", walker.FileSize());
  const auto type = riff ? walker.ReadType() : std::nullopt;
  if (!type || !IsFourCc(*type, "WAVE")) return false;
  const auto fmt = walker.Find("fmt ", riff->End());
  uint8_t bytes[WaveFmt::kSize];
  if (!fmt || !walker.ReadBody(*fmt, bytes) || !walker.Skip(*fmt)) return false;
  const auto data = walker.Find("data", riff->End());
  if (!data) return false;
  const uint16_t channels = RiffWalker::Load16(bytes + WaveFmt::kChannels);
  const uint16_t bits = RiffWalker::Load16(bytes + WaveFmt::kBitsPerSample);
  format = PcmFormat{};
  format.rate = RiffWalker::Load32(bytes + WaveFmt::kRate);
  format.offset = data->body;
  format.eight_bit = bits == 8;
  format.mono = channels == 1;
  format.xor_value = kUnsignedSampleXor;
  // Other sample sizes and channel counts would be read as noise.
  return format.rate >= kLowestSourceRate && (bits == 8 || bits == 16) &&
         (channels == 1 || channels == 2);
}

}  // namespace vcd2
