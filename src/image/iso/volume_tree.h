#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/iso_layout.h"
#include "vcd2/vcd2.h"

namespace vcd2 {

// Recording date and time of a directory record: years since 1900, month,
// day, hour, minute, second, offset from Greenwich in 15-minute units.
using RecordingDate = std::array<uint8_t, 7>;

// A file of the volume.
struct VolumeFile {
  std::string name;  // identifier without version
  uint32_t kind = VCD2_NODE_READ_FILE;
  uint32_t first_sector = 0;  // placed files
  uint32_t size = 0;          // bytes
  uint16_t attributes = xa::kForm1File;
  uint8_t file_number = 0;
  std::string source_path;           // read files of the builder's own
  VolumeImagerNode* node = nullptr;  // the node record this file was made from
};

// A directory of the root directory.
struct VolumeDirectory {
  std::string name;
  std::vector<VolumeFile> files;
};

// Everything the volume writer lays out: the root's files and directories.
struct VolumeTree {
  RecordingDate date{};
  std::vector<VolumeFile> root_files;
  std::vector<VolumeDirectory> directories;
};

}  // namespace vcd2
