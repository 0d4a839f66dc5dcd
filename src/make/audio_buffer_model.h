#pragma once

#include <cstdint>
#include <deque>

namespace vcd2 {

// The decoder's audio buffer as the multiplexer sees it: the bytes of every
// audio packet written arrive, and leave at the presentation time of the
// packet they came in. Frame by frame as well: there each frame leaves whole
// at its own time, and a pack's bytes arrive at the mux rate from its clock
// on, which the packet view misses at low and high bit rates.
class AudioBufferModel {
 public:
  static constexpr uint32_t kCapacity = 4096;
  static constexpr uint32_t kPacketRoom = 2291;  // room needed for one more audio packet

  // A packet prepared for writing: its presentation time and data bytes.
  void Add(uint32_t time, uint32_t bytes) { units_.push_back({time, bytes}); }
  // A frame read for a packet, in stream order: its presentation time and bytes.
  void AddFrame(uint32_t time, uint32_t bytes);
  // Moves the times of every waiting packet and frame.
  void Shift(uint32_t ticks);
  // Takes out the packets due by clock. When one is due before its bytes
  // are all in, draining stops there and the buffer is taken to have room.
  void Drain(uint32_t clock);
  bool HasRoom() const { return fullness_ + kPacketRoom < kCapacity; }
  void Arrive(uint32_t bytes) {
    fullness_ += bytes;
    written_ += bytes;
  }
  // True when a waiting packet is due in (clock - 1200, clock].
  bool DueInSector(uint32_t clock) const;

  // Frame by frame: true when a pack written at clock with `bytes` of audio
  // keeps the buffer within its capacity while they arrive.
  bool Fits(uint32_t clock, uint32_t bytes);
  // True when a frame not yet all written would arrive after its time if
  // its pack came a sector later than clock.
  bool FrameDueSoon(uint32_t clock) const;

 private:
  struct AccessUnitTime {
    uint32_t time;
    uint32_t bytes;
  };
  struct FrameEnd {
    uint32_t time;
    uint64_t end;  // stream position after the frame
  };

  // Stream position up to which the frames due before time have left.
  uint64_t LeftBefore(double time) const;

  uint32_t fullness_ = 0;
  std::deque<AccessUnitTime> units_;
  std::deque<FrameEnd> frames_;
  uint64_t read_ = 0;     // stream bytes of the frames added
  uint64_t written_ = 0;  // stream bytes written
  uint64_t left_ = 0;     // stream bytes of the frames forgotten, which have left
};

}  // namespace vcd2
