#pragma once

#include <string>

namespace vcd2 {

// A source picture as the decoder delivers it.
struct ClipPicture {
  int width = 0;
  int height = 0;
  int sar_num = 0;  // sample aspect; 0 when unknown (square pels)
  int sar_den = 1;
  int rotation = 0;  // clockwise degrees the picture is to be turned for display
};

// Where the picture goes in the Video CD frame: a band of width x height
// centred in 352x288 (PAL) or 352x240 (NTSC).
struct ClipPlacement {
  int width = 0;
  int height = 0;
  int frame_height = 0;
};

// Fits the picture's display aspect into a 4:3 screen, letterboxed or
// pillarboxed, never stretched or cropped; sizes are even.
ClipPlacement PlacePicture(const ClipPicture& picture, bool pal);

// The libavfilter chain from decoded frames to Video CD frames: the cut, the
// deinterlacer, the turn, the fit and the frame rate.
std::string VideoFilters(const ClipPicture& picture, bool pal, double skip, double length);

// The chain from decoded sound to 44,100 Hz stereo, silence filled in where
// the sound starts late or has gaps.
std::string AudioFilters(double skip, double length);

}  // namespace vcd2
