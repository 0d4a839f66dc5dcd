#include "image/iso/volume_descriptor.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/byte_order.h"

namespace vcd2 {
namespace {

using pvd::kDateSize;
using pvd::kRootRecordSize;

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
  std::memcpy(out + pvd::kStandardIdOffset, kStandardId, 5);
  out[pvd::kVersion] = 1;
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
  root[record::kFlags] = record::kDirectoryFlag;
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
