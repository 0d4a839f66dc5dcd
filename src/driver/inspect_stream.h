#pragma once

#include <cstdint>
#include <string>

namespace vcd2 {

// The inspect mode: reports an MPEG file's Video CD properties and problems
// to the host's show_summary. 0 when the file is compliant, 1 otherwise.
int32_t InspectStream(const std::string& path);

}  // namespace vcd2
