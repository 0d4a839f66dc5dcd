#include "sector/sequential_writer.h"

#include <cerrno>

#include "base/error_reporter.h"
#include "base/file_error.h"

namespace vcd2 {

Status SequentialWriter::Write(int32_t lba, RawSector& sector) {
  FinishSector(sector, lba);
  buffer_.insert(buffer_.end(), sector.begin(), sector.end());
  return buffer_.size() < kBlockSectors * kRawSectorSize || Flush();
}

Status SequentialWriter::Flush() {
  if (!buffer_.empty() &&
      std::fwrite(buffer_.data(), 1, buffer_.size(), image_) != buffer_.size()) {
    ReportWriteFailure(errno, image_);
    buffer_.clear();
    return false;
  }
  buffer_.clear();
  return true;
}

}  // namespace vcd2
