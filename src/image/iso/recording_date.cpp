#include "image/iso/recording_date.h"

#include <ctime>

namespace vcd2 {
namespace {

constexpr long kSecondsPerOffsetUnit = 15 * 60;
std::optional<RecordingDate> pinned;

}  // namespace

RecordingDate CurrentRecordingDate() {
  if (pinned) return *pinned;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {static_cast<uint8_t>(local.tm_year),
          static_cast<uint8_t>(local.tm_mon + 1),
          static_cast<uint8_t>(local.tm_mday),
          static_cast<uint8_t>(local.tm_hour),
          static_cast<uint8_t>(local.tm_min),
          static_cast<uint8_t>(local.tm_sec),
          static_cast<uint8_t>(static_cast<int8_t>(local.tm_gmtoff / kSecondsPerOffsetUnit))};
}

void PinRecordingDate(std::optional<RecordingDate> date) {
  pinned = date;
}

}  // namespace vcd2
