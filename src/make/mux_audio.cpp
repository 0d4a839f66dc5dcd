// Audio packets: assembled from whole frames, timed by their first frame,
// and written when the decoder's audio buffer has room for them.
#include <algorithm>
#include <cstring>

#include "make/mux_job.h"
#include "media/mpeg_constants.h"

namespace vcd2 {
uint32_t MuxJob::AudioTime(uint32_t frame) const {
  return audio_offset_ + static_cast<uint32_t>(static_cast<uint64_t>(frame * frame_duration_));
}

// Whole frames (at most 1729 bytes each) until a packet's worth is there or
// the audio is over; the packet's time is that of the first frame that
// begins in it.
void MuxJob::PrepareAudioPacket() {
  const uint32_t first_frame = frame_counter_;
  while (!audio_ended_ && assembly_count_ < kAudioPacketData) {
    const std::span<const uint8_t> frame = audio_->NextFrame(silence_);
    if (frame.empty()) {
      audio_ended_ = true;
      break;
    }
    model_.AddFrame(AudioTime(frame_counter_), static_cast<uint32_t>(frame.size()));
    std::memcpy(assembly_.data() + assembly_count_, frame.data(), frame.size());
    assembly_count_ += frame.size();
    ++frame_counter_;
  }
  const size_t count = std::min(assembly_count_, kAudioPacketData);
  if (count == 0) return;
  queue_.push_back({{assembly_.begin(), assembly_.begin() + count}, first_frame});
  model_.Add(AudioTime(first_frame), static_cast<uint32_t>(count));
  std::memmove(assembly_.data(), assembly_.data() + count, assembly_count_ - count);
  assembly_count_ -= count;
}

// Packets due by now leave the buffer; when the rest has room for one more,
// a packet is prepared and the oldest waiting one written. Frame by frame,
// a pack that would overflow the buffer waits, and one without which a frame
// would come late goes even when the packets seem to leave no room.
MuxJob::AudioStep MuxJob::RunAudioStep() {
  model_.Drain(clock_);
  if (!model_.HasRoom() && !model_.FrameDueSoon(clock_)) return AudioStep::kNoRoom;
  // The packet to be written is the oldest waiting one, prepared here when
  // none waits.
  const bool prepared = queue_.empty();
  if (prepared) PrepareAudioPacket();
  const size_t next = queue_.empty() ? 0 : queue_.front().bytes.size();
  if (!model_.Fits(clock_, static_cast<uint32_t>(next))) return AudioStep::kNoRoom;
  if (!prepared) PrepareAudioPacket();
  return WriteAudioPack();
}

// A packet shorter than full is the audio's last: its pack is padded and
// ends in the end code.
MuxJob::AudioStep MuxJob::WriteAudioPack() {
  if (queue_.empty()) {
    clock_ += kClockTicksPerSector;
    return AudioStep::kNothingQueued;
  }
  const AudioPacketData& packet = queue_.front();
  const PacketFields fields{
      start_code::kAudio, {{false, kAudioBuffer128}}, AudioTime(packet.first_frame), {}};
  const bool full = packet.bytes.size() == kAudioPacketData;
  std::array<uint8_t, kAudioPackSize> pack;
  if (full) {
    (void)StoreFullPack(pack, clock_, fields, packet.bytes);
  } else {
    (void)StoreLastPack(pack, clock_, fields, packet.bytes, true);
  }
  model_.Arrive(static_cast<uint32_t>(packet.bytes.size()));
  queue_.pop_front();
  audio_started_ = true;
  WritePack(pack);
  return full ? AudioStep::kFullPack : AudioStep::kLastPack;
}

}  // namespace vcd2
