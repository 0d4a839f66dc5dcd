#pragma once

#include <cstdint>

namespace vcd2 {

// Fills the P and Q parity of a Form 1 sector, given its header (sector
// offset 12). The Reed-Solomon product code of ECMA-130 over GF(2^8) covers
// offsets 12..2075; the header bytes must be zero while it is computed.
void ComputeEcc(uint8_t* header);

}  // namespace vcd2
