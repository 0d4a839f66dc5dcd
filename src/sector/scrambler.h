#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vcd2 {

inline constexpr size_t kScramblerSize = 2340;

// The ECMA-130 scrambler sequence: a 15-bit shift register x^15 + x + 1,
// seed 1, least significant bit first. It begins 0x01, 0x80, 0x00, 0x60.
const std::array<uint8_t, kScramblerSize>& ScramblerSequence();

// XORs the 2340 bytes from the header (sector offset 12) with the sequence.
void ScrambleSectorBody(uint8_t* header);

}  // namespace vcd2
