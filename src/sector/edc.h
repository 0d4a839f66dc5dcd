#pragma once

#include <cstddef>
#include <cstdint>

namespace vcd2 {

// The CD-ROM error detection code: a CRC with the polynomial
// x^32 + x^31 + x^16 + x^15 + x^4 + x^3 + x + 1, least significant bit first,
// initial value 0, no final inversion.
uint32_t Edc(const uint8_t* data, size_t size);

// Computes the EDC of a sector from its subheader (sector offset 16) over
// 2056 bytes for Form 1 or 2332 for Form 2 (submode bit 5) and stores it
// behind the covered bytes, least significant byte first.
void ComputeEdc(uint8_t* subheader);

}  // namespace vcd2
