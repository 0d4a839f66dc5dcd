#pragma once

#include <cstddef>
#include <cstdint>

namespace vcd2 {

// Sector sizes: a raw Mode 2 sector, and the user data of a Form 1 sector
// (also the ISO 9660 logical block and a control file's size) and of a
// Form 2 sector.
inline constexpr size_t kRawSectorSize = 2352;
inline constexpr size_t kForm1DataSize = 2048;
inline constexpr size_t kForm2DataSize = 2324;

inline constexpr int32_t kSectorsPerSecond = 75;
inline constexpr int32_t kSectorsPerMinute = 60 * kSectorsPerSecond;
// Sectors before LBA 0 in every image file; also the LBA-to-time offset.
inline constexpr int32_t kPregapSectors = 150;

// LBAs of the Video CD control files.
inline constexpr uint32_t kInfoLba = 150;
inline constexpr uint32_t kEntriesLba = 151;
inline constexpr uint32_t kLotLba = 152;
inline constexpr uint32_t kLotSectors = 32;
inline constexpr uint32_t kPsdLba = 184;
// PSD offsets count units of this many bytes.
inline constexpr uint32_t kPsdOffsetUnit = 8;
// Segment play items occupy whole units of this many sectors.
inline constexpr uint32_t kSegmentUnitSectors = 150;

// A track starts 2 unused sectors and its 150-sector pregap after the end of
// what precedes it.
inline constexpr uint32_t kTrackPregapDistance = 2 + kPregapSectors;
// Empty sectors after the last MPEG track, or scrambler sectors when CD-DA
// tracks follow (also written without MPEG tracks).
inline constexpr int32_t kTrackEndGap = 150;
inline constexpr int32_t kScramblerGapSectors = 225;
// Sectors between the scrambler gap and the first CD-DA track's pregap.
inline constexpr uint32_t kAudioLeadSectors = 75;

}  // namespace vcd2
