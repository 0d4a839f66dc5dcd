#pragma once

#include <cstddef>
#include <cstdint>

#include "sector/sector_layout.h"

namespace vcd2::test {

// Independent bit-by-bit references for checking sectors.

// The EDC CRC computed one bit at a time from the polynomial.
uint32_t BitwiseEdc(const uint8_t* data, size_t size);

// True when the sector carries a valid EDC for its Form, and for Form 1
// valid P and Q parity: every column and diagonal is a code word.
bool SectorIsValid(const RawSector& sector);

// The scrambler sequence from a shift register stepped one bit at a time.
uint8_t ScramblerByte(size_t index);

}  // namespace vcd2::test
