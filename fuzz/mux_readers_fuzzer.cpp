// Feeds arbitrary bytes to the still multiplexer's readers: as a video
// elementary stream cut into units, and as MPEG audio read frame by frame
// with silent frames after its end. Every input must end without a crash or
// a hang, and every frame delivered must be as long as its header says.
#include <cstddef>
#include <cstdint>
#include <map>
#include <tuple>

#include "fuzz_support.h"
#include "make/audio_frame_reader.h"
#include "make/silent_frame.h"
#include "media/video_unit_reader.h"

namespace {

constexpr size_t kMaxUnits = 64;
constexpr size_t kSmallestFrame = 96;  // 32 kbit/s at 48 kHz
constexpr size_t kSilentFrames = 8;

// The encoder is slow to start: one silent frame per kind of stream.
const std::vector<uint8_t>& SilentFrame(const vcd2::AudioFrameHeader& header) {
  static std::map<std::tuple<uint8_t, uint8_t, uint8_t>, std::vector<uint8_t>> frames;
  const auto key = std::make_tuple(header.bit_rate_index, header.sampling_index, header.mode);
  auto found = frames.find(key);
  if (found == frames.end()) found = frames.emplace(key, vcd2::EncodeSilentFrame(header)).first;
  return found->second;
}

void ReadUnits(const uint8_t* data, size_t size) {
  vcd2::VideoUnitReader reader(vcd2::fuzz::OpenBytes(data, size));
  (void)reader.ReadSequenceHeader();
  std::vector<uint8_t> units;
  for (size_t i = 0; i < kMaxUnits && reader.CopyUnit(units); ++i) {
  }
}

void ReadFrames(const uint8_t* data, size_t size) {
  vcd2::AudioFrameReader reader(vcd2::fuzz::OpenBytes(data, size));
  std::string found;
  if (!reader.Open(found)) return;
  reader.SetSilentFrame(SilentFrame(reader.Header()));
  const size_t limit = size / kSmallestFrame + 1 + kSilentFrames;
  for (size_t i = 0; i < limit; ++i) {
    const auto frame = reader.NextFrame(true);
    if (frame.size() < 4 || vcd2::ParseAudioFrameHeader(frame.data()).FrameSize() != frame.size()) {
      __builtin_trap();
    }
  }
  (void)reader.NextFrame(false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ReadUnits(data, size);
  ReadFrames(data, size);
  return 0;
}
