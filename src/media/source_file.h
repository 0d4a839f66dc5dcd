#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "base/file_error.h"
#include "base/unique_file.h"

namespace vcd2 {

// Opens a source for binary reading; reports "Could not read file %s" when
// it cannot.
UniqueFile OpenSource(const std::string& path);

// The length of a source file. A file that cannot be measured or opened is
// reported and thrown as a file error, which ends the build.
uint64_t SourceSize(const std::string& path);

// A source that exists but cannot be opened (permissions) is reported with
// the system's reason and thrown as a file error, as a missing one is.
void RequireReadable(const std::string& path);

// Sets the progress range for an expected number of sectors, ten steps each.
void StartSectorProgress(uint64_t sectors);

}  // namespace vcd2
