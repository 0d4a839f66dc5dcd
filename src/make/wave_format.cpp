#include <cstdio>

#include "base/chunk_walker.h"
#include "make/pcm_format.h"

namespace vcd2 {
namespace {

// The "fmt " chunk: the fields of every WAVE file, then those of
// WAVE_FORMAT_EXTENSIBLE.
struct WaveFmt {
  static constexpr size_t kSize = 16;
  static constexpr size_t kExtensibleSize = 40;
  static constexpr size_t kTag = 0;
  static constexpr size_t kChannels = 2;
  static constexpr size_t kRate = 4;
  static constexpr size_t kBlockAlign = 12;
  static constexpr size_t kBitsPerSample = 14;
  static constexpr size_t kChannelMask = 20;
  static constexpr size_t kSubFormat = 24;  // a GUID whose first two bytes are the format tag
};

enum : uint16_t {
  kTagPcm = 0x0001,
  kTagFloat = 0x0003,
  kTagALaw = 0x0006,
  kTagMuLaw = 0x0007,
  kTagExtensible = 0xFFFE,
};

// Names of the compressed formats met most often.
const char* TagName(uint16_t tag) {
  struct Name {
    uint16_t tag;
    const char* name;
  };
  static constexpr Name kNames[] = {{0x0002, "Microsoft ADPCM"},
                                    {0x0011, "IMA ADPCM"},
                                    {0x0031, "GSM 6.10"},
                                    {0x0050, "MPEG audio"},
                                    {0x0055, "MPEG Layer 3"},
                                    {0x0092, "AC-3"},
                                    {0x0161, "Windows Media"},
                                    {0x2000, "AC-3"},
                                    {0x2001, "DTS"},
                                    {0xF1AC, "FLAC"},
                                    {0x0000, "unknown format"}};
  for (const Name& name : kNames) {
    if (name.tag == tag) return name.name;
  }
  return "compressed audio";
}

// The coding of samples of `bytes` bytes (`bits` of them used) by format tag;
// false with the reason when MAKE MPA does not read them.
bool SetCoding(uint16_t tag, unsigned bytes, unsigned bits, PcmFormat& format, std::string& why) {
  const bool fits = bits >= 1 && bits <= 8 * bytes;
  switch (tag) {
    case kTagPcm:
      format.coding = bytes == 1 ? SampleCoding::kUnsigned : SampleCoding::kSigned;
      if (fits && bytes <= 4) return true;
      break;
    case kTagFloat:
      format.coding = SampleCoding::kFloat;
      if (fits && (bytes == 4 || bytes == 8)) return true;
      break;
    case kTagMuLaw:
    case kTagALaw:
      format.coding = tag == kTagMuLaw ? SampleCoding::kMuLaw : SampleCoding::kALaw;
      if (bytes == 1) return true;
      break;
    default:
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(tag));
      why = std::string("WAVE format ") + hex + " (" + TagName(tag) +
            ") is compressed; MAKE MPA reads PCM, IEEE float, mu-law and A-law WAVE";
      return false;
  }
  why = "WAVE samples of " + std::to_string(bits) + " bits in " + std::to_string(bytes) +
        " bytes are not read";
  return false;
}

}  // namespace

bool ReadWaveFormat(std::FILE* file, PcmFormat& format, std::string& why) {
  RiffWalker walker(file);
  const auto riff = walker.ReadHeader();
  const auto type = riff ? walker.ReadType() : std::nullopt;
  if (!type || !(riff->Is("RIFF") || riff->Is("RF64")) || !IsFourCc(*type, "WAVE")) {
    why = "it is not a RIFF WAVE file";
    return false;
  }
  // A RIFF length that a writer to a pipe left open, or one past the end,
  // leaves the chunks to the end of the file.
  const int64_t end = walker.Fits(*riff) && riff->size != 0 ? riff->End() : walker.FileSize();
  uint8_t bytes[WaveFmt::kExtensibleSize] = {};
  const auto fmt = walker.Find("fmt ", end);
  const size_t fmt_size =
      fmt && fmt->size >= WaveFmt::kExtensibleSize ? WaveFmt::kExtensibleSize : WaveFmt::kSize;
  if (!fmt || !walker.ReadBody(*fmt, std::span(bytes, fmt_size)) || !walker.Skip(*fmt)) {
    why = "it has no complete \"fmt \" chunk before its end";
    return false;
  }
  const auto data = walker.Find("data", end);
  if (!data) {
    why = "it has no \"data\" chunk";
    return false;
  }
  uint16_t tag = RiffWalker::Load16(bytes + WaveFmt::kTag);
  format = PcmFormat{};
  format.channels = RiffWalker::Load16(bytes + WaveFmt::kChannels);
  format.rate = RiffWalker::Load32(bytes + WaveFmt::kRate);
  if (tag == kTagExtensible && fmt_size == WaveFmt::kExtensibleSize) {
    tag = RiffWalker::Load16(bytes + WaveFmt::kSubFormat);
    format.channel_mask = RiffWalker::Load32(bytes + WaveFmt::kChannelMask);
  }
  // The block holds one sample of each channel; a sample takes whole bytes.
  const unsigned block = RiffWalker::Load16(bytes + WaveFmt::kBlockAlign);
  const unsigned sample_bytes = format.channels == 0 ? 0 : block / format.channels;
  const unsigned bits = RiffWalker::Load16(bytes + WaveFmt::kBitsPerSample);
  if (format.channels != 0 && sample_bytes * format.channels != block) {
    why = "its block of " + std::to_string(block) + " bytes does not hold " +
          std::to_string(format.channels) + " whole samples";
    return false;
  }
  if (format.channels != 0 && !SetCoding(tag, sample_bytes, bits, format, why)) return false;
  format.sample_bytes = static_cast<uint8_t>(sample_bytes);
  format.offset = data->body;
  format.end = SampleDataEnd(data->body, data->size, walker.FileSize(), format.cut_short);
  return true;
}

}  // namespace vcd2
