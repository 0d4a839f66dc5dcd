#include "make/pcm_samples.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vcd2 {
namespace {

constexpr float kFullScale32 = 2147483648.0f;
constexpr float kFullScale16 = 32768.0f;

// G.711 to 16-bit linear.
int MuLaw(uint8_t byte) {
  const int code = ~byte & 0xFF;
  const int magnitude = ((((code & 0x0F) << 3) + 0x84) << ((code >> 4) & 7)) - 0x84;
  return (code & 0x80) != 0 ? -magnitude : magnitude;
}

int ALaw(uint8_t byte) {
  const int code = byte ^ 0x55;
  const int exponent = (code >> 4) & 7;
  const int mantissa = (code & 0x0F) << 4;
  const int magnitude = exponent == 0 ? mantissa + 8 : (mantissa + 0x108) << (exponent - 1);
  return (code & 0x80) != 0 ? magnitude : -magnitude;
}

}  // namespace

int16_t ToSample16(float value) {
  const float scaled = std::nearbyint(value * kFullScale16);
  if (std::isnan(scaled)) return 0;
  return static_cast<int16_t>(std::clamp(scaled, -kFullScale16, kFullScale16 - 1));
}

PcmSamples::PcmSamples(const PcmFormat& format, std::FILE* file, int out_channels)
    : format_(format),
      file_(file),
      out_channels_(out_channels),
      mix_(format.channels, format.channel_mask, out_channels),
      left_(format.end - format.offset),
      frame_(format.channels) {}

float PcmSamples::Sample(const uint8_t* p) const {
  const unsigned bytes = format_.sample_bytes;
  switch (format_.coding) {
    case SampleCoding::kUnsigned:
      return static_cast<float>(p[0] - 0x80) / 128;
    case SampleCoding::kMuLaw:
      return static_cast<float>(MuLaw(p[0])) / kFullScale16;
    case SampleCoding::kALaw:
      return static_cast<float>(ALaw(p[0])) / kFullScale16;
    default:
      break;
  }
  // Integers are left-justified in 32 bits; floats keep their bits.
  uint64_t bits = 0;
  for (unsigned i = 0; i < bytes; ++i) {
    bits = bits << 8 | p[format_.big_endian ? i : bytes - 1 - i];
  }
  if (format_.coding == SampleCoding::kSigned) {
    return static_cast<float>(
               static_cast<int32_t>(static_cast<uint32_t>(bits << (32 - 8 * bytes)))) /
           kFullScale32;
  }
  double value = 0;
  if (bytes == 4) {
    float single = 0;
    const auto word = static_cast<uint32_t>(bits);
    std::memcpy(&single, &word, sizeof single);
    value = single;
  } else {
    std::memcpy(&value, &bits, sizeof value);
  }
  return std::isfinite(value) ? static_cast<float>(value) : 0.0f;
}

size_t PcmSamples::Read(std::span<float> out) {
  const size_t frame_bytes = format_.FrameBytes();
  const size_t wanted = std::min<int64_t>(out.size() / out_channels_, left_ / frame_bytes);
  bytes_.resize(wanted * frame_bytes);
  const size_t frames = std::fread(bytes_.data(), 1, bytes_.size(), file_) / frame_bytes;
  left_ -= static_cast<int64_t>(frames * frame_bytes);
  if (frames < wanted) left_ = 0;  // the end of the file
  const uint8_t* p = bytes_.data();
  for (size_t frame = 0; frame < frames; ++frame) {
    for (float& sample : frame_) {
      sample = Sample(p);
      p += format_.sample_bytes;
    }
    mix_.Mix(frame_, out.data() + frame * out_channels_);
  }
  return frames;
}

}  // namespace vcd2
