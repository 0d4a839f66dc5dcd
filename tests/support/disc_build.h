#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sector/sector_layout.h"
#include "support/temp_dir.h"
#include "vcd2/vcd2.h"

namespace vcd2::test {

// One build through VCD2DiscBuilder in a temporary directory. The script
// may name the directory as the mount label DIR.
struct DiscBuild {
  int32_t result = -1;
  std::vector<std::string> messages;
  std::vector<std::string> compliance_warnings;  // "... is not Video CD compliant ..."
  std::vector<std::string> warnings;             // all other warnings
  std::string summary;
  std::string last_status;  // the last phase text shown
};

// Runs the script file through VCD2DiscBuilder with recording callbacks;
// extra may add host callbacks to the table.
DiscBuild RunScript(const std::string& path, const std::string& stop_at = "",
                    const char* disc_image = nullptr, const BuilderCallbacks* extra = nullptr);

// Runs the script, which is prefixed with "VERSION 2.0" and the DIR mount;
// stop_at names a status text at which the build is asked to stop.
// disc_image asks for the whole disc as one image.
DiscBuild BuildDisc(const TempDir& dir, const std::string& body, const std::string& stop_at = "",
                    const char* disc_image = nullptr, const BuilderCallbacks* extra = nullptr);

// Reads sector lba of an image file (LBA -150 is its first sector).
RawSector ReadImageSector(const std::string& path, int32_t lba);
// The address that the BCD minute, second and frame at msf give.
int32_t DiscAddress(const uint8_t* msf);
// Number of sectors in an image file.
int64_t ImageSectors(const std::string& path);
// The bytes of a file of the volume in a data track image, from its extent.
std::vector<uint8_t> ReadVolumeFile(const std::string& image, uint32_t lsn, uint32_t size);
// The MPEG packs that the Form 2 sectors of an image carry, as one stream.
std::vector<uint8_t> PackStream(const std::string& image, int32_t first, int32_t count);

// A test with a temporary directory for its script, sources and images.
class DiscTest : public ::testing::Test {
 protected:
  std::string Out(const std::string& name) const { return (dir_.Path() / name).string(); }
  TempDir dir_;
};

}  // namespace vcd2::test
