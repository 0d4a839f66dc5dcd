#include "make/audio_buffer_model.h"

#include <algorithm>

#include "media/mpeg_constants.h"

namespace vcd2 {
namespace {

// A pack's bytes arrive at the mux rate, 3528 units of 50 bytes a second;
// the audio data follows 26 bytes of pack and packet header, stuffing, STD
// and PTS.
constexpr double kByteTicks = 90000.0 / (3528 * 50);
constexpr double kDataStart = 26 * kByteTicks;
constexpr double kFullPacketTicks = kDataStart + 2278 * kByteTicks;

}  // namespace

void AudioBufferModel::AddFrame(uint32_t time, uint32_t bytes) {
  read_ += bytes;
  frames_.push_back({time, read_});
}

void AudioBufferModel::Shift(uint32_t ticks) {
  for (AccessUnitTime& unit : units_) unit.time += ticks;
  for (FrameEnd& frame : frames_) frame.time += ticks;
}

void AudioBufferModel::Drain(uint32_t clock) {
  while (!units_.empty() && units_.front().time <= clock) {
    if (fullness_ < units_.front().bytes) {
      if (!HasRoom()) fullness_ = kCapacity - kPacketRoom - 1;
      return;
    }
    fullness_ -= units_.front().bytes;
    units_.pop_front();
  }
}

bool AudioBufferModel::DueInSector(uint32_t clock) const {
  for (const AccessUnitTime& unit : units_) {
    if (unit.time <= clock && clock - unit.time < kClockTicksPerSector) return true;
  }
  return false;
}

uint64_t AudioBufferModel::LeftBefore(double time) const {
  uint64_t left = left_;
  for (const FrameEnd& frame : frames_) {
    if (frame.time >= time) break;
    left = frame.end;
  }
  return left;
}

// The fullness only grows while the bytes arrive, so it is highest when
// they are all in or just before a frame leaves.
bool AudioBufferModel::Fits(uint32_t clock, uint32_t bytes) {
  while (!frames_.empty() && frames_.front().time < clock && frames_.front().end <= written_) {
    left_ = frames_.front().end;
    frames_.pop_front();
  }
  const double start = clock + kDataStart;
  const double end = start + bytes * kByteTicks;
  const auto fullness = [&](double time) {
    const double arrived = written_ + std::clamp((time - start) / kByteTicks, 0.0, double(bytes));
    return arrived - static_cast<double>(std::min<uint64_t>(LeftBefore(time), written_ + bytes));
  };
  if (fullness(end) > kCapacity) return false;
  for (const FrameEnd& frame : frames_) {
    if (frame.time > start && frame.time <= end && fullness(frame.time) > kCapacity) return false;
  }
  return true;
}

bool AudioBufferModel::FrameDueSoon(uint32_t clock) const {
  for (const FrameEnd& frame : frames_) {
    if (frame.end > written_) return frame.time < clock + kClockTicksPerSector + kFullPacketTicks;
  }
  return false;
}

}  // namespace vcd2
