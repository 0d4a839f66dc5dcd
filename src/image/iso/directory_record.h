#pragma once

#include <cstdint>
#include <string_view>

#include "base/iso_layout.h"
#include "image/iso/volume_tree.h"

namespace vcd2 {

inline constexpr uint8_t kIsoDirectoryFlag = record::kDirectoryFlag;
inline constexpr size_t kXaRecordSize = xa::kRecordSize;

// One ISO 9660 directory record with its CD-ROM XA system use field.
struct DirectoryRecordFields {
  std::string_view identifier;  // "\0" for ".", "\1" for ".."
  uint32_t extent = 0;
  uint32_t size = 0;
  uint8_t flags = 0;
  RecordingDate date{};
  uint16_t attributes = 0;
  uint8_t file_number = 0;
  uint16_t volume_sequence_number = 1;
};

// Length of the record: 33 bytes, the identifier, a pad byte after an even
// identifier length, and the XA field.
size_t DirectoryRecordLength(size_t identifier_length);

// Writes the record at out; returns its length.
size_t WriteDirectoryRecord(uint8_t* out, const DirectoryRecordFields& fields);

// The 14-byte XA system use field.
void WriteXaRecord(uint8_t* out, uint16_t attributes, uint8_t file_number);

}  // namespace vcd2
