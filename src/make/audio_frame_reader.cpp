#include "make/audio_frame_reader.h"

#include <cmath>
#include <cstdio>

namespace vcd2 {
namespace {

constexpr uint8_t kSyncByte = 0xFF;
constexpr uint8_t kPaddingBit = 0x02;  // in header byte 2

// What a frame header that is no MPEG-1 Layer II header holds.
std::string DescribeHeader(const AudioFrameHeader& header) {
  static constexpr const char* kLayers[] = {"reserved layer", "Layer III", "Layer II", "Layer I"};
  if (!header.mpeg1 || header.layer_code != AudioFrameHeader::kLayerTwo) {
    return std::string(header.mpeg1 ? "an MPEG-1 " : "an MPEG-2 ") + kLayers[header.layer_code] +
           " frame";
  }
  if (header.bit_rate == 0) {
    return header.bit_rate_index == 0 ? "a free format frame" : "a frame of bit rate index 15";
  }
  if (header.sampling_rate == 0) return "a frame of reserved sampling rate";
  return "a frame of reserved emphasis";
}

}  // namespace

// Zero bytes before a frame are skipped; then 4 header bytes must begin with
// the 12 sync bits. The bytes read are left in frame_.
bool AudioFrameReader::FindHeader() {
  int byte = 0;
  while ((byte = std::getc(file_.get())) == 0) {
  }
  count_ = 0;
  if (byte == EOF) return false;
  frame_[0] = static_cast<uint8_t>(byte);
  count_ = 1 + std::fread(frame_.data() + 1, 1, kAudioFrameHeaderSize - 1, file_.get());
  return count_ == kAudioFrameHeaderSize && frame_[0] == kSyncByte && (frame_[1] & 0xF0) == 0xF0;
}

// The next whole frame of the file; false at its end, at a frame cut short
// and at anything that is not a Layer II frame of the first one's rate.
bool AudioFrameReader::ReadFrame() {
  if (file_ended_) return false;
  if (FindHeader()) {
    const AudioFrameHeader header = ParseAudioFrameHeader(frame_.data());
    if (header.IsLayerTwo() && header.sampling_rate == header_.sampling_rate) {
      const size_t size = header.FrameSize();
      count_ += std::fread(frame_.data() + count_, 1, size - count_, file_.get());
      if (count_ == size) {
        CountPadding(header.padding);
        return true;
      }
    }
  }
  file_ended_ = true;
  return false;
}

bool AudioFrameReader::Open(std::string& found) {
  if (!file_) {
    found = "a file that cannot be read";
    return false;
  }
  const long start = std::ftell(file_.get());
  if (!FindHeader()) {
    if (count_ == 0) {
      found = "the end of the file";
      return false;
    }
    found = "bytes";
    char text[32];
    for (size_t i = 0; i < count_; ++i) {
      std::snprintf(text, sizeof text, " %02X", frame_[i]);
      found += text;
    }
    const long offset = std::ftell(file_.get()) - static_cast<long>(count_) - start;
    std::snprintf(text, sizeof text, " at offset %ld", offset);
    found += text;
    return false;
  }
  header_ = ParseAudioFrameHeader(frame_.data());
  if (!header_.IsLayerTwo()) {
    found = DescribeHeader(header_);
    return false;
  }
  const double size = 144000.0 * header_.bit_rate / header_.sampling_rate;
  fraction_ = size - std::floor(size);
  accumulator_ = -fraction_;
  std::fseek(file_.get(), start, SEEK_SET);
  if (!ReadFrame()) {
    found = "a first frame cut short by the end of the file";
    return false;
  }
  frame_pending_ = true;
  return true;
}

void AudioFrameReader::SetSilentFrame(std::vector<uint8_t> frame) {
  silent_ = std::move(frame);
  silent_padded_ = silent_;
  silent_padded_[2] |= kPaddingBit;
  silent_padded_.push_back(0);  // the padding slot, ancillary data
}

void AudioFrameReader::CountPadding(bool padded) {
  accumulator_ += padded ? 1 - fraction_ : -fraction_;
}

std::span<const uint8_t> AudioFrameReader::NextFrame(bool silence) {
  if (frame_pending_) {
    frame_pending_ = false;
    return {frame_.data(), count_};
  }
  if (end_) return {};
  if (ReadFrame()) return {frame_.data(), count_};
  if (!silence || silent_.empty()) {
    end_ = true;
    return {};
  }
  const bool padded = accumulator_ <= fraction_ - 1;
  CountPadding(padded);
  return padded ? silent_padded_ : silent_;
}

}  // namespace vcd2
