#pragma once

#include <cstdio>
#include <string>

#include "base/status.h"
#include "sector/sector_layout.h"

namespace vcd2 {

// Completes a sector whose subheaders and user data are filled: sync, EDC,
// ECC for Form 1 (computed with a zero header), then the header address of
// lba and mode 2.
void FinishSector(RawSector& sector, int32_t lba);
// Sync, header address of lba and mode 2: all a prepared sector lacks.
void StoreSyncAndHeader(RawSector& sector, int32_t lba);

// Finishes the sector and writes it at lba of an image file opened for
// writing; reports a failed seek or write.
Status WriteSectorAt(std::FILE* image, int32_t lba, RawSector& sector);
// The same without a message, for callers that report in their own words.
bool TryWriteSectorAt(std::FILE* image, int32_t lba, RawSector& sector);

// "Writing image file failed (%u)." with the error code, and the file's path
// with the system's words for it on the next line.
void ReportWriteFailure(int error, const std::string& path);
void ReportWriteFailure(int error, std::FILE* file);

// Reads the sector at lba; reports when it cannot.
Status ReadSectorAt(std::FILE* image, int32_t lba, RawSector& sector);

}  // namespace vcd2
