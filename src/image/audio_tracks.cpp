#include "image/audio_tracks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/error_reporter.h"
#include "base/progress.h"

namespace vcd2 {
namespace {

constexpr uint64_t kFrameBytes = 4;
constexpr uint64_t kFramesPerSector = 588;

// The length of a readable regular file; reports why there is none. It is
// opened without waiting, so a pipe cannot stall the build.
Status MeasureSource(const std::string& path, uint64_t& bytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  struct stat info {};
  const char* problem = nullptr;
  if (fd < 0 || fstat(fd, &info) != 0) {
    problem = std::strerror(errno);
  } else if (!S_ISREG(info.st_mode)) {
    problem = "not a regular file";
  }
  if (fd >= 0) close(fd);
  if (problem != nullptr) {
    ReportError("Could not open CD-DA source %s: %s.", path.c_str(), problem);
    return false;
  }
  bytes = static_cast<uint64_t>(info.st_size);
  return true;
}

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
    uint64_t bytes = 0;
    if (!MeasureSource(path, bytes)) return false;
    const uint64_t frames = bytes / kFrameBytes;
    if (frames == 0) {
      ReportError("The CD-DA source %s holds no audio: %llu bytes, not one sample frame of %llu.",
                  path.c_str(), static_cast<unsigned long long>(bytes),
                  static_cast<unsigned long long>(kFrameBytes));
      return false;
    }
    track.sector_count = static_cast<uint32_t>((frames + kFramesPerSector - 1) / kFramesPerSector);
  }
  return true;
}

}  // namespace vcd2
