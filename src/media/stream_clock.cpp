#include "media/stream_clock.h"

#include <algorithm>

#include "base/error_reporter.h"
#include "media/mpeg_constants.h"

namespace vcd2 {
namespace {

constexpr double kClockHz = 90000.0;

}  // namespace

Status StreamClock::Check(uint32_t clock, uint64_t offset, uint32_t expected) {
  const int64_t pack_time = kClockTicksPerSector;
  if (int64_t{clock} + pack_time < std::max(int64_t{last_}, int64_t{first_})) {
    ReportError("The system clock of %s runs backwards at byte %llu.", path_.c_str(),
                static_cast<unsigned long long>(offset));
    return false;
  }
  const int64_t ahead = int64_t{clock} - expected;
  const uint64_t fillers = ahead > 0 ? static_cast<uint64_t>(ahead) / kClockTicksPerSector : 0;
  const uint64_t remaining = offset < file_size_ ? file_size_ - offset : 0;
  if (fillers > remaining / kVideoPackSize + kSpareSectors) {
    ReportError(
        "The system clock of %s jumps %.1f seconds ahead at byte %llu, more than the "
        "rest of the file can fill.",
        path_.c_str(), static_cast<double>(ahead) / kClockHz,
        static_cast<unsigned long long>(offset));
    return false;
  }
  last_ = clock;
  return true;
}

uint32_t StreamClock::SpanSectors() const {
  const int64_t span = (int64_t{last_} - first_) / kClockTicksPerSector + 1;
  return static_cast<uint32_t>(std::max<int64_t>(1, span));
}

}  // namespace vcd2
