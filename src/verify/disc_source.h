#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/unique_file.h"
#include "sector/sector_layout.h"
#include "verify/problems.h"

namespace vcd2 {

// One Mode 2 track as it lies in an image file: the disc addresses of its
// first sector in the file (its pregap when the file holds one), of its
// start (INDEX 01) and behind its end, and where the first lies in the file.
struct TrackSpan {
  std::string path;
  unsigned number = 0;  // disc track number, 1 for the data track
  int32_t first = 0;
  int32_t start = 0;
  int32_t end = 0;
  int64_t file_offset = 0;  // byte position of sector `first`
  int32_t header_base = 0;  // header address = disc address - header_base
};

// A disc to verify, from a cue sheet or from the images of one build: its
// Mode 2 tracks in disc order (the data track first) and the files of its
// CD-DA tracks, which are not read.
struct DiscSource {
  std::string name;  // the cue sheet or the data track image, for the summary
  std::vector<TrackSpan> tracks;
  std::vector<std::string> audio_files;
  bool separate_images = false;

  // The disc address behind the last Mode 2 sector.
  int32_t End() const { return tracks.empty() ? 0 : tracks.back().end; }
  const TrackSpan* TrackAt(int32_t lba) const;
};

// Reads the images of a build, in the OUTPUT block's order: the data track
// image, then each MPEG track image. Each image starts with its own 150
// pregap sectors; a track starts 2 sectors and its pregap after the end of
// the one before. False (with the problem logged) when a file cannot be read.
bool OpenImages(const std::vector<std::string>& paths, DiscSource& disc, ProblemLog& log);

// Random access to the sectors of a disc by disc address, one open file per
// image.
class SectorSource {
 public:
  explicit SectorSource(const DiscSource& disc) : disc_(disc) {}
  // False when no image holds lba or the read fails.
  bool Read(int32_t lba, RawSector& sector);
  // The file of a track span, opened once.
  std::FILE* File(const std::string& path);

 private:
  const DiscSource& disc_;
  std::map<std::string, UniqueFile> files_;
};

// Bytes of an open file; -1 when unknown.
int64_t FileSize(std::FILE* file);

}  // namespace vcd2
