#pragma once

#include <cstddef>
#include <cstdint>

#include "base/disc_layout.h"

namespace vcd2 {

// Record layouts of the Video CD control files, shared by their writers and
// the verifier. Numbers in these files are big endian.

// INFO.VCD and ENTRIES.VCD start with an 8-byte identifier, the version and
// the system profile tag.
inline constexpr char kInfoFileId[] = "VIDEO_CD";
inline constexpr char kEntriesFileId[] = "ENTRYVCD";
inline constexpr size_t kControlFileIdSize = 8;
inline constexpr size_t kVersionOffset = 8;
inline constexpr size_t kProfileTagOffset = 9;

// INFO.VCD field offsets.
namespace info {
inline constexpr size_t kAlbumId = 10;
inline constexpr size_t kAlbumIdSize = 16;
inline constexpr size_t kVolumeCount = 26;
inline constexpr size_t kVolumeNumber = 28;
inline constexpr size_t kPalFlags = 30;  // one bit per MPEG track
inline constexpr size_t kMaxPalFlagTracks = 104;
inline constexpr size_t kFlags = 43;
inline constexpr size_t kPsdSize = 44;
inline constexpr size_t kFirstSegment = 48;  // disc time of the first segment play item
inline constexpr size_t kOffsetMultiplier = 51;
inline constexpr size_t kLidCount = 52;
inline constexpr size_t kSegmentCount = 54;
inline constexpr size_t kSegmentContents = 56;   // one byte per segment unit
inline constexpr uint8_t kContinuedUnit = 0x20;  // contents bit of every unit after an item's first
inline constexpr size_t kMaxSegmentUnits = kForm1DataSize - kSegmentContents;
static_assert(kAlbumId + kAlbumIdSize == kVolumeCount);
static_assert(kPalFlags + kMaxPalFlagTracks / 8 == kFlags);
static_assert(kFirstSegment + 3 == kOffsetMultiplier);
}  // namespace info

// Segment content type: audio in bits 0-1, video in bits 2-4 (bit 4 PAL).
namespace content {
inline constexpr uint8_t kAudioMask = 0x03;
inline constexpr uint8_t kVideoMask = 0x1C;
inline constexpr uint8_t kPal = 0x10;
}  // namespace content

// ENTRIES.VCD: the count, then 4 bytes per entry (track number and disc
// time, BCD).
namespace entries {
inline constexpr size_t kCount = 10;
inline constexpr size_t kFirst = 12;
inline constexpr size_t kEntrySize = 4;
inline constexpr size_t kMaxEntries = 500;  // the Video CD limit
static_assert(kFirst + kMaxEntries * kEntrySize <= kForm1DataSize);
}  // namespace entries

// PSD descriptors: a type byte; offsets in units of 8 bytes.
namespace psd {
inline constexpr uint8_t kPlayListType = 0x10;
inline constexpr uint8_t kSelectionType = 0x18;
inline constexpr uint8_t kExtendedSelectionType = 0x1A;
inline constexpr uint8_t kEndListType = 0x1F;
inline constexpr size_t kEndListSize = 8;
// Target offsets that name no descriptor.
inline constexpr uint16_t kNoTarget = 0xFFFF;
inline constexpr uint16_t kMultiTarget = 0xFFFE;
inline constexpr uint16_t kMultiNumTarget = 0xFFFD;
// Play item numbers: tracks 2..99, entries from 100, segment units from 1000.
inline constexpr uint16_t kFirstEntryItem = 100;
inline constexpr uint16_t kFirstSegmentItem = 1000;

// Play list: count, LID, PREVIOUS, NEXT, RETURN, time, waits, then the items.
namespace play {
inline constexpr size_t kCount = 1;
inline constexpr size_t kLid = 2;
inline constexpr size_t kPrevious = 4;
inline constexpr size_t kNext = 6;
inline constexpr size_t kReturn = 8;
inline constexpr size_t kItems = 14;
}  // namespace play

// Selection list: count, base, LID, PREVIOUS, NEXT, RETURN, DEFAULT,
// TIMEOUT, wait, loop, the play item, then the selection offsets (and, in
// PSD_X.VCD, 4-byte hot-spot areas: 4 for the targets, one per selection).
namespace selection {
inline constexpr size_t kCount = 2;
inline constexpr size_t kLid = 4;
inline constexpr size_t kPrevious = 6;
inline constexpr size_t kNext = 8;
inline constexpr size_t kReturn = 10;
inline constexpr size_t kDefault = 12;
inline constexpr size_t kTimeout = 14;
inline constexpr size_t kPlayItem = 18;
inline constexpr size_t kItems = 20;
inline constexpr size_t kAreaSize = 4;
}  // namespace selection

inline constexpr size_t PlayListSize(size_t items) {
  return play::kItems + 2 * items;
}
inline constexpr size_t SelectionSize(size_t items, bool extended) {
  return selection::kItems + 2 * items + (extended ? selection::kAreaSize * (4 + items) : 0);
}
}  // namespace psd

// LOT.VCD: a big-endian descriptor offset per LID, 0xFFFF where unused.
inline constexpr uint16_t kUnusedLid = 0xFFFF;

}  // namespace vcd2
