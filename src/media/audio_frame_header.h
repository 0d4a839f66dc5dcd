#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vcd2 {

inline constexpr size_t kAudioFrameHeaderSize = 4;
inline constexpr uint32_t kSamplesPerFrame = 1152;  // MPEG-1 Layer II

// The fields of an MPEG audio frame header h0..h3 (ISO/IEC 11172-3).
struct AudioFrameHeader {
  static constexpr uint8_t kLayerTwo = 2;  // layer code: 3 Layer I, 2 Layer II, 1 Layer III
  static constexpr uint8_t kMono = 3;      // mode: 0 stereo, 1 joint stereo, 2 dual channel
  static constexpr uint8_t kReservedEmphasis = 2;

  bool mpeg1 = false;  // the ID bit
  uint8_t layer_code = 0;
  uint8_t bit_rate_index = 0;
  uint32_t bit_rate = 0;  // kbit/s by the Layer II table; 0 free format or invalid
  uint8_t sampling_index = 0;
  uint32_t sampling_rate = 0;  // Hz; 0 reserved
  bool padding = false;
  uint8_t mode = 0;
  uint8_t emphasis = 0;

  bool IsLayerTwo() const {
    return mpeg1 && layer_code == kLayerTwo && bit_rate != 0 && sampling_rate != 0 &&
           emphasis != kReservedEmphasis;
  }
  // Bytes of a frame: 144000 * bit rate / sampling rate, plus the padding slot.
  size_t FrameSize() const { return 144000 * bit_rate / sampling_rate + (padding ? 1 : 0); }
};

inline AudioFrameHeader ParseAudioFrameHeader(const uint8_t* h) {
  static constexpr std::array<uint32_t, 16> kBitRates = {0,   32,  48,  56,  64,  80,  96,  112,
                                                         128, 160, 192, 224, 256, 320, 384, 0};
  static constexpr std::array<uint32_t, 4> kSamplingRates = {44100, 48000, 32000, 0};
  AudioFrameHeader header;
  header.mpeg1 = (h[1] & 0x08) != 0;
  header.layer_code = h[1] >> 1 & 3;
  header.bit_rate_index = h[2] >> 4;
  header.bit_rate = kBitRates[header.bit_rate_index];
  header.sampling_index = h[2] >> 2 & 3;
  header.sampling_rate = kSamplingRates[header.sampling_index];
  header.padding = (h[2] & 0x02) != 0;
  header.mode = h[3] >> 6;
  header.emphasis = h[3] & 3;
  return header;
}

}  // namespace vcd2
