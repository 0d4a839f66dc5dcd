#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sector/sector_layout.h"
#include "support/temp_dir.h"

namespace vcd2::test {

// One build through VCD2DiscBuilder in a temporary directory. The script
// may name the directory as the mount label DIR.
struct DiscBuild {
  int32_t result = -1;
  std::vector<std::string> statuses;
  std::vector<std::string> messages;
};

// Runs the script, which is prefixed with "VERSION 2.0" and the DIR mount;
// stop_at names a status text at which the build is asked to stop.
// disc_image asks for the whole disc as one image.
DiscBuild BuildDisc(const TempDir& dir, const std::string& body, const std::string& stop_at = "",
                    const char* disc_image = nullptr);

// Reads sector lba of an image file (LBA -150 is its first sector).
RawSector ReadImageSector(const std::string& path, int32_t lba);
// Number of sectors in an image file.
int64_t ImageSectors(const std::string& path);

}  // namespace vcd2::test
