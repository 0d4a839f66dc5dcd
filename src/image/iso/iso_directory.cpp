#include "image/iso/iso_directory.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/byte_order.h"
#include "base/error_reporter.h"
#include "image/iso/directory_record.h"
#include "image/iso/volume_descriptor.h"
#include "sector/sector.h"

namespace vcd2 {
namespace {

constexpr size_t kRecordExtent = record::kExtent;
constexpr size_t kRecordSize = record::kSize;
constexpr size_t kRecordFlags = record::kFlags;
constexpr size_t kRecordIdentifierLength = record::kIdentifierLength;
constexpr size_t kRecordIdentifier = record::kIdentifier;

uint8_t* UserData(RawSector& sector) {
  return sector.data() + kUserDataOffset;
}

// A field stored in both byte orders that agrees with itself.
bool BothOrdersAgree(const uint8_t* field) {
  return LoadLittleEndian32(field) == LoadBigEndian32(field + 4);
}

bool IsSelfRecord(const uint8_t* record) {
  return record[kRecordIdentifierLength] == 1 && record[kRecordIdentifier] == 0 &&
         BothOrdersAgree(record + kRecordExtent) && BothOrdersAgree(record + kRecordSize);
}

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t i = 1; i < path.size(); ++i) {
    if (path[i] == '\\') {
      parts.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(path.substr(start));
  return parts;
}

}  // namespace

FindResult FindIsoEntry(std::FILE* image, const std::string& name, uint32_t& lba, uint32_t& length,
                        RawSector& sector, size_t& record_offset) {
  for (bool first = true; length != 0; first = false) {
    if (!ReadSectorAt(image, static_cast<int32_t>(lba), sector)) return FindResult::kFailed;
    const uint8_t* data = UserData(sector);
    if (first && !IsSelfRecord(data)) {
      ReportError("Illegal directory found.");
      return FindResult::kFailed;
    }
    for (size_t offset = 0; offset < kForm1DataSize && data[offset] != 0; offset += data[offset]) {
      const uint8_t* record = data + offset;
      if (offset + kRecordIdentifier + record[kRecordIdentifierLength] > kForm1DataSize) break;
      if (record[kRecordIdentifierLength] != name.size() ||
          std::memcmp(record + kRecordIdentifier, name.data(), name.size()) != 0) {
        continue;
      }
      record_offset = offset;
      if (record[kRecordFlags] & kIsoDirectoryFlag) {
        lba = LoadLittleEndian32(record + kRecordExtent);
        length = LoadLittleEndian32(record + kRecordSize);
        if (length % kForm1DataSize != 0) {
          ReportError("Invalid directory lengtgh.");
          return FindResult::kFailed;
        }
      }
      return FindResult::kFound;
    }
    ++lba;
    length = length >= kForm1DataSize ? length - static_cast<uint32_t>(kForm1DataSize) : 0;
  }
  return FindResult::kNotFound;
}

namespace {

// Finds the record of path; sector holds it at record_offset, lba is the
// sector's address.
Status LocateRecord(std::FILE* image, const std::string& path, uint32_t& lba, RawSector& sector,
                    size_t& offset) {
  if (!ReadSectorAt(image, static_cast<int32_t>(kPvdLba), sector)) return false;
  const uint8_t* root = UserData(sector) + kPvdRootRecordOffset;
  lba = LoadLittleEndian32(root + kRecordExtent);
  uint32_t length = LoadLittleEndian32(root + kRecordSize);
  if (length % kForm1DataSize != 0) {
    ReportError("Illegal root directory length %ld.", static_cast<long>(length));
    return false;
  }
  const std::vector<std::string> parts = SplitPath(path);
  for (size_t i = 0; i < parts.size(); ++i) {
    const bool last = i + 1 == parts.size();
    const FindResult found = FindIsoEntry(image, parts[i], lba, length, sector, offset);
    if (found == FindResult::kFailed) return false;
    if (found == FindResult::kNotFound) {
      ReportError(
          last ? "Could not locate file %s of path %s" : "Could not locate directory %s of path %s",
          parts[i].c_str(), path.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace

Status SetIsoDirectory(std::FILE* image, const std::string& path, uint32_t extent, uint32_t size,
                       const std::optional<std::string>& new_identifier) {
  RawSector sector;
  uint32_t lba = 0;
  size_t offset = 0;
  if (!LocateRecord(image, path, lba, sector, offset)) return false;
  uint8_t* record = UserData(sector) + offset;
  StoreBothEndian32(record + kRecordExtent, extent);
  if (size != 0) {
    StoreBothEndian32(record + kRecordSize, size);
  } else if (LoadLittleEndian32(record + kRecordSize) == 0) {
    ReportError("Illegal call of function SetIsoDirectory with Len=0");
    return false;
  }
  if (new_identifier) {
    std::memcpy(record + kRecordIdentifier, new_identifier->data(),
                std::min<size_t>(record[kRecordIdentifierLength], new_identifier->size()));
  }
  if (!TryWriteSectorAt(image, static_cast<int32_t>(lba), sector)) {
    ReportError("Could not rewrite directory record containing %s",
                path.substr(path.rfind('\\') + 1).c_str());
    return false;
  }
  return true;
}

Status RewriteIsoFile(std::FILE* image, const std::string& path,
                      const std::vector<uint8_t>& bytes) {
  RawSector sector;
  uint32_t lba = 0;
  size_t offset = 0;
  if (!LocateRecord(image, path, lba, sector, offset)) return false;
  const uint8_t* record = UserData(sector) + offset;
  const uint32_t extent = LoadLittleEndian32(record + kRecordExtent);
  const uint32_t size = LoadLittleEndian32(record + kRecordSize);
  if (bytes.size() > size) {
    ReportError("%s holds %u bytes, not %zu.", path.c_str(), static_cast<unsigned>(size),
                bytes.size());
    return false;
  }
  for (size_t at = 0; at < bytes.size(); at += kForm1DataSize) {
    const auto at_lba = static_cast<int32_t>(extent + at / kForm1DataSize);
    if (!ReadSectorAt(image, at_lba, sector)) return false;
    const size_t piece = std::min(kForm1DataSize, bytes.size() - at);
    std::memset(UserData(sector), 0, kForm1DataSize);
    std::memcpy(UserData(sector), bytes.data() + at, piece);
    if (!WriteSectorAt(image, at_lba, sector)) return false;
  }
  return true;
}

}  // namespace vcd2
