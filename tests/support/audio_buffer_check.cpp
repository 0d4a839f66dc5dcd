#include "support/audio_buffer_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "media/audio_frame_header.h"

namespace vcd2::test {

AudioBufferRun RunAudioBuffer(const std::vector<ParsedPack>& packs) {
  constexpr double kByteTicks = 90000.0 / (3528 * 50);
  constexpr size_t kDataOffset = 26;  // pack header, packet header, stuffing, STD and PTS
  struct Arrival {
    double start;
    size_t first, bytes;  // in the audio stream
  };
  std::vector<Arrival> arrivals;
  std::vector<uint8_t> stream;
  std::optional<uint32_t> offset;
  for (const auto& pack : packs) {
    const auto& packet = pack.packets.at(0);
    if (packet.id != 0xC0) continue;
    if (!offset) offset = packet.pts;
    arrivals.push_back({pack.scr + kDataOffset * kByteTicks, stream.size(), packet.data.size()});
    stream.insert(stream.end(), packet.data.begin(), packet.data.end());
  }
  struct Frame {
    double time;
    size_t end, bytes;
  };
  std::vector<Frame> frames;
  for (size_t at = 0; at + 4 <= stream.size();) {
    const AudioFrameHeader header = ParseAudioFrameHeader(stream.data() + at);
    if (!header.IsLayerTwo()) break;
    const double duration = 1152.0 * 90000 / header.sampling_rate;
    frames.push_back({*offset + std::floor(frames.size() * duration), at + header.FrameSize(),
                      header.FrameSize()});
    at += header.FrameSize();
  }
  EXPECT_GT(frames.size(), 10u);
  const auto arrived = [&](double t) {
    double bytes = 0;
    for (const Arrival& a : arrivals) {
      bytes += std::clamp((t - a.start) / kByteTicks, 0.0, static_cast<double>(a.bytes));
    }
    return bytes;
  };
  std::vector<double> times;
  for (const Arrival& a : arrivals) times.push_back(a.start + a.bytes * kByteTicks);
  AudioBufferRun run;
  for (const Frame& frame : frames) {
    times.push_back(frame.time);
    for (const Arrival& a : arrivals) {
      if (frame.end > a.first && frame.end <= a.first + a.bytes) {
        run.lateness =
            std::max(run.lateness, a.start + (frame.end - a.first) * kByteTicks - frame.time);
      }
    }
  }
  for (double t : times) {
    double left = arrived(t);
    for (const Frame& frame : frames) left -= frame.time < t ? frame.bytes : 0;
    run.peak = std::max(run.peak, left);
  }
  return run;
}

}  // namespace vcd2::test
