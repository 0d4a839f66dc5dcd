#include "verify/sector_check.h"

#include <algorithm>
#include <cstring>

#include "base/byte_order.h"
#include "sector/ecc.h"
#include "sector/edc.h"
#include "sector/sector_layout.h"

namespace vcd2 {
namespace {

constexpr uint8_t kSync[kSyncSize] = {0,    0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
constexpr uint8_t kDataBits = submode::kVideo | submode::kAudio | submode::kData;

bool AllZero(const uint8_t* data, size_t size) {
  return data[0] == 0 && std::memcmp(data, data + 1, size - 1) == 0;
}

// The parity a Form 1 sector should carry: computed on a copy with a zero
// header, as it was written.
bool ParityMatches(const uint8_t* sector) {
  RawSector copy;
  std::memcpy(copy.data(), sector, copy.size());
  std::memset(copy.data() + kHeaderOffset, 0, 4);
  ComputeEcc(copy.data() + kHeaderOffset);
  return std::memcmp(copy.data() + kPParityOffset, sector + kPParityOffset,
                     kRawSectorSize - kPParityOffset) == 0;
}

}  // namespace

void SectorCheck::Check(const uint8_t* s, int32_t lba, const TrackSpan& track) {
  ++checked_;
  const int32_t own = lba - track.header_base;
  auto where = [&] { return SectorPlace(track.path, own); };
  if (std::memcmp(s, kSync, kSyncSize) != 0) {
    log_.Add(ProblemCode::kSectorSync, where(), "the sync pattern is wrong");
    return;  // nothing else of it can be trusted
  }
  uint8_t header[3];
  StoreDiscTime(header, own);
  if (std::memcmp(header, s + kHeaderOffset, 3) != 0) {
    log_.Add(ProblemCode::kSectorAddress, where(), "the header says %02X:%02X:%02X", s[12], s[13],
             s[14]);
  }
  if (s[kModeOffset] != kMode2) {
    log_.Add(ProblemCode::kSectorMode, where(), "mode %u; a Video CD sector is Mode 2",
             s[kModeOffset]);
    return;
  }
  if (std::memcmp(s + kSubheaderOffset, s + kSubheaderOffset + kSubheaderSize, kSubheaderSize) !=
      0) {
    log_.Add(ProblemCode::kSubheaderCopies, where(),
             "subheader %02X %02X %02X %02X, copy %02X %02X %02X %02X", s[16], s[17], s[18], s[19],
             s[20], s[21], s[22], s[23]);
  }
  const uint8_t mode = s[kSubheaderOffset + 2];
  if ((mode & submode::kForm2) != 0) {
    const uint32_t stored = LoadLittleEndian32(s + kForm2EdcOffset);
    if (stored != 0 && stored != Edc(s + kSubheaderOffset, kForm2EdcOffset - kSubheaderOffset)) {
      log_.Add(ProblemCode::kSectorEdc, where(), "the Form 2 EDC does not match");
    }
  } else {
    if (LoadLittleEndian32(s + kForm1EdcOffset) !=
        Edc(s + kSubheaderOffset, kForm1EdcOffset - kSubheaderOffset)) {
      log_.Add(ProblemCode::kSectorEdc, where(), "the Form 1 EDC does not match");
    } else if (!ParityMatches(s)) {
      log_.Add(ProblemCode::kSectorEcc, where(), "the P/Q parity does not match");
    }
  }
  if (lba < track.start && ((mode & submode::kForm2) == 0 || (mode & kDataBits) != 0 ||
                            !AllZero(s + kUserDataOffset, kForm2DataSize))) {
    log_.Add(ProblemCode::kGapSector, where(),
             "a pregap sector with submode %02X carries data; a Video CD's are empty Form 2", mode);
  }
}

}  // namespace vcd2
