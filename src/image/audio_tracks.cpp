#include "image/audio_tracks.h"

#include <cstdio>
#include <filesystem>

#include "base/error_reporter.h"
#include "base/progress.h"

namespace vcd2 {
namespace {

constexpr uint64_t kFrameBytes = 4;
constexpr uint64_t kFramesPerSector = 588;

}  // namespace

Status BuildAudioTracks(VcdProject& project) {
  const auto first_number = static_cast<uint32_t>(project.mpeg_tracks.size() + 2);
  for (size_t k = 0; k < project.audio_tracks.size(); ++k) {
    AudioTrack& track = *project.audio_tracks[k];
    char status[64];
    std::snprintf(status, sizeof status, "Creating Digital Audio track %zu...", k + 1);
    ShowStatus(status);
    track.position = first_number + static_cast<uint32_t>(k);
    const std::string path = track.NewFullPath().value_or("");
    std::error_code error;
    const uint64_t bytes = std::filesystem::file_size(path, error);
    if (error) {
      ReportError("Could not open CD-DA source %s: %s.", path.c_str(), error.message().c_str());
      return false;
    }
    const uint64_t frames = bytes / kFrameBytes;
    track.sector_count = static_cast<uint32_t>((frames + kFramesPerSector - 1) / kFramesPerSector);
  }
  return true;
}

}  // namespace vcd2
