#include "support/sector_reference.h"

#include <vector>

namespace vcd2::test {
namespace {

// GF(2^8) with x^8 + x^4 + x^3 + x^2 + 1, multiplied bit by bit.
uint8_t Multiply(uint8_t a, uint8_t b) {
  unsigned product = 0;
  unsigned x = a;
  for (int bit = 0; bit < 8; ++bit) {
    if (b & (1u << bit)) product ^= x;
    x <<= 1;
    if (x & 0x100) x ^= 0x11D;
  }
  return static_cast<uint8_t>(product);
}

uint8_t Power(uint8_t base, unsigned exponent) {
  uint8_t result = 1;
  for (unsigned i = 0; i < exponent; ++i) result = Multiply(result, base);
  return result;
}

// A code word v_0..v_{n-1} satisfies sum v_i = 0 and sum alpha^(n-1-i) v_i = 0.
bool IsCodeWord(const std::vector<uint8_t>& word) {
  uint8_t sum = 0;
  uint8_t weighted = 0;
  const size_t n = word.size();
  for (size_t i = 0; i < n; ++i) {
    sum ^= word[i];
    weighted ^= Multiply(word[i], Power(2, static_cast<unsigned>(n - 1 - i)));
  }
  return sum == 0 && weighted == 0;
}

}  // namespace

uint32_t BitwiseEdc(const uint8_t* data, size_t size) {
  uint32_t crc = 0;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xD8018001u : crc >> 1;
  }
  return crc;
}

bool ParityChecks(const RawSector& sector) {
  RawSector zeroed = sector;
  for (size_t i = kHeaderOffset; i < kHeaderOffset + 4; ++i) zeroed[i] = 0;
  const uint8_t* base = zeroed.data() + kHeaderOffset;
  for (size_t plane = 0; plane < 2; ++plane) {
    for (size_t c = 0; c < 43; ++c) {  // P: 24 data symbols and 2 parity
      std::vector<uint8_t> word;
      for (size_t k = 0; k < 24; ++k) word.push_back(base[2 * c + 86 * k + plane]);
      word.push_back(base[2064 + 2 * c + plane]);
      word.push_back(base[2150 + 2 * c + plane]);
      if (!IsCodeWord(word)) return false;
    }
    for (size_t d = 0; d < 26; ++d) {  // Q: 43 symbols over data and P, and 2 parity
      std::vector<uint8_t> word;
      for (size_t k = 0; k < 43; ++k) word.push_back(base[(86 * d + 88 * k) % 2236 + plane]);
      word.push_back(base[2236 + 2 * d + plane]);
      word.push_back(base[2288 + 2 * d + plane]);
      if (!IsCodeWord(word)) return false;
    }
  }
  return true;
}

bool SectorIsValid(const RawSector& sector) {
  const bool form2 = (sector[kSubheaderOffset + 2] & submode::kForm2) != 0;
  const size_t edc_offset = form2 ? kForm2EdcOffset : kForm1EdcOffset;
  const uint32_t stored = uint32_t{sector[edc_offset]} | uint32_t{sector[edc_offset + 1]} << 8 |
                          uint32_t{sector[edc_offset + 2]} << 16 |
                          uint32_t{sector[edc_offset + 3]} << 24;
  if (stored != BitwiseEdc(sector.data() + kSubheaderOffset, edc_offset - kSubheaderOffset)) {
    return false;
  }
  return form2 || ParityChecks(sector);
}

uint8_t ScramblerByte(size_t index) {
  static const std::vector<uint8_t> sequence = [] {
    std::vector<uint8_t> bytes(2340, 0);
    uint16_t reg = 1;
    for (size_t bit = 0; bit < 2340 * 8; ++bit) {
      bytes[bit / 8] |= static_cast<uint8_t>((reg & 1) << (bit % 8));
      const uint16_t feedback = ((reg >> 0) ^ (reg >> 1)) & 1;
      reg = static_cast<uint16_t>((reg >> 1) | (feedback << 14));
    }
    return bytes;
  }();
  return sequence.at(index);
}

}  // namespace vcd2::test
