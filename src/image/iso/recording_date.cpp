#include "image/iso/recording_date.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace vcd2 {
namespace {

constexpr long kSecondsPerOffsetUnit = 15 * 60;
constexpr int kLastYear = 1900 + 255;  // the directory record's year is one byte
std::optional<RecordingDate> pinned;

RecordingDate FromTm(const std::tm& time, long gmt_offset) {
  return {static_cast<uint8_t>(time.tm_year),
          static_cast<uint8_t>(time.tm_mon + 1),
          static_cast<uint8_t>(time.tm_mday),
          static_cast<uint8_t>(time.tm_hour),
          static_cast<uint8_t>(time.tm_min),
          static_cast<uint8_t>(time.tm_sec),
          static_cast<uint8_t>(static_cast<int8_t>(gmt_offset / kSecondsPerOffsetUnit))};
}

// SOURCE_DATE_EPOCH, the reproducible-builds convention: seconds since 1970
// in UTC. A value that is no such number, or lies outside what a directory
// record can hold, is not used.
std::optional<RecordingDate> SourceDateEpoch() {
  const char* text = std::getenv("SOURCE_DATE_EPOCH");
  if (text == nullptr || *text < '0' || *text > '9') return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const long long seconds = std::strtoll(text, &end, 10);
  if (errno != 0 || *end != '\0') return std::nullopt;
  const auto epoch = static_cast<std::time_t>(seconds);
  std::tm utc{};
  if (gmtime_r(&epoch, &utc) == nullptr || utc.tm_year + 1900 > kLastYear) return std::nullopt;
  return FromTm(utc, 0);
}

}  // namespace

RecordingDate CurrentRecordingDate() {
  if (pinned) return *pinned;
  if (const std::optional<RecordingDate> fixed = SourceDateEpoch()) return *fixed;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return FromTm(local, local.tm_gmtoff);
}

void PinRecordingDate(std::optional<RecordingDate> date) {
  pinned = date;
}

}  // namespace vcd2
