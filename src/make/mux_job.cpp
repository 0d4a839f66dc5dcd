#include "make/mux_job.h"

#include <cstdio>

#include "base/error_reporter.h"
#include "base/progress.h"
#include "make/silent_frame.h"
#include "media/mpeg_constants.h"
#include "model/items.h"

namespace vcd2 {
namespace {

constexpr uint32_t kStreamNumberLimit = 4000;
constexpr double kFrameTicks = 90000.0 * kSamplesPerFrame;  // one frame at 1 Hz

}  // namespace

MuxJob::MuxJob(const std::string& target_path, const std::vector<std::unique_ptr<FileRef>>& sources)
    : output_(target_path) {
  bool other_kind = false;
  for (const auto& source : sources) {
    const auto* item = dynamic_cast<const MakeSourceItem*>(source.get());
    sources_.push_back({source->NewFullPath().value_or(""), source->GetFileType(),
                        item != nullptr ? item->stream_number : 0,
                        item != nullptr ? item->length : 0});
    switch (source->GetFileType()) {
      case FileType::kMpegVideo:
        ++video_count_;
        break;
      case FileType::kMpegAudio:
        ++audio_count_;
        break;
      case FileType::kMpegStill:
        ++still_count_;
        break;
      default:
        other_kind = true;
        break;
    }
  }
  if (other_kind || (video_count_ > 0 && still_count_ > 0)) ReportError("Illegal MUX Mode");
}

Status MuxJob::RunMux() {
  if (video_count_ > 0) {
    ReportError("Cannot multiplex motion pictures.");
    return false;
  }
  if (audio_count_ > 0 && still_count_ == 0) return false;
  if (audio_count_ > 0 && !OpenAudio()) return false;
  output_.Open();
  if (!MuxGroups()) return false;
  output_.Commit();
  return true;
}

// With audio only the STILL sources form groups.
bool MuxJob::TakesPart(const Source& source) const {
  return audio_count_ == 0 || source.type == FileType::kMpegStill;
}

// The smallest stream number above after.
std::optional<uint32_t> MuxJob::NextGroup(uint32_t after) const {
  std::optional<uint32_t> next;
  for (const Source& source : sources_) {
    const uint32_t number = source.stream_number;
    if (TakesPart(source) && number > after && number < kStreamNumberLimit &&
        (!next || number < *next)) {
      next = number;
    }
  }
  return next;
}

// Still A is the group's last source in list order, still B the one before.
Status MuxJob::MuxGroups() {
  clock_ = 0;
  audio_offset_ = 0;
  std::optional<uint32_t> group = NextGroup(0);
  if (!group) {
    ReportError("Muxer: nothing to do.");
    return false;
  }
  while (group) {
    if (AbortRequested()) return false;
    const Source* a = nullptr;
    const Source* b = nullptr;
    for (const Source& source : sources_) {
      if (TakesPart(source) && source.stream_number == *group) {
        b = a;
        a = &source;
      }
    }
    const std::optional<uint32_t> next = NextGroup(*group);
    if (!MuxStillGroup(!next, *a, b)) return false;
    group = next;
  }
  return true;
}

Status MuxJob::OpenAudio() {
  const Source* audio = nullptr;
  for (const Source& source : sources_) {
    if (source.type != FileType::kMpegAudio) continue;
    if (audio != nullptr) {
      ReportError("Cannot mux more than one audio stream.");
      return false;
    }
    audio = &source;
  }
  if (audio == nullptr) {
    ReportError("Could not find MPEG audio file.");
    return false;
  }
  audio_ = std::make_unique<AudioFrameReader>(UniqueFile(std::fopen(audio->path.c_str(), "rb")));
  std::string found;
  if (!audio_->Open(found)) {
    ReportError("%s is not MPEG-1 Layer II audio: found %s.", audio->path.c_str(), found.c_str());
    return false;
  }
  std::vector<uint8_t> silence = EncodeSilentFrame(audio_->Header());
  if (silence.empty()) return false;
  audio_->SetSilentFrame(std::move(silence));
  frame_duration_ = kFrameTicks / audio_->Header().sampling_rate;
  PrepareAudioPacket();
  return true;
}

void MuxJob::WritePack(std::span<const uint8_t> pack) {
  output_.Write(pack);
  clock_ += kClockTicksPerSector;
}

}  // namespace vcd2
