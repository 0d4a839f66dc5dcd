#include "sector/edc.h"

#include <array>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

// Sixteen bytes per step through the tables, then byte by byte.
uint32_t TableEdc(const uint8_t* data, size_t size) {
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

#if defined(__x86_64__)
// x^e modulo the polynomial, bit d standing for x^d.
constexpr uint64_t PowerModulo(int e) {
  constexpr uint64_t kPolynomial = 0x18001801B;  // x^32 + x^31 + x^16 + x^15 + x^4 + x^3 + x + 1
  uint64_t r = 1;
  for (int i = 0; i < e; ++i) {
    r <<= 1;
    if ((r >> 32) != 0) r ^= kPolynomial;
  }
  return r;
}

// The multiplier that moves a 64-bit lane by e bits in the least significant
// bit first order of the data: x^(e-1) mod P, reversed into 64 bits.
constexpr int64_t FoldFactor(int e) {
  const uint64_t r = PowerModulo(e - 1);
  uint64_t reversed = 0;
  for (int d = 0; d < 32; ++d) reversed |= ((r >> d) & 1) << (63 - d);
  return static_cast<int64_t>(reversed);
}

// Adds a 16-byte block, moved forward by kDistance bits, to the block that
// lies there: its first lane (the higher powers) moves 64 bits further.
template <int kDistance>
__attribute__((target("pclmul,sse2"))) __m128i Fold(__m128i block, __m128i next) {
  constexpr int64_t kFirst = FoldFactor(kDistance + 64);
  constexpr int64_t kSecond = FoldFactor(kDistance);
  const __m128i factors = _mm_set_epi64x(kSecond, kFirst);
  return _mm_xor_si128(_mm_xor_si128(next, _mm_clmulepi64_si128(block, factors, 0x00)),
                       _mm_clmulepi64_si128(block, factors, 0x11));
}

__m128i Load(const uint8_t* data) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
}

// Carry-less multiplication folds the data into 16 bytes that leave the same
// remainder in front of the rest; the tables finish. Four blocks of 16 bytes
// fold in parallel, each in a register of its own (an array of lanes ends up
// in memory, and every fold then waits for a store).
__attribute__((target("pclmul,sse2"))) uint32_t FoldedEdc(const uint8_t* data, size_t size) {
  constexpr size_t kBlock = 16;
  constexpr size_t kLanes = 4;
  constexpr int kStride = kLanes * kBlock * 8;
  if (size < 2 * kLanes * kBlock) return TableEdc(data, size);
  __m128i lane0 = Load(data);
  __m128i lane1 = Load(data + kBlock);
  __m128i lane2 = Load(data + 2 * kBlock);
  __m128i lane3 = Load(data + 3 * kBlock);
  for (data += kLanes * kBlock, size -= kLanes * kBlock; size >= kLanes * kBlock;
       data += kLanes * kBlock, size -= kLanes * kBlock) {
    lane0 = Fold<kStride>(lane0, Load(data));
    lane1 = Fold<kStride>(lane1, Load(data + kBlock));
    lane2 = Fold<kStride>(lane2, Load(data + 2 * kBlock));
    lane3 = Fold<kStride>(lane3, Load(data + 3 * kBlock));
  }
  __m128i folded = Fold<kBlock * 8>(lane0, lane1);
  folded = Fold<kBlock * 8>(folded, lane2);
  folded = Fold<kBlock * 8>(folded, lane3);
  for (; size >= kBlock; data += kBlock, size -= kBlock) {
    folded = Fold<kBlock * 8>(folded, Load(data));
  }
  uint8_t last[kBlock + kBlock];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(last), folded);
  for (size_t i = 0; i < size; ++i) last[kBlock + i] = data[i];
  return TableEdc(last, kBlock + size);
}
#endif

}  // namespace

uint32_t Edc(const uint8_t* data, size_t size) {
#if defined(__x86_64__)
  static const bool kClmul = __builtin_cpu_supports("pclmul");
  if (kClmul) return FoldedEdc(data, size);
#endif
  return TableEdc(data, size);
}

void ComputeEdc(uint8_t* subheader) {
  const bool form2 = (subheader[2] & submode::kForm2) != 0;
  const size_t covered = form2 ? kForm2Covered : kForm1Covered;
  StoreLittleEndian32(subheader + covered, Edc(subheader, covered));
}

}  // namespace vcd2
