#pragma once

#include <cstdint>
#include <string>

#include "base/codec_module.h"

namespace vcd2 {

// The check mode's part of the codec module: the picture decoder of MAKE
// STILL, run without encoding. A changed entry takes a new version.
struct CheckCodecs {
  // True, with the picture's size, when MAKE STILL can decode the file.
  bool (*read_picture)(const std::string& path, uint32_t& width, uint32_t& height);
};
inline constexpr uint32_t kCheckCodecsVersion = 1;

// The table, loading the codec module on first use; null, with the reason in
// error, when it cannot be loaded.
inline const CheckCodecs* LoadCheckCodecs(std::string& error) {
  return static_cast<const CheckCodecs*>(CodecTable(CodecPart::kCheck, kCheckCodecsVersion, error));
}

// The entry behind read_picture, in the codec module.
bool ReadPictureSize(const std::string& path, uint32_t& width, uint32_t& height);

}  // namespace vcd2
