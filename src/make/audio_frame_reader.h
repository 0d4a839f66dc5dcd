#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/unique_file.h"
#include "media/audio_frame_header.h"

namespace vcd2 {

// Reads the frames of an MPEG-1 Layer II audio file and, after its end and
// while asked to, silent frames of the same kind. Frames get the padding
// slot as the file's own frames would: on average the fractional part f of
// 144000 * bit rate / sampling rate per frame.
class AudioFrameReader {
 public:
  explicit AudioFrameReader(UniqueFile file) : file_(std::move(file)) {}

  // Finds and reads the first frame. When the file does not begin with an
  // MPEG-1 Layer II frame, false with what was found in its place.
  bool Open(std::string& found);
  // The header of the first frame.
  const AudioFrameHeader& Header() const { return header_; }
  // The silent frame (without the padding slot) for the header's kind.
  void SetSilentFrame(std::vector<uint8_t> frame);
  // The next frame: the file's frames in order, then silent ones while
  // silence is on. Empty once the audio is over: at the file's end with
  // silence off, and from then on.
  std::span<const uint8_t> NextFrame(bool silence);

 private:
  static constexpr size_t kFrameBufferSize = 2048;

  bool FindHeader();
  bool ReadFrame();
  void CountPadding(bool padded);

  UniqueFile file_;
  std::array<uint8_t, kFrameBufferSize> frame_{};
  size_t count_ = 0;            // bytes of the frame in frame_
  bool frame_pending_ = false;  // the first frame is read but not delivered
  bool file_ended_ = false;
  bool end_ = false;  // no silent frames any more
  AudioFrameHeader header_;
  double fraction_ = 0;
  double accumulator_ = 0;
  std::vector<uint8_t> silent_;
  std::vector<uint8_t> silent_padded_;
};

}  // namespace vcd2
