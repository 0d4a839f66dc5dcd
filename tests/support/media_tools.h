#pragma once

#include <map>
#include <string>

namespace vcd2::test {

// Runs a shell command quietly; its exit status.
int Shell(const std::string& command);
// The standard output of a shell command.
std::string Capture(const std::string& command);
// `ffprobe -show_entries stream=...` of the first stream as key=value pairs.
std::map<std::string, std::string> ProbeStream(const std::string& path);

}  // namespace vcd2::test
