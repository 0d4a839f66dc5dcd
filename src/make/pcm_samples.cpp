#include "make/pcm_samples.h"

#include <algorithm>

namespace vcd2 {

PcmSamples::PcmSamples(const PcmFormat& format, std::FILE* file, bool mono_output)
    : format_(format),
      file_(file),
      mono_output_(mono_output),
      repeat_(format.rate == 0 ? 0 : kMpegAudioRate / format.rate) {}

int16_t PcmSamples::Next(const uint8_t*& p) const {
  if (format_.eight_bit) return static_cast<int16_t>((*p++ ^ format_.xor_value) << 8);
  const uint8_t low = format_.byte_swap ? p[1] : p[0];
  const uint8_t high = format_.byte_swap ? p[0] : p[1];
  p += 2;
  return static_cast<int16_t>(high << 8 | low);
}

uint32_t PcmSamples::Read(std::span<int16_t> left, std::span<int16_t> right) {
  std::fill(left.begin(), left.end(), 0);
  std::fill(right.begin(), right.end(), 0);
  if (repeat_ == 0) return 0;
  const size_t frames = left.size() / repeat_;
  const size_t frame_bytes = (format_.mono ? 1 : 2) * (format_.eight_bit ? 1 : 2);
  buffer_.resize(frames * frame_bytes);
  const size_t read = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  if (read == 0) return 0;
  const uint8_t silence = format_.eight_bit ? format_.xor_value : 0;
  std::fill(buffer_.begin() + static_cast<ptrdiff_t>(read), buffer_.end(), silence);
  const uint8_t* p = buffer_.data();
  for (size_t frame = 0; frame < frames; ++frame) {
    const int16_t l = Next(p);
    const int16_t r = format_.mono ? l : Next(p);
    const size_t first = frame * repeat_;
    std::fill_n(left.begin() + static_cast<ptrdiff_t>(first), repeat_, l);
    if (!mono_output_) std::fill_n(right.begin() + static_cast<ptrdiff_t>(first), repeat_, r);
  }
  const auto count = static_cast<uint32_t>(left.size());
  return mono_output_ ? count : 2 * count;
}

}  // namespace vcd2
