#include <algorithm>
#include <cstring>

#include "base/chunk_walker.h"
#include "make/pcm_format.h"

namespace vcd2 {
namespace {

// The COMM chunk; AIFF-C adds the compression type and its name.
struct AiffComm {
  static constexpr size_t kSize = 18;
  static constexpr size_t kCompressedSize = 22;
  static constexpr size_t kReadSize = 64;  // with up to 41 bytes of the name
  static constexpr size_t kChannels = 0;
  static constexpr size_t kSampleSize = 6;
  static constexpr size_t kRate = 8;  // 80-bit IEEE extended
  static constexpr size_t kCompression = 18;
  static constexpr size_t kCompressionName = 22;  // a Pascal string
};

// The SSND body begins with the offset of the first sample after these 8
// bytes, and a block size.
constexpr size_t kSoundHeaderSize = 8;

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

// The sample codings of AIFF-C by compression type.
bool SetCompression(const FourCc& type, PcmFormat& format) {
  struct Coding {
    const char type[5];
    SampleCoding coding;
    uint8_t bytes;  // 0: by the sample size
    bool big_endian;
  };
  static constexpr Coding kCodings[] = {
      {"NONE", SampleCoding::kSigned, 0, true},  {"twos", SampleCoding::kSigned, 0, true},
      {"sowt", SampleCoding::kSigned, 0, false}, {"in24", SampleCoding::kSigned, 3, true},
      {"in32", SampleCoding::kSigned, 4, true},  {"fl32", SampleCoding::kFloat, 4, true},
      {"FL32", SampleCoding::kFloat, 4, true},   {"fl64", SampleCoding::kFloat, 8, true},
      {"FL64", SampleCoding::kFloat, 8, true},   {"ulaw", SampleCoding::kMuLaw, 1, true},
      {"ULAW", SampleCoding::kMuLaw, 1, true},   {"alaw", SampleCoding::kALaw, 1, true},
      {"ALAW", SampleCoding::kALaw, 1, true}};
  for (const Coding& coding : kCodings) {
    if (!IsFourCc(type, coding.type)) continue;
    format.coding = coding.coding;
    if (coding.bytes != 0) format.sample_bytes = coding.bytes;
    format.big_endian = coding.big_endian;
    return true;
  }
  return false;
}

// "AIFF-C compression 'ima4' (IMA 4:1)": the type and the name stored
// beside it, printable characters only.
std::string CompressionText(const uint8_t* comm, size_t size) {
  std::string text = "AIFF-C compression '";
  for (size_t i = 0; i < 4; ++i) {
    const char c = static_cast<char>(comm[AiffComm::kCompression + i]);
    text += c >= ' ' && c <= '~' ? c : '?';
  }
  text += "'";
  if (size > AiffComm::kCompressionName) {
    const size_t length =
        std::min<size_t>(comm[AiffComm::kCompressionName], size - AiffComm::kCompressionName - 1);
    std::string name;
    for (size_t i = 0; i < length; ++i) {
      const char c = static_cast<char>(comm[AiffComm::kCompressionName + 1 + i]);
      if (c >= ' ' && c <= '~') name += c;
    }
    if (!name.empty()) text += " (" + name + ")";
  }
  return text;
}

// Steps into CAT containers up to the FORM, which must be of type AIFF or
// AIFC.
std::optional<ChunkHeader> FindAiffForm(IffWalker& walker, bool& compressed) {
  for (;;) {
    const auto header = walker.ReadHeader();
    const auto type = walker.ReadType();
    if (!header || !type) return std::nullopt;
    if (header->Is("CAT ")) continue;
    compressed = IsFourCc(*type, "AIFC");
    if (!header->Is("FORM") || !(compressed || IsFourCc(*type, "AIFF"))) return std::nullopt;
    return header;
  }
}

}  // namespace

bool ReadAiffFormat(std::FILE* file, PcmFormat& format, std::string& why) {
  IffWalker walker(file);
  bool compressed = false;
  const auto form = FindAiffForm(walker, compressed);
  if (!form) {
    why = "it is not an AIFF or AIFF-C file";
    return false;
  }
  // A FORM length left open or past the end leaves the chunks to the end of
  // the file; a chunk running past the end is the last.
  const int64_t end = walker.Fits(*form) && form->size != 0 ? form->End() : walker.FileSize();
  uint8_t comm[AiffComm::kReadSize] = {};
  size_t comm_size = 0;
  std::optional<ChunkHeader> sound;
  uint8_t sound_header[kSoundHeaderSize] = {};
  while (walker.Position() + IffWalker::kHeaderSize <= end) {
    const auto chunk = walker.ReadHeader();
    if (!chunk) break;
    if (chunk->Is("COMM")) {
      comm_size = std::min<size_t>(chunk->size, AiffComm::kReadSize);
      if (comm_size < AiffComm::kSize || !walker.ReadBody(*chunk, std::span(comm, comm_size))) {
        why = "its COMM chunk is cut short";
        return false;
      }
    } else if (chunk->Is("SSND") && walker.ReadBody(*chunk, sound_header)) {
      sound = chunk;
    }
    if (!walker.Fits(*chunk) || chunk->End() > end || !walker.Skip(*chunk)) break;
  }
  if (comm_size == 0 || !sound) {
    why = comm_size == 0 ? "it has no COMM chunk" : "it has no SSND chunk";
    return false;
  }
  format = PcmFormat{};
  format.channels = IffWalker::Load16(comm + AiffComm::kChannels);
  format.rate = SnapRate(ExtendedRate(comm + AiffComm::kRate));
  const unsigned sample_size = IffWalker::Load16(comm + AiffComm::kSampleSize);
  format.sample_bytes = static_cast<uint8_t>((sample_size + 7) / 8);
  format.big_endian = true;
  FourCc compression{};
  std::memcpy(compression.data(), comm + AiffComm::kCompression, compression.size());
  if (compressed &&
      (comm_size < AiffComm::kCompressedSize || !SetCompression(compression, format))) {
    why = CompressionText(comm, comm_size) +
          " is not read; MAKE MPA reads uncompressed AIFF-C, float, mu-law and A-law";
    return false;
  }
  if (format.coding == SampleCoding::kSigned && (sample_size < 1 || sample_size > 32)) {
    why = "AIFF samples of " + std::to_string(sample_size) + " bits are not read";
    return false;
  }
  format.offset = sound->body + int64_t{kSoundHeaderSize} + IffWalker::Load32(sound_header);
  format.end = SampleDataEnd(sound->body, sound->size, walker.FileSize(), format.cut_short);
  return true;
}

}  // namespace vcd2
