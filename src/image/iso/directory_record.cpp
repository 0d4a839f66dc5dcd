#include "image/iso/directory_record.h"

#include <algorithm>
#include <cstring>

#include "base/byte_order.h"

namespace vcd2 {
namespace {

constexpr size_t kFixedPart = record::kIdentifier;

}  // namespace

size_t DirectoryRecordLength(size_t identifier_length) {
  return kFixedPart + identifier_length + (identifier_length % 2 == 0 ? 1 : 0) + kXaRecordSize;
}

void WriteXaRecord(uint8_t* out, uint16_t attributes, uint8_t file_number) {
  std::memset(out, 0, kXaRecordSize);
  StoreBigEndian16(out + xa::kAttributes, attributes);
  out[xa::kSignature] = 'X';
  out[xa::kSignature + 1] = 'A';
  out[xa::kFileNumber] = file_number;
}

size_t WriteDirectoryRecord(uint8_t* out, const DirectoryRecordFields& fields) {
  const size_t length = DirectoryRecordLength(fields.identifier.size());
  std::memset(out, 0, length);
  out[record::kLength] = static_cast<uint8_t>(length);
  StoreBothEndian32(out + record::kExtent, fields.extent);
  StoreBothEndian32(out + record::kSize, fields.size);
  std::copy(fields.date.begin(), fields.date.end(), out + record::kDate);
  out[record::kFlags] = fields.flags;
  StoreBothEndian16(out + record::kSequenceNumber, fields.volume_sequence_number);
  out[record::kIdentifierLength] = static_cast<uint8_t>(fields.identifier.size());
  std::memcpy(out + kFixedPart, fields.identifier.data(), fields.identifier.size());
  WriteXaRecord(out + length - kXaRecordSize, fields.attributes, fields.file_number);
  return length;
}

}  // namespace vcd2
