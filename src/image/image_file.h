#pragma once

#include <string>

#include "base/unique_file.h"

namespace vcd2 {

// Opens an existing image for reading and writing; reports "Could not open
// image file." when it cannot.
UniqueFile OpenImageForUpdate(const std::string& path);

}  // namespace vcd2
