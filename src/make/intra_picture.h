#pragma once

#include <cstdint>
#include <vector>

#include "media/av_handles.h"

namespace vcd2 {

inline constexpr int kBestQuantiser = 2;  // 1 overflows the coefficient range of MPEG-1
inline constexpr int kCoarsestQuantiser = 31;

// The frame as an MPEG-1 video stream of one intra picture: sequence
// header, group of pictures and the picture, coded at the given quantiser
// scale, 25 (PAL) or 29.97 pictures per second, shown at 4:3. Empty when the
// encoder fails.
std::vector<uint8_t> EncodeIntraPicture(const AVFrame& frame, int quantiser, bool pal);

// Writes vbv_buffer_size, in units of 2048 bytes, into the sequence header
// at the start of an MPEG-1 video stream.
bool SetVbvBufferSize(std::vector<uint8_t>& stream, uint32_t units);

}  // namespace vcd2
