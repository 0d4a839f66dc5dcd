#pragma once

#include "media/av_handles.h"

namespace vcd2 {

// The picture scaled into a width x height YUV 4:2:0 frame that is shown
// on a 4:3 screen, keeping the picture's proportions (pixels taken as
// square unless it says otherwise); the bars left over are black.
AvFrame FitToFrame(const AVFrame& picture, int width, int height);

}  // namespace vcd2
