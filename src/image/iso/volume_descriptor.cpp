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
    out[16] = 0;
    return;
  }
  char text[40];
  std::snprintf(text, sizeof text, "%04u%02u%02u%02u%02u%02u00", 1900u + (*date)[0],
                unsigned{(*date)[1]}, unsigned{(*date)[2]}, unsigned{(*date)[3]},
                unsigned{(*date)[4]}, unsigned{(*date)[5]});
  std::memcpy(out, text, 16);
  out[16] = (*date)[6];
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
  PutText(out + 8, 32, f.system_id);
  PutText(out + 40, 32, f.volume_id);
  StoreBothEndian32(out + kPvdVolumeSpaceSizeOffset, f.volume_space_size);
  StoreBothEndian16(out + 120, f.volume_set_size);
  StoreBothEndian16(out + 124, f.volume_sequence_number);
  StoreBothEndian16(out + 128, static_cast<uint16_t>(kForm1DataSize));
  StoreBothEndian32(out + 132, f.path_table_size);
  StoreLittleEndian32(out + 140, f.l_path_table_lba);
  StoreBigEndian32(out + 148, f.m_path_table_lba);
  uint8_t* root = out + kPvdRootRecordOffset;
  root[0] = kRootRecordSize;
  StoreBothEndian32(root + 2, f.root_extent);
  StoreBothEndian32(root + 10, f.root_size);
  std::copy(f.date.begin(), f.date.end(), root + 18);
  root[25] = 0x02;  // directory
  StoreBothEndian16(root + 28, 1);
  root[32] = 1;  // identifier: the single byte 0
  PutText(out + 190, 128, f.volume_set_id);
  PutText(out + 318, 128, "");
  PutText(out + 446, 128, "");
  PutText(out + 574, 128, f.application_id);
  PutText(out + 702, 37, f.copyright_id);
  PutText(out + 739, 37, f.abstract_id);
  PutText(out + 776, 37, f.bibliographic_id);
  PutDate(out + 813, &f.date);
  PutDate(out + 830, &f.date);
  PutDate(out + 847, nullptr);
  PutDate(out + 864, nullptr);
  out[881] = 1;  // file structure version
  std::memcpy(out + kXaSignatureOffset, kXaSignature, 8);
}

void BuildSetTerminator(uint8_t* out) {
  std::memset(out, 0, kForm1DataSize);
  PutHeader(out, kTerminatorType);
}

}  // namespace vcd2
