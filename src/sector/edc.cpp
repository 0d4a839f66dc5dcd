#include "sector/edc.h"

#include <array>

#include "base/byte_order.h"
#include "sector/sector_layout.h"

namespace vcd2 {
namespace {

constexpr uint32_t kReversedPolynomial = 0xD8018001;
constexpr size_t kSlices = 16;
constexpr size_t kForm1Covered = kForm1EdcOffset - kSubheaderOffset;  // 2056
constexpr size_t kForm2Covered = kForm2EdcOffset - kSubheaderOffset;  // 2332

using Tables = std::array<std::array<uint32_t, 256>, kSlices>;

// Slice-by-16 tables: tables[k][b] advances the CRC of byte b by k further
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
    const uint32_t a = crc ^ LoadLittleEndian32(data);
    const uint32_t b = LoadLittleEndian32(data + 4);
    const uint32_t c = LoadLittleEndian32(data + 8);
    const uint32_t d = LoadLittleEndian32(data + 12);
    crc = kTables[15][a & 0xFF] ^ kTables[14][(a >> 8) & 0xFF] ^ kTables[13][(a >> 16) & 0xFF] ^
          kTables[12][a >> 24] ^ kTables[11][b & 0xFF] ^ kTables[10][(b >> 8) & 0xFF] ^
          kTables[9][(b >> 16) & 0xFF] ^ kTables[8][b >> 24] ^ kTables[7][c & 0xFF] ^
          kTables[6][(c >> 8) & 0xFF] ^ kTables[5][(c >> 16) & 0xFF] ^ kTables[4][c >> 24] ^
          kTables[3][d & 0xFF] ^ kTables[2][(d >> 8) & 0xFF] ^ kTables[1][(d >> 16) & 0xFF] ^
          kTables[0][d >> 24];
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
