#pragma once

#include <cstddef>
#include <cstdint>

#include "base/disc_layout.h"

namespace vcd2 {

// MPEG-1 system stream timing and packing on a Video CD.
inline constexpr uint32_t kClockTicksPerSector = 1200;    // 90 kHz / 75 sectors per second
inline constexpr size_t kVideoPackSize = kForm2DataSize;  // one Form 2 sector's data
inline constexpr size_t kAudioPackSize = 2304;            // followed by 20 zero bytes
inline constexpr uint32_t kMuxRate = 3528;                // units of 50 bytes per second
inline constexpr size_t kPackHeaderSize = 12;             // start code, SCR and mux rate

// The only pack lengths a Video CD sector can carry.
inline bool IsSectorPackLength(size_t length) {
  return length == kVideoPackSize || length == kAudioPackSize;
}

// The sequence header gives the video buffer (VBV) size in units of 16 kbit.
inline constexpr size_t kVbvUnit = 2048;  // bytes

// Picture sizes of Video CD streams; high-resolution stills double both.
namespace picture {
inline constexpr uint16_t kWidth = 352;
inline constexpr uint16_t kPalHeight = 288;
inline constexpr uint16_t kNtscHeight = 240;
}  // namespace picture

// Start codes (the byte after 00 00 01).
namespace start_code {
inline constexpr uint8_t kPicture = 0x00;
inline constexpr uint8_t kSequenceHeader = 0xB3;
inline constexpr uint8_t kSequenceEnd = 0xB7;
inline constexpr uint8_t kGroupOfPictures = 0xB8;
inline constexpr uint8_t kEnd = 0xB9;
inline constexpr uint8_t kPack = 0xBA;
inline constexpr uint8_t kSystemHeader = 0xBB;
inline constexpr uint8_t kPadding = 0xBE;
inline constexpr uint8_t kAudio = 0xC0;
inline constexpr uint8_t kVideo = 0xE0;
inline constexpr uint8_t kStillLow = 0xE1;
inline constexpr uint8_t kStillHigh = 0xE2;
}  // namespace start_code

// The system clock reference of a pack header from its five SCR bytes, SCR
// bit 32 dropped.
inline uint32_t ReadScr(const uint8_t* b) {
  return (uint32_t{b[0]} >> 1 & 3) << 30 | uint32_t{b[1]} << 22 | uint32_t{b[2]} >> 1 << 15 |
         uint32_t{b[3]} << 7 | uint32_t{b[4]} >> 1;
}

// Stores an MPEG-1 pack header: the pack start code, the clock as the SCR
// (bit 32 zero, marker bits set) and the mux rate.
inline void StorePackHeader(uint8_t* p, uint32_t clock) {
  p[0] = 0x00;
  p[1] = 0x00;
  p[2] = 0x01;
  p[3] = start_code::kPack;
  p[4] = static_cast<uint8_t>(0x21 | (clock >> 29 & 0x06));
  p[5] = static_cast<uint8_t>(clock >> 22);
  p[6] = static_cast<uint8_t>(clock >> 14 | 0x01);
  p[7] = static_cast<uint8_t>(clock >> 7);
  p[8] = static_cast<uint8_t>(clock << 1 | 0x01);
  p[9] = static_cast<uint8_t>(0x80 | kMuxRate >> 15);  // marker, rate bits 21..15
  p[10] = static_cast<uint8_t>(kMuxRate >> 7);
  p[11] = static_cast<uint8_t>(kMuxRate << 1 | 0x01);  // rate bits 6..0, marker
}

// Length of the MPEG-1 packet header fields after the packet length:
// stuffing, buffer size and time stamps; 0 when they cannot be parsed.
inline size_t PacketHeaderLength(const uint8_t* data, size_t available) {
  size_t i = 0;
  while (i < available && (data[i] & 0x80)) ++i;
  if (i < available && (data[i] & 0xC0) == 0x40) i += 2;
  if (i >= available) return 0;
  switch (data[i] >> 4) {
    case 0x0:
      return i + 1;
    case 0x2:
      return i + 5;
    case 0x3:
      return i + 10;
    default:
      return 0;
  }
}

}  // namespace vcd2
