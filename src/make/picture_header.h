#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vcd2 {

// Larger pictures are refused before decoding: a 16-bit RGBA or progressive
// JPEG picture of this size peaks at about 200 MB while it is encoded.
inline constexpr uint64_t kMaxPicturePixels = uint64_t{4096} * 4096;

// What a picture file's header tells.
struct PictureHeader {
  const char* format;  // "BMP", "PNG" or "JPEG"
  uint32_t width;
  uint32_t height;
};

// Reads the header of a BMP, PNG or JPEG file and decides whether MAKE STILL
// takes it: a known format, a size, at most kMaxPicturePixels. None, with
// why (a sentence without the file's name), when it does not. The still
// encoder decodes nothing that this refuses.
std::optional<PictureHeader> AcceptPicture(const std::string& path, std::string& why);

}  // namespace vcd2
