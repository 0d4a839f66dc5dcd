#include "image/iso/volume_descriptor.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/byte_order.h"

namespace vcd2 {
namespace {

constexpr uint8_t kPrimaryType = 1;
constexpr uint8_t kTerminatorType = 255;
constexpr char kStandardId[] = "CD001";
constexpr char kXaSignature[] = "CD-XA001";
constexpr size_t kXaSignatureOffset = 1024;
constexpr size_t kRootRecordSize = 34;
constexpr size_t kDateSize = 17;

// Field offsets of the primary volume descriptor; each text field ends where
// the next begins.
namespace pvd {
constexpr size_t kSystemId = 8;
constexpr size_t kVolumeId = 40;
constexpr size_t kIdSize = 32;
constexpr size_t kVolumeSetSize = 120;
constexpr size_t kSequenceNumber = 124;
constexpr size_t kBlockSize = 128;
constexpr size_t kPathTableSize = 132;
constexpr size_t kLPathTable = 140;
constexpr size_t kMPathTable = 148;
constexpr size_t kVolumeSetId = 190;
constexpr size_t kPublisherId = 318;
constexpr size_t kPreparerId = 446;
constexpr size_t kApplicationId = 574;
constexpr size_t kLongIdSize = 128;
constexpr size_t kCopyrightFile = 702;
constexpr size_t kAbstractFile = 739;
constexpr size_t kBibliographicFile = 776;
constexpr size_t kFileIdSize = 37;
constexpr size_t kCreationDate = 813;
constexpr size_t kFileStructureVersion = 881;
static_assert(kSystemId + kIdSize == kVolumeId);
static_assert(kPvdVolumeSpaceSizeOffset == 80 && kPvdRootRecordOffset == 156);
static_assert(kPvdRootRecordOffset + kRootRecordSize == kVolumeSetId);
static_assert(kVolumeSetId + 4 * kLongIdSize == kCopyrightFile);
static_assert(kCopyrightFile + 3 * kFileIdSize == kCreationDate);
static_assert(kCreationDate + 4 * kDateSize == kFileStructureVersion);
}  // namespace pvd

// Directory record fields of the root record.
namespace record {
constexpr size_t kExtent = 2;
constexpr size_t kSize = 10;
constexpr size_t kDate = 18;
constexpr size_t kFlags = 25;
constexpr size_t kSequenceNumber = 28;
constexpr size_t kIdentifierLength = 32;
}  // namespace record

// A text field padded with blanks, cut to its width.
void PutText(uint8_t* out, size_t width, const std::string& text) {
  std::memset(out, ' ', width);
  std::memcpy(out, text.data(), std::min(width, text.size()));
}

// "YYYYMMDDHHMMSScc" and the offset from Greenwich; all zero digits when the
// date is unset.
void PutDate(uint8_t* out, const RecordingDate* date) {
  if (date == nullptr) {
    std::memset(out, '0', 16);
    out[kDateSize - 1] = 0;
    return;
  }
  char text[40];
  std::snprintf(text, sizeof text, "%04u%02u%02u%02u%02u%02u00", 1900u + (*date)[0],
                unsigned{(*date)[1]}, unsigned{(*date)[2]}, unsigned{(*date)[3]},
                unsigned{(*date)[4]}, unsigned{(*date)[5]});
  std::memcpy(out, text, 16);
  out[kDateSize - 1] = (*date)[6];
}

void PutHeader(uint8_t* out, uint8_t type) {
  out[0] = type;
  std::memcpy(out + 1, kStandardId, 5);
  out[6] = 1;
}

}  // namespace

void BuildPrimaryVolumeDescriptor(uint8_t* out, const PrimaryVolumeFields& f) {
  std::memset(out, 0, kForm1DataSize);
  PutHeader(out, kPrimaryType);
  PutText(out + pvd::kSystemId, pvd::kIdSize, f.system_id);
  PutText(out + pvd::kVolumeId, pvd::kIdSize, f.volume_id);
  StoreBothEndian32(out + kPvdVolumeSpaceSizeOffset, f.volume_space_size);
  StoreBothEndian16(out + pvd::kVolumeSetSize, f.volume_set_size);
  StoreBothEndian16(out + pvd::kSequenceNumber, f.volume_sequence_number);
  StoreBothEndian16(out + pvd::kBlockSize, static_cast<uint16_t>(kForm1DataSize));
  StoreBothEndian32(out + pvd::kPathTableSize, f.path_table_size);
  StoreLittleEndian32(out + pvd::kLPathTable, f.l_path_table_lba);
  StoreBigEndian32(out + pvd::kMPathTable, f.m_path_table_lba);
  uint8_t* root = out + kPvdRootRecordOffset;
  root[0] = kRootRecordSize;
  StoreBothEndian32(root + record::kExtent, f.root_extent);
  StoreBothEndian32(root + record::kSize, f.root_size);
  std::copy(f.date.begin(), f.date.end(), root + record::kDate);
  root[record::kFlags] = 0x02;  // directory
  StoreBothEndian16(root + record::kSequenceNumber, f.volume_sequence_number);
  root[record::kIdentifierLength] = 1;  // identifier: the single byte 0
  PutText(out + pvd::kVolumeSetId, pvd::kLongIdSize, f.volume_set_id);
  PutText(out + pvd::kPublisherId, pvd::kLongIdSize, "");
  PutText(out + pvd::kPreparerId, pvd::kLongIdSize, "");
  PutText(out + pvd::kApplicationId, pvd::kLongIdSize, f.application_id);
  PutText(out + pvd::kCopyrightFile, pvd::kFileIdSize, f.copyright_id);
  PutText(out + pvd::kAbstractFile, pvd::kFileIdSize, f.abstract_id);
  PutText(out + pvd::kBibliographicFile, pvd::kFileIdSize, f.bibliographic_id);
  // Creation and modification dates, then no expiration or effective date.
  PutDate(out + pvd::kCreationDate, &f.date);
  PutDate(out + pvd::kCreationDate + kDateSize, &f.date);
  PutDate(out + pvd::kCreationDate + 2 * kDateSize, nullptr);
  PutDate(out + pvd::kCreationDate + 3 * kDateSize, nullptr);
  out[pvd::kFileStructureVersion] = 1;
  std::memcpy(out + kXaSignatureOffset, kXaSignature, 8);
}

void BuildSetTerminator(uint8_t* out) {
  std::memset(out, 0, kForm1DataSize);
  PutHeader(out, kTerminatorType);
}

}  // namespace vcd2
