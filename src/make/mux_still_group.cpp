// One group: the system header, the pictures' packs with audio packs
// between them, and the time the group is shown.
#include <algorithm>

#include "base/progress.h"
#include "make/mux_job.h"
#include "media/mpeg_constants.h"

namespace vcd2 {
namespace {

constexpr size_t kSequenceEndSize = 4;  // appended to each picture
constexpr size_t kFurtherVideoData = 2304;
constexpr uint32_t kLengthUnit = 6000;  // clock ticks per LENGTH unit, 1/15 s
constexpr uint32_t kArrivalTicks = 11;  // from a pack's clock to its first data byte

// Four times the picture period in clock ticks, by frame rate code.
constexpr uint32_t kFourPicturePeriods[] = {0, 15015, 15000, 14400, 12012, 12000, 7200, 6006, 6000};

// The data bytes the next video pack of a picture takes when it is a full
// one, 0 when it is the picture's last: a first packet carries 2294 bytes,
// further ones 2304, and a picture that fits its packet goes out whole.
size_t FullPackData(size_t remaining, bool first) {
  if (first) return remaining >= kFirstVideoData ? kFirstVideoData : 0;
  return remaining >= kFullVideoPacket ? kFurtherVideoData : 0;
}

// Full video packs of a picture of size bytes (end code included) as they are
// sent, and the bytes of the picture itself that its last pack carries.
struct PackCount {
  uint32_t full = 0;
  uint32_t rest = 0;
};

PackCount CountPacks(size_t size) {
  PackCount count;
  size_t left = size;
  for (size_t data; (data = FullPackData(left, count.full == 0)) != 0; left -= data) ++count.full;
  count.rest = static_cast<uint32_t>(left > kSequenceEndSize ? left - kSequenceEndSize : 0);
  return count;
}

// Ticks from the last pack's clock until its data has arrived.
uint32_t Arrival(uint32_t rest) {
  return rest > 0 ? kArrivalTicks + rest * kClockTicksPerSector / kVideoPackSize : 0;
}

uint16_t BufferKb(size_t size) {
  return static_cast<uint16_t>((size + 1023) / 1024);
}

}  // namespace

// Decoding times: the low picture's last pack follows the high picture's
// packs; each picture is shown one picture period after it is decoded.
void MuxJob::SetPictureTimes(const StillPair& pair, uint32_t start) {
  const PackCount low = CountPacks(pair.low.bytes.size());
  const uint8_t rate_code = pair.low.frame_rate_code;
  const uint32_t period =
      rate_code < std::size(kFourPicturePeriods) ? kFourPicturePeriods[rate_code] / 4 : 0;
  if (!pair.high) {
    low_dts_ = start + kClockTicksPerSector * (1 + low.full) + Arrival(low.rest);
  } else {
    const PackCount high = CountPacks(pair.high->bytes.size());
    const uint32_t base = start + kClockTicksPerSector * (1 + low.full + high.full);
    high_dts_ = base + Arrival(high.rest);
    low_dts_ = base + kClockTicksPerSector + Arrival(low.rest);  // after the high's last pack
    high_pts_ = high_dts_ + period;
  }
  low_pts_ = low_dts_ + period;
}

void MuxJob::DelayPictureTimes(uint32_t ticks) {
  low_pts_ += ticks;
  low_dts_ += ticks;
  high_pts_ += ticks;
  high_dts_ += ticks;
}

// Full packs while enough is left; with audio each round first offers the
// audio its pack.
void MuxJob::SendFullPacks(PictureSend& picture) {
  while (FullPackData(picture.Remaining(), picture.first) != 0) {
    if (audio_ && RunAudioStep() == AudioStep::kFullPack) continue;
    const PacketFields fields = picture.Fields();
    std::array<uint8_t, kVideoPackSize> pack;
    picture.sent +=
        StoreFullPack(pack, clock_, fields, std::span(picture.bytes).subspan(picture.sent));
    picture.first = false;
    WritePack(pack);
  }
}

// The rest of the picture; a stream end code that finds no room in its pack
// gets a pack of its own.
void MuxJob::SendLastPack(PictureSend& picture, bool end_code) {
  const PacketFields fields = picture.Fields();
  std::array<uint8_t, kVideoPackSize> pack;
  const bool placed =
      StoreLastPack(pack, clock_, fields, std::span(picture.bytes).subspan(picture.sent), end_code);
  picture.sent = picture.bytes.size();
  WritePack(pack);
  if (end_code && !placed) {
    StoreClosingPack(pack, clock_);
    WritePack(pack);
  }
}

Status MuxJob::MuxStillGroup(bool is_last, const Source& a, const Source* b) {
  StillPair pair;
  if (!LoadStillPair(a.path, b != nullptr ? &b->path : nullptr, pair)) return false;
  const uint32_t start = clock_;
  SetPictureTimes(pair, start);
  if (audio_ && !audio_started_) {
    // The audio system header and the first audio pack come first; the audio
    // starts with the first picture.
    DelayPictureTimes(2 * kClockTicksPerSector);
    model_.Shift(low_pts_ - audio_offset_);
    audio_offset_ = low_pts_;
    std::array<uint8_t, kAudioPackSize> pack;
    StoreSystemHeaderPack(pack, clock_, start_code::kAudio, 0);
    WritePack(pack);
    WriteAudioPack();
  } else if (audio_) {
    // Every audio packet due while the pictures are sent delays them a pack.
    PrepareAudioPacket();
    for (uint32_t t = clock_; t <= low_dts_; t += kClockTicksPerSector) {
      if (!model_.DueInSector(t)) continue;
      PrepareAudioPacket();
      DelayPictureTimes(kClockTicksPerSector);
    }
  }
  const uint16_t high_kb = pair.high ? BufferKb(pair.high->bytes.size()) : 0;
  std::array<uint8_t, kVideoPackSize> header;
  StoreSystemHeaderPack(header, clock_, start_code::kStillLow, high_kb);
  WritePack(header);
  PictureSend low{pair.low.bytes,
                  {start_code::kStillLow, {{true, kLowBufferKb}}, low_pts_, low_dts_}};
  SendFullPacks(low);
  if (pair.high) {
    PictureSend high{pair.high->bytes,
                     {start_code::kStillHigh, {{true, high_kb}}, high_pts_, high_dts_}};
    SendFullPacks(high);
    if (audio_) RunAudioStep();
    SendLastPack(high, false);
  }
  if (audio_) RunAudioStep();
  SendLastPack(low, is_last && !audio_);
  return ShowStill(is_last, start, a.length);
}

// Without audio the clock moves on to the end of the display length (the gap
// becomes filler sectors); with audio, audio packs fill it. After the last
// group the rest of the audio is written and a padding pack ends the stream.
Status MuxJob::ShowStill(bool is_last, uint32_t start, uint32_t length) {
  if (!audio_) {
    const int64_t used = (int64_t{clock_ - start} + kLengthUnit - 1) / kLengthUnit;
    const int64_t wait = int64_t{length} - used;
    if (wait > 0) clock_ += static_cast<uint32_t>(wait * kLengthUnit);
    return true;
  }
  silence_ = !is_last;
  const uint32_t end = start + kLengthUnit * length;
  while (clock_ < end) {
    if (AbortRequested()) return false;
    if (RunAudioStep() == AudioStep::kNoRoom) clock_ += kClockTicksPerSector;
  }
  if (!is_last) return true;
  while (!queue_.empty() || !audio_ended_ || assembly_count_ > 0) {
    if (AbortRequested()) return false;
    if (RunAudioStep() == AudioStep::kNoRoom) clock_ += kClockTicksPerSector;
  }
  std::array<uint8_t, kVideoPackSize> pack;
  StoreClosingPack(pack, clock_);
  WritePack(pack);
  return true;
}

}  // namespace vcd2
