#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/unique_file.h"
#include "model/vcd_project.h"
#include "sector/sector_writer.h"

namespace vcd2::fuzz {

// Silences the error reporter, where every input may end in messages,
// unless VCD2_FUZZ_VERBOSE is set (to see why an input ends).
void Quiet();

// A private directory of this process, removed when it ends.
const std::string& WorkDir();

// The bytes as a read-only stream (an empty one for no bytes, which fmemopen
// refuses); null when the system has no stream to give.
UniqueFile OpenBytes(const uint8_t* data, size_t size);

// Makes the bytes the project's script, as the build thread hands it over;
// the stream must stay open while the project parses. Null when the system
// has no stream to give.
UniqueFile AttachScript(VcdProject& project, const uint8_t* data, size_t size);

// Writes bytes to a file of the work directory; returns its path.
std::string WriteInput(const std::string& name, const uint8_t* data, size_t size);

// Finishes every sector as an image file gets it and keeps none.
class DiscardingWriter : public SectorWriter {
 public:
  Status Write(int32_t lba, RawSector& sector) override {
    FinishSector(sector, lba);
    ++sectors_;
    return true;
  }
  uint64_t Sectors() const { return sectors_; }

 private:
  uint64_t sectors_ = 0;
};

}  // namespace vcd2::fuzz
