#pragma once

#include <cstdint>
#include <vector>

namespace vcd2 {

// Explicit byte orders for every number written to an image: big endian for
// the Video CD control files, both orders for ISO 9660, little endian for the
// EDC, BCD for sector and disc addresses.

inline void StoreBigEndian16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}

inline void StoreBigEndian32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

// Appends a big-endian number, for records built as byte lists.
inline void AppendBigEndian16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}

inline void StoreLittleEndian16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

inline void StoreLittleEndian32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

// ISO 9660 "both byte orders": little endian, then big endian.
inline void StoreBothEndian16(uint8_t* p, uint16_t v) {
  StoreLittleEndian16(p, v);
  StoreBigEndian16(p + 2, v);
}

inline void StoreBothEndian32(uint8_t* p, uint32_t v) {
  StoreLittleEndian32(p, v);
  StoreBigEndian32(p + 4, v);
}

inline uint16_t LoadBigEndian16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

inline uint32_t LoadBigEndian32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

inline uint16_t LoadLittleEndian16(const uint8_t* p) {
  return static_cast<uint16_t>(p[1] << 8 | p[0]);
}

inline uint32_t LoadLittleEndian32(const uint8_t* p) {
  return uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

// Two decimal digits, tens in the high nibble; v is 0..99.
constexpr uint8_t Bcd(unsigned v) {
  return static_cast<uint8_t>((v / 10) * 16 + v % 10);
}

}  // namespace vcd2
