#include "sector/edc.h"

#include <array>

#include "base/byte_order.h"
#include "sector/sector_layout.h"

namespace vcd2 {
namespace {

constexpr uint32_t kReversedPolynomial = 0xD8018001;
constexpr size_t kSlices = 8;
constexpr size_t kForm1Covered = kForm1EdcOffset - kSubheaderOffset;  // 2056
constexpr size_t kForm2Covered = kForm2EdcOffset - kSubheaderOffset;  // 2332

using Tables = std::array<std::array<uint32_t, 256>, kSlices>;

// Slice-by-8 tables: tables[k][b] advances the CRC of byte b by k further
// zero bytes.
constexpr Tables MakeTables() {
  Tables tables{};
  for (uint32_t b = 0; b < 256; ++b) {
    uint32_t crc = b;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1) ? kReversedPolynomial : 0);
    tables[0][b] = crc;
  }
  for (size_t k = 1; k < kSlices; ++k) {
    for (size_t b = 0; b < 256; ++b) {
      const uint32_t previous = tables[k - 1][b];
      tables[k][b] = (previous >> 8) ^ tables[0][previous & 0xFF];
    }
  }
  return tables;
}

constexpr Tables kTables = MakeTables();

}  // namespace

uint32_t Edc(const uint8_t* data, size_t size) {
  uint32_t crc = 0;
  for (; size >= kSlices; data += kSlices, size -= kSlices) {
    const uint32_t low = crc ^ LoadLittleEndian32(data);
    const uint32_t high = LoadLittleEndian32(data + 4);
    crc = kTables[7][low & 0xFF] ^ kTables[6][(low >> 8) & 0xFF] ^ kTables[5][(low >> 16) & 0xFF] ^
          kTables[4][low >> 24] ^ kTables[3][high & 0xFF] ^ kTables[2][(high >> 8) & 0xFF] ^
          kTables[1][(high >> 16) & 0xFF] ^ kTables[0][high >> 24];
  }
  for (; size > 0; ++data, --size) crc = (crc >> 8) ^ kTables[0][(crc ^ *data) & 0xFF];
  return crc;
}

void ComputeEdc(uint8_t* subheader) {
  const bool form2 = (subheader[2] & submode::kForm2) != 0;
  const size_t covered = form2 ? kForm2Covered : kForm1Covered;
  StoreLittleEndian32(subheader + covered, Edc(subheader, covered));
}

}  // namespace vcd2
