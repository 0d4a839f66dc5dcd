#include "sector/ecc.h"

#include <array>
#include <cstddef>

#include "sector/sector_layout.h"

namespace vcd2 {
namespace {

constexpr unsigned kFieldPolynomial = 0x11D;  // x^8 + x^4 + x^3 + x^2 + 1

struct FieldTables {
  std::array<uint8_t, 256> times_alpha{};             // x -> x * alpha
  std::array<uint8_t, 256> divide_by_1_plus_alpha{};  // (x * (1 + alpha)) -> x
};

constexpr FieldTables MakeFieldTables() {
  FieldTables tables;
  for (unsigned i = 0; i < 256; ++i) {
    const unsigned doubled = (i << 1) ^ ((i & 0x80) ? kFieldPolynomial : 0);
    tables.times_alpha[i] = static_cast<uint8_t>(doubled);
    tables.divide_by_1_plus_alpha[i ^ doubled] = static_cast<uint8_t>(i);
  }
  return tables;
}

constexpr FieldTables kField = MakeFieldTables();

// Computes two parity symbols for each of `vectors` code words of `length`
// symbols. Word v starts at (v / 2) * start_step + v % 2 (the two byte planes
// are coded apart) and steps by `step` modulo the covered size.
void ComputeParity(const uint8_t* data, size_t vectors, size_t length, size_t start_step,
                   size_t step, uint8_t* parity) {
  const size_t covered = vectors * length;
  for (size_t v = 0; v < vectors; ++v) {
    size_t index = (v / 2) * start_step + (v % 2);
    uint8_t weighted = 0;
    uint8_t sum = 0;
    for (size_t k = 0; k < length; ++k) {
      const uint8_t symbol = data[index];
      index += step;
      if (index >= covered) index -= covered;
      weighted = kField.times_alpha[weighted ^ symbol];
      sum ^= symbol;
    }
    const uint8_t first = kField.divide_by_1_plus_alpha[kField.times_alpha[weighted] ^ sum];
    parity[v] = first;
    parity[v + vectors] = first ^ sum;
  }
}

constexpr size_t kPVectors = 86;  // 43 columns in two planes
constexpr size_t kPLength = 24;
constexpr size_t kQVectors = 52;  // 26 diagonals in two planes
constexpr size_t kQLength = 43;

}  // namespace

void ComputeEcc(uint8_t* header) {
  uint8_t* p_parity = header + (kPParityOffset - kHeaderOffset);
  uint8_t* q_parity = header + (kQParityOffset - kHeaderOffset);
  ComputeParity(header, kPVectors, kPLength, 2, kPVectors, p_parity);
  ComputeParity(header, kQVectors, kQLength, kPVectors, kPVectors + 2, q_parity);
}

}  // namespace vcd2
