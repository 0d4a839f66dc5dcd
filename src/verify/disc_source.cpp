#include "verify/disc_source.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace vcd2 {

const TrackSpan* DiscSource::TrackAt(int32_t lba) const {
  for (const TrackSpan& track : tracks) {
    if (lba >= track.first && lba < track.end) return &track;
  }
  return nullptr;
}

int64_t FileSize(std::FILE* file) {
  struct stat status {};
  if (fstat(fileno(file), &status) != 0) return -1;
  return status.st_size;
}

bool OpenImages(const std::vector<std::string>& paths, DiscSource& disc, ProblemLog& log) {
  disc.name = paths.empty() ? "" : paths.front();
  disc.separate_images = true;
  bool readable = true;
  int32_t next = -kPregapSectors;  // where the next image's first sector lies
  for (size_t i = 0; i < paths.size(); ++i) {
    const UniqueFile file(std::fopen(paths[i].c_str(), "rb"));
    const int64_t size = file ? FileSize(file.get()) : -1;
    if (size < 0) {
      log.Add(ProblemCode::kFileUnreadable, paths[i], "cannot be read: %s", std::strerror(errno));
      readable = false;
      continue;
    }
    if (size % static_cast<int64_t>(kRawSectorSize) != 0) {
      log.Add(ProblemCode::kImageSize, paths[i],
              "%lld bytes are no whole number of 2352-byte sectors; the last %lld are not read",
              static_cast<long long>(size),
              static_cast<long long>(size % static_cast<int64_t>(kRawSectorSize)));
    }
    const auto sectors = static_cast<int32_t>(size / static_cast<int64_t>(kRawSectorSize));
    if (sectors <= kPregapSectors) {
      log.Add(ProblemCode::kImageSize, paths[i],
              "holds %d sectors, no more than its 150-sector pregap", static_cast<int>(sectors));
    }
    TrackSpan track;
    track.path = paths[i];
    track.number = static_cast<unsigned>(i + 1);
    track.first = next;
    track.start = next + kPregapSectors;
    track.end = next + sectors;
    track.header_base = i == 0 ? 0 : track.start;
    disc.tracks.push_back(track);
    next = track.end + static_cast<int32_t>(kTrackPregapDistance - kPregapSectors);
  }
  return readable;
}

std::FILE* SectorSource::File(const std::string& path) {
  auto found = files_.find(path);
  if (found == files_.end()) {
    found = files_.emplace(path, UniqueFile(std::fopen(path.c_str(), "rb"))).first;
  }
  return found->second.get();
}

bool SectorSource::Read(int32_t lba, RawSector& sector) {
  const TrackSpan* track = disc_.TrackAt(lba);
  if (track == nullptr) return false;
  std::FILE* file = File(track->path);
  const int64_t position =
      track->file_offset + int64_t{lba - track->first} * static_cast<int64_t>(kRawSectorSize);
  return file != nullptr && fseeko(file, position, SEEK_SET) == 0 &&
         std::fread(sector.data(), sector.size(), 1, file) == 1;
}

}  // namespace vcd2
