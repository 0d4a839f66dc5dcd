#include "image/iso/directory_record.h"

#include <algorithm>
#include <cstring>

#include "base/byte_order.h"

namespace vcd2 {
namespace {

constexpr size_t kFixedPart = 33;

}  // namespace

size_t DirectoryRecordLength(size_t identifier_length) {
  return kFixedPart + identifier_length + (identifier_length % 2 == 0 ? 1 : 0) + kXaRecordSize;
}

void WriteXaRecord(uint8_t* out, uint16_t attributes, uint8_t file_number) {
  std::memset(out, 0, kXaRecordSize);
  StoreBigEndian16(out + 4, attributes);
  out[6] = 'X';
  out[7] = 'A';
  out[8] = file_number;
}

size_t WriteDirectoryRecord(uint8_t* out, const DirectoryRecordFields& fields) {
  const size_t length = DirectoryRecordLength(fields.identifier.size());
  std::memset(out, 0, length);
  out[0] = static_cast<uint8_t>(length);
  StoreBothEndian32(out + 2, fields.extent);
  StoreBothEndian32(out + 10, fields.size);
  std::copy(fields.date.begin(), fields.date.end(), out + 18);
  out[25] = fields.flags;
  StoreBothEndian16(out + 28, fields.volume_sequence_number);
  out[32] = static_cast<uint8_t>(fields.identifier.size());
  std::memcpy(out + kFixedPart, fields.identifier.data(), fields.identifier.size());
  WriteXaRecord(out + length - kXaRecordSize, fields.attributes, fields.file_number);
  return length;
}

}  // namespace vcd2
