#pragma once

#include <cstdint>
#include <vector>

#include "base/vcd_file_layout.h"
#include "model/psd_list.h"

namespace vcd2 {

// Which PSD a descriptor is for: PSD.VCD, or PSD_X.VCD with the hot-spot
// areas of selections.
enum class PsdForm { kPlain, kExtended };

// The descriptor of a list, without its padding to 8 bytes. end_offset is
// the offset of the end list in the same PSD (the target of STOP).
std::vector<uint8_t> BuildDescriptor(const PsdList& list, PsdForm form, uint32_t end_offset);

// Size of a descriptor in bytes: play lists 14 + 2n, selections 20 + 2n, or
// 36 + 6n in PSD_X.VCD.
size_t DescriptorSize(const PsdList& list, PsdForm form);

// The 8-byte end list.
std::vector<uint8_t> EndListDescriptor();

// The play item number a reference names: a track number, a segment play
// item number from 1000, an entry number from 100; 0 for anything else.
uint16_t PlayItemNumber(const LabelRef& ref);

}  // namespace vcd2
