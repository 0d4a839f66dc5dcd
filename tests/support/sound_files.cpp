#include "support/sound_files.h"

#include <cmath>

namespace vcd2::test {
namespace {

std::string Number(uint64_t value, int bytes, bool big_endian) {
  std::string out(static_cast<size_t>(bytes), '\0');
  for (int i = 0; i < bytes; ++i) {
    out[static_cast<size_t>(big_endian ? bytes - 1 - i : i)] = static_cast<char>(value >> (8 * i));
  }
  return out;
}

// Sign, 15-bit exponent biased by 16383, 64-bit mantissa with its leading 1.
std::string Extended(double value) {
  int exponent = 0;
  const double fraction = std::frexp(value, &exponent);  // value = fraction * 2^exponent
  const auto mantissa = static_cast<uint64_t>(std::ldexp(fraction, 64));
  return Number(static_cast<uint64_t>(16383 + exponent - 1), 2, true) + Number(mantissa, 8, true);
}

}  // namespace

std::string Samples16(const std::vector<int16_t>& samples, bool big_endian) {
  std::string out;
  for (int16_t sample : samples) out += Number(static_cast<uint16_t>(sample), 2, big_endian);
  return out;
}

std::vector<int16_t> StereoTone(size_t frames) {
  std::vector<int16_t> samples;
  for (size_t i = 0; i < frames; ++i) {
    const double phase = 2 * M_PI * 440.0 * static_cast<double>(i) / 44100;
    samples.push_back(static_cast<int16_t>(12000 * std::sin(phase)));
    samples.push_back(static_cast<int16_t>(6000 * std::sin(1.5 * phase)));
  }
  return samples;
}

std::string Chunk(const char* id, const std::string& body, bool big_endian) {
  return std::string(id, 4) + Number(body.size(), 4, big_endian) + body;
}

std::string WaveFmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bytes, uint16_t bits,
                    uint32_t mask) {
  const uint32_t block = channels * bytes;
  std::string fmt = Number(mask != 0 ? 0xFFFE : tag, 2, false) + Number(channels, 2, false) +
                    Number(rate, 4, false) + Number(rate * block, 4, false) +
                    Number(block, 2, false) + Number(bytes * 8u, 2, false);
  if (mask != 0) {
    fmt += Number(22, 2, false) + Number(bits, 2, false) + Number(mask, 4, false) +
           Number(tag, 2, false) + std::string("\0\0\0\0\x10\0\x80\0\0\xAA\0\x38\x9B\x71", 14);
  } else {
    fmt.replace(14, 2, Number(bits, 2, false));
  }
  return Chunk("fmt ", fmt, false);
}

std::string WaveFile(uint16_t channels, uint16_t bits, uint32_t rate, const std::string& data) {
  const uint32_t block = channels * bits / 8u;
  const std::string fmt = Number(1, 2, false) + Number(channels, 2, false) +
                          Number(rate, 4, false) + Number(rate * block, 4, false) +
                          Number(block, 2, false) + Number(bits, 2, false);
  const std::string body = Chunk("fmt ", fmt, false) + Chunk("data", data, false);
  return Chunk("RIFF", "WAVE" + body, false);
}

std::string AiffFile(uint16_t channels, uint16_t bits, double rate, const std::string& data) {
  const size_t frame_bytes = channels * ((bits + 7u) / 8u);
  const std::string comm = Number(channels, 2, true) + Number(data.size() / frame_bytes, 4, true) +
                           Number(bits, 2, true) + Extended(rate);
  const std::string body =
      Chunk("COMM", comm, true) + Chunk("SSND", std::string(8, '\0') + data, true);
  return Chunk("FORM", "AIFF" + body, true);
}

}  // namespace vcd2::test
