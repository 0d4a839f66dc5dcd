#include "script/still_length.h"

#include "base/error_reporter.h"
#include "model/items.h"

namespace vcd2 {

Status CheckStillLength(int32_t length) {
  if (length >= 0 && length <= kMaxStillLength) return true;
  ReportError(
      "LENGTH %ld is out of range: a still is shown for 0 to %ld fifteenths of a second "
      "(12 hours).",
      static_cast<long>(length), static_cast<long>(kMaxStillLength));
  return false;
}

// Every STILL stream is one group of the stream, shown for its LENGTH.
Status CheckShownTotal(const MakeRule& rule, int32_t length) {
  int64_t total = length;
  uint32_t counted = 0;
  for (const auto& source : rule.GetSources()) {
    const auto* item = dynamic_cast<const MakeSourceItem*>(source.get());
    if (item == nullptr || item->GetFileType() != FileType::kMpegStill) continue;
    if (item->stream_number == counted) continue;
    counted = item->stream_number;
    total += item->length;
  }
  if (total <= kMaxStillLength) return true;
  ReportError(
      "The stills of this MAKE MUX are shown for %lld fifteenths of a second in all; at "
      "most %ld (12 hours) fit its clock.",
      static_cast<long long>(total), static_cast<long>(kMaxStillLength));
  return false;
}

}  // namespace vcd2
