#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/status.h"
#include "make/audio_coder.h"
#include "make/resampler.h"
#include "media/audio_frame_header.h"

namespace vcd2 {

// MAKE's encoders in the codec module. A new or changed entry takes a new
// kMakeCodecsVersion, so that a module of another build is refused.
struct MakeCodecs {
  Status (*encode_audio)(const AudioCoderParams& params, const SampleCallback& samples,
                         const std::atomic<bool>& abort);
  std::vector<uint8_t> (*encode_silence)(const AudioFrameHeader& header, size_t size);
  int32_t (*encode_still)(const std::string& source, const std::string& target, uint32_t mode,
                          const std::atomic<bool>& abort);
  std::unique_ptr<Resampler> (*open_resampler)(uint32_t in_rate, uint32_t out_rate, int channels);
  void (*route_library_log)(void (*warn)(const char* line));
};
inline constexpr uint32_t kMakeCodecsVersion = 3;

// The encoders, loading the codec module on first use; null, after reporting
// why, when it cannot be loaded.
const MakeCodecs* LoadMakeCodecs();

}  // namespace vcd2
