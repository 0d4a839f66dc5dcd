#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "sector/sector_layout.h"

namespace vcd2 {

// Rewrites the directory record of a file inside a written data track image:
// its extent, its size (0 keeps the recorded one) and, when given, its
// identifier (of the same length). path is backslash-separated, e.g.
// "MPEGAV\AVSEQ01.DAT;1".
Status SetIsoDirectory(std::FILE* image, const std::string& path, uint32_t extent, uint32_t size,
                       const std::optional<std::string>& new_identifier = std::nullopt);

// Overwrites the data of a Form 1 file inside a written data track image
// with bytes (no more than its recorded size); subheaders stay.
Status RewriteIsoFile(std::FILE* image, const std::string& path, const std::vector<uint8_t>& bytes);

enum class FindResult { kFound, kNotFound, kFailed };

// Searches one directory (first LBA and length in bytes) for a record named
// name. When found, sector holds the sector with the record, lba is that
// sector's LBA, record_offset the record's offset in the user data; when the
// record is a directory, lba and length become its extent and size. kFailed
// has been reported.
FindResult FindIsoEntry(std::FILE* image, const std::string& name, uint32_t& lba, uint32_t& length,
                        RawSector& sector, size_t& record_offset);

}  // namespace vcd2
