#pragma once

#include <atomic>
#include <cstdint>
#include <string>

struct AVFrame;

namespace vcd2 {

// Still modes: bit 0 PAL, bit 1 high resolution, bit 7 the low-resolution
// companion of a high-resolution still.
inline constexpr uint32_t kStillPal = 0x01;
inline constexpr uint32_t kStillHighResolution = 0x02;
inline constexpr uint32_t kStillCompanion = 0x80;

// In the codec module; MAKE calls it through LoadMakeCodecs.
// Encodes the picture (BMP, PNG or JPEG, as AcceptPicture takes it) as an
// MPEG-1 still for the mode: 352x288 or 352x240 pixels at low resolution,
// 704x576 or 704x480 at high, one intra picture ended by a sequence end
// code, at the best quality that fits the video buffer of the mode. Returns
// 0 on success; on failure or when abort is set the target is left as it was.
int32_t EncodeStill(const std::string& source, const std::string& target, uint32_t mode,
                    const std::atomic<bool>& abort);

// The same for a picture in memory, in any pixel format libswscale reads;
// a 352x288, 352x240, 704x576, 704x480, 720x576 or 720x480 picture fills the
// 4:3 screen, others keep their shape (from sample_aspect_ratio, else square
// pixels) between black bars.
int32_t EncodeStillPicture(const AVFrame& picture, const std::string& target, uint32_t mode,
                           const std::atomic<bool>& abort);

}  // namespace vcd2
