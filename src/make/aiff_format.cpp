#include "base/chunk_walker.h"
#include "make/pcm_format.h"

namespace vcd2 {
namespace {

// The part of the COMM chunk that is read.
struct AiffComm {
  static constexpr size_t kSize = 18;
  static constexpr size_t kChannels = 0;
  static constexpr size_t kSampleSize = 6;
  static constexpr size_t kRate = 8;  // 80-bit IEEE extended
};

constexpr uint8_t kExtendedRateExponent = 0x40;  // first byte of every rate from 2 Hz up

// The rate from its 80-bit extended form: the integer part of the value
// from the top of the mantissa's first 32 bits, rounded by the next bit.
uint32_t ExtendedRate(const uint8_t* e) {
  if (e[0] != kExtendedRateExponent) return 0;
  const int bits = static_cast<int8_t>(e[1]) + 2;
  const uint64_t mantissa = LoadBigEndian32(e + 2);
  if (bits <= 0) return 0;
  if (bits > 32) return UINT32_MAX;  // far beyond any rate, refused later
  const uint64_t doubled = (mantissa << 1) >> (32 - bits);
  return static_cast<uint32_t>((doubled + 1) >> 1);
}

// Rates stored a little off the standard ones are taken for them.
uint32_t SnapRate(uint32_t rate) {
  struct Band {
    uint32_t low, high, rate;
  };
  constexpr Band kBands[] = {{11001, 11499, 11025}, {22001, 22599, 22050}, {44001, 44999, 44100}};
  for (const Band& band : kBands) {
    if (rate >= band.low && rate <= band.high) return band.rate;
  }
  return rate;
}

// Steps into CAT containers up to the FORM, which must be of type AIFF.
std::optional<ChunkHeader> FindAiffForm(IffWalker& walker) {
  for (;;) {
    const auto header = walker.ReadHeader();
    const auto type = walker.ReadType();
    if (!header || !type) return std::nullopt;
    if (header->Is("CAT ")) continue;
    if (!header->Is("FORM") || !IsFourCc(*type, "AIFF") || !walker.Fits(*header)) {
      return std::nullopt;
    }
    return header;
  }
}

}  // namespace

Status ReadAiffFormat(std::FILE* file, PcmFormat& format) {
  IffWalker walker(file);
  const auto form = FindAiffForm(walker);
  if (!form) return false;
  uint8_t comm[AiffComm::kSize];
  bool has_comm = false;
  bool has_sound = false;
  format = PcmFormat{};
  while (walker.Position() + IffWalker::kHeaderSize <= form->End()) {
    const auto chunk = walker.ReadHeader();
    if (!chunk || chunk->End() > form->End()) return false;
    if (chunk->Is("COMM")) {
      if (!walker.ReadBody(*chunk, comm)) return false;
      has_comm = true;
    } else if (chunk->Is("SSND")) {
      // The body's offset and block size words are read as samples too.
      format.offset = chunk->body;
      has_sound = true;
    }
    if (!walker.Skip(*chunk)) return false;
  }
  if (!has_comm || !has_sound) return false;
  const uint16_t channels = IffWalker::Load16(comm + AiffComm::kChannels);
  const uint16_t sample_size = IffWalker::Load16(comm + AiffComm::kSampleSize);
  format.rate = SnapRate(ExtendedRate(comm + AiffComm::kRate));
  format.byte_swap = true;
  // Samples of up to 8 bits take a byte, up to 16 bits two; larger ones and
  // more channels would be read as noise.
  format.eight_bit = sample_size <= 8;
  format.mono = channels == 1;
  return format.rate >= kLowestSourceRate && sample_size >= 1 && sample_size <= 16 &&
         (channels == 1 || channels == 2);
}

}  // namespace vcd2
