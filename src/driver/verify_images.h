#pragma once

#include <cstdint>
#include <string>

namespace vcd2 {

// The verify mode: reads back the disc that path (a cue sheet or a data
// track image) and the host's verify_files name, reporting each problem and
// a summary line. A VCD2Result: 0 clean, 1 faults or stopped, 4 unreadable.
int32_t VerifyImages(const std::string& path);

}  // namespace vcd2
