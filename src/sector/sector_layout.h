#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "base/disc_layout.h"

namespace vcd2 {

// A raw CD-ROM XA Mode 2 sector: sync, header, two subheader copies, user
// data and, depending on the Form, EDC and ECC.
inline constexpr size_t kSyncSize = 12;
inline constexpr size_t kHeaderOffset = 12;
inline constexpr size_t kModeOffset = 15;
inline constexpr size_t kSubheaderOffset = 16;
inline constexpr size_t kSubheaderSize = 4;
inline constexpr size_t kUserDataOffset = 24;
inline constexpr size_t kForm1EdcOffset = kUserDataOffset + kForm1DataSize;
inline constexpr size_t kPParityOffset = 2076;
inline constexpr size_t kQParityOffset = 2248;
inline constexpr size_t kForm2EdcOffset = kUserDataOffset + kForm2DataSize;
inline constexpr uint8_t kMode2 = 0x02;

// Subheader submode bits.
namespace submode {
inline constexpr uint8_t kEndOfRecord = 0x01;
inline constexpr uint8_t kVideo = 0x02;
inline constexpr uint8_t kAudio = 0x04;
inline constexpr uint8_t kData = 0x08;
inline constexpr uint8_t kTrigger = 0x10;
inline constexpr uint8_t kForm2 = 0x20;
inline constexpr uint8_t kRealTime = 0x40;
inline constexpr uint8_t kEndOfFile = 0x80;
}  // namespace submode

struct Subheader {
  uint8_t file = 0;
  uint8_t channel = 0;
  uint8_t submode = 0;
  uint8_t coding = 0;
};

using RawSector = std::array<uint8_t, kRawSectorSize>;

// Writes both subheader copies.
inline void SetSubheader(RawSector& sector, Subheader subheader) {
  for (size_t copy : {kSubheaderOffset, kSubheaderOffset + kSubheaderSize}) {
    sector[copy] = subheader.file;
    sector[copy + 1] = subheader.channel;
    sector[copy + 2] = subheader.submode;
    sector[copy + 3] = subheader.coding;
  }
}

inline uint8_t SubmodeOf(const RawSector& sector) {
  return sector[kSubheaderOffset + 2];
}

// Byte position of a sector in an image file whose first sector is LBA -150.
inline constexpr int64_t ImagePosition(int32_t lba) {
  return (int64_t{lba} + kPregapSectors) * static_cast<int64_t>(kRawSectorSize);
}

// Minute, second and frame of LBA + 150, in BCD.
void StoreDiscTime(uint8_t* bytes, int32_t lba);

}  // namespace vcd2
