#pragma once

#include <cstdint>
#include <string>

#include "media/av_handles.h"

namespace vcd2 {

// In the codec module: the first picture of an MPEG-1 program stream at or
// after timecode (hours, minutes, seconds, pictures from the top byte down;
// 0 for the start); none when the file is no such stream or has no picture
// there.
AvFrame DecodeStreamPicture(const std::string& path, uint32_t timecode);

}  // namespace vcd2
