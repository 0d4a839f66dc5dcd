#pragma once

#include <cstddef>
#include <cstdint>

#include "sector/sector_layout.h"

namespace vcd2::test {

// Independent bit-by-bit references for checking sectors.

// The EDC CRC computed one bit at a time from the polynomial.
uint32_t BitwiseEdc(const uint8_t* data, size_t size);

// True when every P column and Q diagonal of a Form 1 sector (with its header
// taken as zero) is a code word: both syndromes are zero.
bool ParityChecks(const RawSector& sector);

// True when the sector carries a valid EDC for its Form, and for Form 1
// valid P and Q parity.
bool SectorIsValid(const RawSector& sector);

// The scrambler sequence from a shift register stepped one bit at a time.
uint8_t ScramblerByte(size_t index);

}  // namespace vcd2::test
