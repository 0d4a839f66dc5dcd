#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/vcd_file_layout.h"
#include "verify/disc_source.h"
#include "verify/problems.h"

namespace vcd2 {

// A file of the volume as its directory record gives it.
struct VolumeEntry {
  std::string path;  // "VCD/INFO.VCD": directories and name, without the version
  uint32_t extent = 0;
  uint32_t size = 0;
  uint16_t attributes = 0;  // XA attributes; 0 without an XA field
};

// One MPEG stream of the disc: an MPEG track from its start, or a segment
// play item's extent.
struct StreamSpan {
  std::string name;  // "MPEGAV/AVSEQ01.DAT", "SEGMENT/ITEM0001.DAT"
  int32_t first = 0;
  int32_t end = 0;
  bool segment = false;
  unsigned index = 0;  // MPEG track index from 0, or first segment unit
  // Filled by the MPEG pass.
  bool has_video = false;
  bool pal = false;
  bool has_audio = false;
};

// What the passes learn and hand on to the passes after them.
struct DiscFacts {
  uint32_t volume_space_size = 0;
  std::vector<VolumeEntry> files;
  std::optional<std::array<uint8_t, kForm1DataSize>> info;  // INFO.VCD as read
  std::vector<StreamSpan> streams;

  const VolumeEntry* Find(const std::string& path) const {
    for (const VolumeEntry& file : files) {
      if (file.path == path) return &file;
    }
    return nullptr;
  }
};

// What every pass works on.
struct VerifyContext {
  const DiscSource& disc;
  SectorSource& sectors;
  ProblemLog& log;
  DiscFacts facts;
};

// Reads the 2048 bytes of a Form 1 sector's user data; false when no image
// holds the sector.
bool ReadBlock(VerifyContext& context, int32_t lba, uint8_t* block);

}  // namespace vcd2
