#pragma once

#include <cstdint>
#include <string>

#include "base/codec_module.h"
#include "media/stream_facts.h"

namespace vcd2 {

// The media layer's part of the codec module: the libavformat probe that
// completes a stream's facts. A changed entry takes a new version.
struct MediaCodecs {
  bool (*probe_streams)(const std::string& path, StreamFacts& facts);
};
inline constexpr uint32_t kMediaCodecsVersion = 2;

// The table, loading the codec module on first use; null, with the reason in
// error, when it cannot be loaded.
inline const MediaCodecs* LoadMediaCodecs(std::string& error) {
  return static_cast<const MediaCodecs*>(CodecTable(CodecPart::kMedia, kMediaCodecsVersion, error));
}

}  // namespace vcd2
