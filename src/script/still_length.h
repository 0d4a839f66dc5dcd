#pragma once

#include <cstdint>

#include "base/status.h"
#include "model/make_rule.h"

namespace vcd2 {

// LENGTH counts fifteenths of a second; the multiplexer turns it into 90 kHz
// clock ticks (6000 a unit) on a 32-bit clock. A still is shown for at most
// 12 hours, and all stills of one MUX rule together too, which keeps the
// clock below 2^32.
inline constexpr int32_t kMaxStillLength = 12 * 60 * 60 * 15;

// Refuses a LENGTH that is negative or longer than kMaxStillLength.
Status CheckStillLength(int32_t length);
// Refuses a STILL stream whose length, added to the STILL streams the rule
// already holds, passes kMaxStillLength.
Status CheckShownTotal(const MakeRule& rule, int32_t length);

}  // namespace vcd2
