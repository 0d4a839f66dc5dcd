#pragma once

#include <cstdint>
#include <string>

namespace vcd2 {

// Runs one whole build of the script: opens it, runs the five phases in
// order and cleans up. Returns the build's result code (0, 1, 3 or 4).
int32_t BuildThread(const std::string& script_path);

}  // namespace vcd2
