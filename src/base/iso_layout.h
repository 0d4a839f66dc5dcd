#pragma once

#include <cstddef>
#include <cstdint>

namespace vcd2 {

// Record layouts of the ISO 9660 volume with its CD-ROM XA extensions,
// shared by the volume writer, the directory rewrite and the verifier.
// Offsets count from the start of a record or a 2048-byte block.

inline constexpr uint32_t kPvdLba = 16;  // the primary volume descriptor
inline constexpr char kStandardId[] = "CD001";
inline constexpr uint8_t kPrimaryType = 1;
inline constexpr uint8_t kTerminatorType = 255;
inline constexpr char kXaSignature[] = "CD-XA001";
inline constexpr size_t kXaSignatureOffset = 1024;

// Field offsets of the primary volume descriptor; each text field ends where
// the next begins.
namespace pvd {
inline constexpr size_t kStandardIdOffset = 1;
inline constexpr size_t kVersion = 6;
inline constexpr size_t kSystemId = 8;
inline constexpr size_t kVolumeId = 40;
inline constexpr size_t kIdSize = 32;
inline constexpr size_t kVolumeSpaceSize = 80;
inline constexpr size_t kVolumeSetSize = 120;
inline constexpr size_t kSequenceNumber = 124;
inline constexpr size_t kBlockSize = 128;
inline constexpr size_t kPathTableSize = 132;
inline constexpr size_t kLPathTable = 140;
inline constexpr size_t kMPathTable = 148;
inline constexpr size_t kRootRecord = 156;
inline constexpr size_t kRootRecordSize = 34;
inline constexpr size_t kVolumeSetId = 190;
inline constexpr size_t kPublisherId = 318;
inline constexpr size_t kPreparerId = 446;
inline constexpr size_t kApplicationId = 574;
inline constexpr size_t kLongIdSize = 128;
inline constexpr size_t kCopyrightFile = 702;
inline constexpr size_t kAbstractFile = 739;
inline constexpr size_t kBibliographicFile = 776;
inline constexpr size_t kFileIdSize = 37;
inline constexpr size_t kCreationDate = 813;
inline constexpr size_t kDateSize = 17;
inline constexpr size_t kFileStructureVersion = 881;
static_assert(kSystemId + kIdSize == kVolumeId);
static_assert(kRootRecord + kRootRecordSize == kVolumeSetId);
static_assert(kVolumeSetId + 4 * kLongIdSize == kCopyrightFile);
static_assert(kCopyrightFile + 3 * kFileIdSize == kCreationDate);
static_assert(kCreationDate + 4 * kDateSize == kFileStructureVersion);
}  // namespace pvd

// Directory record fields; extent and size in both byte orders.
namespace record {
inline constexpr size_t kLength = 0;
inline constexpr size_t kExtent = 2;
inline constexpr size_t kSize = 10;
inline constexpr size_t kDate = 18;
inline constexpr size_t kFlags = 25;
inline constexpr size_t kSequenceNumber = 28;
inline constexpr size_t kIdentifierLength = 32;
inline constexpr size_t kIdentifier = 33;  // also the size of the fixed part
inline constexpr uint8_t kDirectoryFlag = 0x02;
}  // namespace record

// The CD-ROM XA system use field behind a record's identifier: owner and
// group id, attributes (big endian), "XA", the file number, 5 zero bytes.
namespace xa {
inline constexpr size_t kRecordSize = 14;
inline constexpr size_t kAttributes = 4;
inline constexpr size_t kSignature = 6;
inline constexpr size_t kFileNumber = 8;
// Attribute bits, and the attributes a Video CD's records carry.
inline constexpr uint16_t kForm1Bit = 0x0800;
inline constexpr uint16_t kForm2Bit = 0x1000;
inline constexpr uint16_t kCdDaBit = 0x4000;
inline constexpr uint16_t kDirectoryBit = 0x8000;
inline constexpr uint16_t kDirectory = 0x8D55;
inline constexpr uint16_t kForm1File = 0x0D55;
inline constexpr uint16_t kForm2File = 0x1555;
inline constexpr uint16_t kCdDaFile = 0x4555;
}  // namespace xa

// Path table record: identifier length, 0, extent, parent number, the
// identifier and a pad byte to an even length.
namespace path_table {
inline constexpr size_t kExtent = 2;
inline constexpr size_t kParent = 6;
inline constexpr size_t kIdentifier = 8;
}  // namespace path_table

}  // namespace vcd2
