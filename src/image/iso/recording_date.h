#pragma once

#include <optional>

#include "image/iso/volume_tree.h"

namespace vcd2 {

// The local date and time with its offset from Greenwich, for the volume's
// recording dates; SOURCE_DATE_EPOCH, when set, gives a fixed date in UTC.
RecordingDate CurrentRecordingDate();

// Pins the date, so that tests can compare whole images; nullopt restores
// the clock.
void PinRecordingDate(std::optional<RecordingDate> date);

}  // namespace vcd2
