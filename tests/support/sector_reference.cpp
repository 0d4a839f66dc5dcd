#include "support/sector_reference.h"

#include <algorithm>

#include "base/byte_order.h"

namespace vcd2::test {
namespace {

// Multiplies by alpha in GF(2^8) with x^8 + x^4 + x^3 + x^2 + 1.
uint8_t TimesAlpha(uint8_t x) {
  return static_cast<uint8_t>((x << 1) ^ ((x & 0x80) ? 0x11D : 0));
}

// Each of `words` code words of a byte plane takes `length` symbols, word w
// from start_step * w on in steps of `step` modulo the covered size, and its
// two parity symbols at `parity` (which ends the covered bytes) and behind
// the first parity of every word. A code word's symbols v_0..v_{n-1} give
// sum v_i = 0 and sum alpha^(n-1-i) v_i = 0.
bool PlaneChecks(const uint8_t* base, size_t words, size_t length, size_t start_step, size_t step,
                 size_t parity) {
  for (size_t plane = 0; plane < 2; ++plane) {
    for (size_t w = 0; w < words; ++w) {
      uint8_t sum = 0;
      uint8_t weighted = 0;
      const auto add = [&](uint8_t v) {
        sum ^= v;
        weighted = TimesAlpha(weighted) ^ v;  // Horner's rule
      };
      for (size_t k = 0; k < length; ++k) add(base[(start_step * w + step * k) % parity + plane]);
      add(base[parity + 2 * w + plane]);
      add(base[parity + 2 * words + 2 * w + plane]);
      if (sum != 0 || weighted != 0) return false;
    }
  }
  return true;
}

// P covers the 43 columns of the data, Q the 26 diagonals of data and P, both
// with the header taken as zero.
bool ParityChecks(const RawSector& sector) {
  RawSector zeroed = sector;
  std::fill_n(zeroed.begin() + kHeaderOffset, 4, 0);
  const uint8_t* base = zeroed.data() + kHeaderOffset;
  return PlaneChecks(base, 43, 24, 2, 86, 2064) && PlaneChecks(base, 26, 43, 86, 88, 2236);
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

bool SectorIsValid(const RawSector& sector) {
  const bool form2 = (sector[kSubheaderOffset + 2] & submode::kForm2) != 0;
  const size_t edc_offset = form2 ? kForm2EdcOffset : kForm1EdcOffset;
  return LoadLittleEndian32(sector.data() + edc_offset) ==
             BitwiseEdc(sector.data() + kSubheaderOffset, edc_offset - kSubheaderOffset) &&
         (form2 || ParityChecks(sector));
}

uint8_t ScramblerByte(size_t index) {
  uint16_t reg = 1;
  uint8_t byte = 0;
  for (size_t bit = 0; bit < index * 8 + 8; ++bit) {
    if (bit >= index * 8) byte |= static_cast<uint8_t>((reg & 1) << (bit % 8));
    reg = static_cast<uint16_t>((reg >> 1) | (((reg ^ (reg >> 1)) & 1) << 14));
  }
  return byte;
}

}  // namespace vcd2::test
