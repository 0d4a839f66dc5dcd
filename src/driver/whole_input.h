#pragma once

#include <cstdint>
#include <string>

#include "base/unique_file.h"

namespace vcd2 {

// How long a FIFO, pipe or device may keep its first byte back.
inline constexpr int kFirstByteWaitSeconds = 10;

// Opens a file the build reads from start to end. A regular file is opened
// as it is. Anything else that can be read (a FIFO, a pipe, a socket, a
// device) is opened without waiting for a writer and read as it comes: a read
// ends as at the end of the file when the build is asked to stop, or, before
// the first byte, after kFirstByteWaitSeconds with a message. A folder is
// refused as not `what` ("a script"). Null on failure; a path that cannot be
// opened is reported only when report_unopened is set.
UniqueFile OpenInputStream(const std::string& path, const char* what, bool report_unopened);

// As OpenInputStream, but a file that is not regular, whose bytes come only
// once, is read whole (at most `limit` bytes and one more) into an unnamed
// temporary file, which is returned at its start, so that it can be read
// again by PathOfOpenFile.
UniqueFile OpenWholeInput(const std::string& path, const char* what, uint64_t limit);

// A path by which the open file is read again from its start.
std::string PathOfOpenFile(std::FILE* file);

}  // namespace vcd2
