#include "make/check_codecs.h"
#include "make/picture_decoder.h"

namespace vcd2 {

bool ReadPictureSize(const std::string& path, uint32_t& width, uint32_t& height) {
  const AvFrame picture = DecodePicture(path);
  if (!picture) return false;
  width = static_cast<uint32_t>(picture->width);
  height = static_cast<uint32_t>(picture->height);
  return true;
}

}  // namespace vcd2
