#pragma once

#include <string>
#include <vector>

namespace vcd2::bench {

// What a program run by a benchmark took.
struct ChildRun {
  double seconds = 0;  // wall clock
  long peak_kib = 0;
  double cpu_user = 0;  // seconds
  double cpu_system = 0;
  int status = -1;  // as wait gives it; -1 when it could not start
};

// Runs args[0] (looked up in PATH) with its standard output discarded, and
// its standard error too unless show_errors.
ChildRun Spawn(const std::vector<std::string>& args, bool show_errors);

}  // namespace vcd2::bench
