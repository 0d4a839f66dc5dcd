#include "verify/verify_context.h"

#include <algorithm>

namespace vcd2 {

bool ReadBlock(VerifyContext& context, int32_t lba, uint8_t* block) {
  RawSector sector{};
  if (!context.sectors.Read(lba, sector)) return false;
  std::copy_n(sector.begin() + kUserDataOffset, kForm1DataSize, block);
  return true;
}

}  // namespace vcd2
