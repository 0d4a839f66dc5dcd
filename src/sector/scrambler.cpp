#include "sector/scrambler.h"

namespace vcd2 {
namespace {

constexpr std::array<uint8_t, kScramblerSize> MakeSequence() {
  std::array<uint8_t, kScramblerSize> sequence{};
  unsigned shift_register = 1;
  for (auto& byte : sequence) {
    unsigned value = 0;
    for (int bit = 0; bit < 8; ++bit) {
      value |= (shift_register & 1) << bit;
      const unsigned feedback = (shift_register ^ (shift_register >> 1)) & 1;
      shift_register = (shift_register >> 1) | (feedback << 14);
    }
    byte = static_cast<uint8_t>(value);
  }
  return sequence;
}

constexpr std::array<uint8_t, kScramblerSize> kSequence = MakeSequence();

}  // namespace

const std::array<uint8_t, kScramblerSize>& ScramblerSequence() {
  return kSequence;
}

void ScrambleSectorBody(uint8_t* header) {
  for (size_t i = 0; i < kScramblerSize; ++i) header[i] ^= kSequence[i];
}

}  // namespace vcd2
