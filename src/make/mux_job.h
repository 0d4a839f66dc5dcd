#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/status.h"
#include "make/audio_buffer_model.h"
#include "make/audio_frame_reader.h"
#include "make/mux_output.h"
#include "make/mux_packs.h"
#include "make/still_pair.h"
#include "model/file_ref.h"

namespace vcd2 {

// MAKE MUX: a Video CD still-picture system stream from groups of still
// pictures, each shown for its LENGTH, optionally with one MPEG audio stream
// underneath. Packs are 1200 clock ticks apart; every group begins with its
// own system header.
class MuxJob {
 public:
  // The sources are a MUX rule's MakeSourceItems. A rule that mixes VIDEO and
  // STILL sources, or has a source of another kind, is reported here.
  MuxJob(const std::string& target_path, const std::vector<std::unique_ptr<FileRef>>& sources);
  MuxJob(const MuxJob&) = delete;
  MuxJob& operator=(const MuxJob&) = delete;
  virtual ~MuxJob() = default;

  Status RunMux();

 private:
  struct Source {
    std::string path;
    FileType type;
    uint32_t stream_number;
    uint32_t length;  // display time in units of 6000 clock ticks
  };
  // The bytes of one audio packet and the number of its first frame.
  struct AudioPacketData {
    std::vector<uint8_t> bytes;
    uint32_t first_frame;
  };
  // A picture on its way into packs.
  struct PictureSend {
    const std::vector<uint8_t>& bytes;
    PacketFields fields;  // of its first packet
    size_t sent = 0;
    bool first = true;

    size_t Remaining() const { return bytes.size() - sent; }
    // Only the first packet carries the buffer size and time stamps.
    PacketFields Fields() const {
      return first ? fields : PacketFields{fields.stream_id, {}, {}, {}};
    }
  };
  enum class AudioStep { kNoRoom, kNothingQueued, kLastPack, kFullPack };

  // mux_job.cpp: the groups.
  Status MuxGroups();
  bool TakesPart(const Source& source) const;
  std::optional<uint32_t> NextGroup(uint32_t after) const;
  Status OpenAudio();
  void WritePack(std::span<const uint8_t> pack);

  // mux_still_group.cpp: one group.
  Status MuxStillGroup(bool is_last, const Source& a, const Source* b);
  void SetPictureTimes(const StillPair& pair, uint32_t start);
  void DelayPictureTimes(uint32_t ticks);
  void SendFullPacks(PictureSend& picture);
  void SendLastPack(PictureSend& picture, bool end_code);
  Status ShowStill(bool is_last, uint32_t start, uint32_t length);

  // mux_audio.cpp: audio packets and the buffer model.
  void PrepareAudioPacket();
  AudioStep RunAudioStep();
  AudioStep WriteAudioPack();
  uint32_t AudioTime(uint32_t frame) const;

  std::vector<Source> sources_;
  int audio_count_ = 0;
  int video_count_ = 0;
  int still_count_ = 0;
  MuxOutput output_;
  uint32_t clock_ = 0;  // system clock reference of the next pack

  // Picture times of the current group.
  uint32_t low_pts_ = 0;
  uint32_t low_dts_ = 0;
  uint32_t high_pts_ = 0;
  uint32_t high_dts_ = 0;

  // Audio.
  std::unique_ptr<AudioFrameReader> audio_;
  uint32_t audio_offset_ = 0;  // added to every audio presentation time
  uint32_t frame_counter_ = 0;
  double frame_duration_ = 0;   // clock ticks
  bool silence_ = true;         // silent frames after the audio file's end
  bool audio_ended_ = false;    // no frames any more
  bool audio_started_ = false;  // an audio pack was written
  AudioBufferModel model_;
  std::deque<AudioPacketData> queue_;
  std::array<uint8_t, 4096> assembly_{};
  size_t assembly_count_ = 0;
};

}  // namespace vcd2
