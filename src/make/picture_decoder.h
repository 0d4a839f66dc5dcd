#pragma once

#include <string>

#include "media/av_handles.h"

namespace vcd2 {

// The picture of a BMP, PNG or JPEG file, recognised by its contents; none
// when the file is no such picture or cannot be decoded.
AvFrame DecodePicture(const std::string& path);

}  // namespace vcd2
