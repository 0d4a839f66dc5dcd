#pragma once

#include <string>

namespace vcd2 {

// True when the file exists and is not empty: MAKE takes an empty file for
// one that is missing.
bool FileIsPresent(const std::string& path);

// What an existing path is when it is no regular file: "a folder", "a FIFO",
// "a device" or "a socket"; null for a regular file or a missing path.
const char* NonFileKind(const std::string& path);

// Compares the modification times of two files at the file system's full
// precision: -1 when a is older than b, 1 when newer, 0 when equal or when
// either cannot be found.
int CompareFileTimes(const std::string& a, const std::string& b);

}  // namespace vcd2
