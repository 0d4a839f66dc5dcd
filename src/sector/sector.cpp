#include "sector/sector.h"

#include <cerrno>
#include <cstring>

#include "base/byte_order.h"
#include "base/error_reporter.h"
#include "base/file_error.h"
#include "sector/ecc.h"
#include "sector/edc.h"

namespace vcd2 {
namespace {

constexpr uint8_t kSync[kSyncSize] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

bool Seek(std::FILE* image, int32_t lba) {
  return fseeko(image, static_cast<off_t>(ImagePosition(lba)), SEEK_SET) == 0;
}

}  // namespace

void StoreDiscTime(uint8_t* bytes, int32_t lba) {
  const auto time = static_cast<unsigned>(lba + kPregapSectors);
  bytes[0] = Bcd(time / kSectorsPerMinute);
  bytes[1] = Bcd(time / kSectorsPerSecond % 60);
  bytes[2] = Bcd(time % kSectorsPerSecond);
}

void StoreSyncAndHeader(RawSector& sector, int32_t lba) {
  std::memcpy(sector.data(), kSync, kSyncSize);
  StoreDiscTime(sector.data() + kHeaderOffset, lba);
  sector[kModeOffset] = kMode2;
}

void FinishSector(RawSector& sector, int32_t lba) {
  std::memset(sector.data() + kHeaderOffset, 0, 4);
  ComputeEdc(sector.data() + kSubheaderOffset);
  if ((SubmodeOf(sector) & submode::kForm2) == 0) ComputeEcc(sector.data() + kHeaderOffset);
  StoreSyncAndHeader(sector, lba);
}

bool TryWriteSectorAt(std::FILE* image, int32_t lba, RawSector& sector) {
  FinishSector(sector, lba);
  return Seek(image, lba) && std::fwrite(sector.data(), 1, sector.size(), image) == sector.size();
}

void ReportWriteFailure(int error, const std::string& path) {
  ReportError("Writing image file failed (%u).%s", static_cast<unsigned>(error),
              FileErrorLine(path, error).c_str());
}

void ReportWriteFailure(int error, std::FILE* file) {
  ReportError("Writing image file failed (%u).%s", static_cast<unsigned>(error),
              FileErrorLine(file, error).c_str());
}

Status WriteSectorAt(std::FILE* image, int32_t lba, RawSector& sector) {
  FinishSector(sector, lba);
  if (!Seek(image, lba)) {
    const int error = errno;
    ReportError("Could not position the image file at sector %d (%u).%s", static_cast<int>(lba),
                static_cast<unsigned>(error), FileErrorLine(image, error).c_str());
    return false;
  }
  if (std::fwrite(sector.data(), 1, sector.size(), image) != sector.size()) {
    ReportWriteFailure(errno, image);
    return false;
  }
  return true;
}

Status ReadSectorAt(std::FILE* image, int32_t lba, RawSector& sector) {
  if (!Seek(image, lba) || std::fread(sector.data(), 1, sector.size(), image) != sector.size()) {
    ReportError("Could not read sector %d of the image file.", static_cast<int>(lba));
    return false;
  }
  return true;
}

}  // namespace vcd2
