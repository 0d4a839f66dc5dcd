// The ISO 9660 + XA layer: descriptors, volume space size, the directory
// tree, the path tables and the files a Video CD needs.
#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

#include "base/byte_order.h"
#include "base/iso_layout.h"
#include "image/vcd_names.h"
#include "verify/passes.h"

namespace vcd2 {
namespace {

using Block = std::array<uint8_t, kForm1DataSize>;
constexpr int kMaxDepth = 8;
constexpr size_t kMaxDirectories = 1000;
constexpr size_t kMaxDirectorySectors = 64;

std::string Where(const char* what) {
  return std::string("ISO 9660 ") + what;
}

bool BothAgree32(const uint8_t* field) {
  return LoadLittleEndian32(field) == LoadBigEndian32(field + 4);
}

bool BothAgree16(const uint8_t* field) {
  return LoadLittleEndian16(field) == LoadBigEndian16(field + 2);
}

// "NAME.EXT;1" without its version.
std::string WithoutVersion(const uint8_t* identifier, size_t length) {
  std::string name(reinterpret_cast<const char*>(identifier), length);
  const size_t version = name.rfind(';');
  return version == std::string::npos ? name : name.substr(0, version);
}

class VolumeWalk {
 public:
  explicit VolumeWalk(VerifyContext& context) : c_(context) {}

  bool Descriptors(Block& pvd) {
    if (!ReadBlock(c_, kPvdLba, pvd.data())) {
      c_.log.Add(ProblemCode::kIsoDescriptor, Where("volume"), "sector 16 cannot be read");
      return false;
    }
    if (pvd[0] != kPrimaryType ||
        std::memcmp(pvd.data() + pvd::kStandardIdOffset, kStandardId, 5) != 0) {
      c_.log.Add(ProblemCode::kIsoDescriptor, SectorPlace(Where("descriptor"), kPvdLba),
                 "no primary volume descriptor (type %u)", pvd[0]);
      return false;
    }
    if (std::memcmp(pvd.data() + kXaSignatureOffset, kXaSignature, 8) != 0) {
      c_.log.Add(ProblemCode::kIsoDescriptor, Where("PVD byte 1024"),
                 "the CD-XA001 signature is missing");
    }
    if (!BothAgree16(pvd.data() + pvd::kBlockSize) ||
        LoadLittleEndian16(pvd.data() + pvd::kBlockSize) != kForm1DataSize) {
      c_.log.Add(ProblemCode::kIsoDescriptor, Where("PVD logical block size"),
                 "is %u; a Video CD has 2048", LoadLittleEndian16(pvd.data() + pvd::kBlockSize));
    }
    Block next{};
    for (uint32_t lba = kPvdLba + 1; lba < kPvdLba + 16; ++lba) {
      if (!ReadBlock(c_, static_cast<int32_t>(lba), next.data()) ||
          std::memcmp(next.data() + pvd::kStandardIdOffset, kStandardId, 5) != 0) {
        break;
      }
      if (next[0] == kTerminatorType) return true;
    }
    c_.log.Add(ProblemCode::kIsoDescriptor, Where("descriptor set"),
               "no set terminator follows the primary volume descriptor");
    return true;
  }

  // The volume may end with the data track or, after the tracks, with the
  // disc; CD-DA tracks, whose length is not read, may lie inside it.
  void VolumeSize(const Block& pvd) {
    const uint8_t* field = pvd.data() + pvd::kVolumeSpaceSize;
    const uint32_t size = LoadLittleEndian32(field);
    c_.facts.volume_space_size = size;
    const auto end = static_cast<uint32_t>(c_.disc.End());
    const auto data_end = static_cast<uint32_t>(c_.disc.tracks.front().end);
    bool audio = !c_.disc.audio_files.empty();
    for (const VolumeEntry& file : c_.facts.files) audio |= (file.attributes & xa::kCdDaBit) != 0;
    if (!BothAgree32(field)) {
      c_.log.Add(ProblemCode::kIsoVolumeSize, Where("PVD volume space size"),
                 "the two byte orders disagree (%u, %u)", size, LoadBigEndian32(field + 4));
    } else if (size != data_end && (size < end || (!audio && size > end + 2))) {
      c_.log.Add(ProblemCode::kIsoVolumeSize, Where("PVD volume space size"),
                 "is %u sectors; the data track ends at %u and the disc's Mode 2 tracks at %u",
                 size, data_end, end);
    }
  }

  void Tree(const Block& pvd) {
    pvd_ = &pvd;
    const uint8_t* root = pvd.data() + pvd::kRootRecord;
    Directory("", LoadLittleEndian32(root + record::kExtent),
              LoadLittleEndian32(root + record::kSize), 0);
  }

  void PathTables(const Block& pvd) {
    const uint32_t size = LoadLittleEndian32(pvd.data() + pvd::kPathTableSize);
    const uint32_t l_table = LoadLittleEndian32(pvd.data() + pvd::kLPathTable);
    const uint32_t m_table = LoadBigEndian32(pvd.data() + pvd::kMPathTable);
    PathTable(l_table, size, false);
    PathTable(m_table, size, true);
  }

 private:
  void Directory(const std::string& path, uint32_t extent, uint32_t size, int depth) {
    const std::string where = Where("directory ") + (path.empty() ? "/" : path);
    if (size % kForm1DataSize != 0 || size == 0 || size / kForm1DataSize > kMaxDirectorySectors) {
      c_.log.Add(ProblemCode::kIsoDirectory, where, "its size %u is no whole number of sectors",
                 size);
      return;
    }
    if (depth > kMaxDepth || directories_.size() >= kMaxDirectories) {
      c_.log.Add(ProblemCode::kIsoDirectory, where, "the tree is nested too deep or too wide");
      return;
    }
    if (!directories_.emplace(path.empty() ? "\1" : path, extent).second) return;  // a loop
    Block block{};
    for (uint32_t s = 0; s < size / kForm1DataSize; ++s) {
      const auto lba = static_cast<int32_t>(extent + s);
      if (!ReadBlock(c_, lba, block.data())) {
        c_.log.Add(ProblemCode::kIsoExtent, where, "sector %u lies in no image", extent + s);
        return;
      }
      for (size_t at = 0; at < kForm1DataSize && block[at] != 0;) {
        const uint8_t* r = block.data() + at;
        const size_t length = r[record::kLength];
        const size_t id_length = r[record::kIdentifierLength];
        if (length < record::kIdentifier + 1 || at + length > kForm1DataSize ||
            record::kIdentifier + id_length > length) {
          c_.log.Add(ProblemCode::kIsoDirectory, SectorPlace(where, lba),
                     "the record at byte %zu has length %zu", at, length);
          break;
        }
        if (s == 0 && at == 0 && (id_length != 1 || r[record::kIdentifier] != 0)) {
          c_.log.Add(ProblemCode::kIsoDirectory, where,
                     "the first record is not the directory's own");
        }
        Record(path, r, lba, depth);
        at += length;
      }
    }
  }

  void Record(const std::string& path, const uint8_t* r, int32_t lba, int depth) {
    const size_t id_length = r[record::kIdentifierLength];
    if (id_length == 1 && r[record::kIdentifier] <= 1) return;  // "." and ".."
    const std::string name = WithoutVersion(r + record::kIdentifier, id_length);
    const std::string full = path.empty() ? name : path + "/" + name;
    const std::string where = Where("record ") + full;
    if (!BothAgree32(r + record::kExtent) || !BothAgree32(r + record::kSize)) {
      c_.log.Add(ProblemCode::kIsoDirectory, SectorPlace(where, lba),
                 "extent or size disagree in their two byte orders");
      return;
    }
    VolumeEntry file{full, LoadLittleEndian32(r + record::kExtent),
                     LoadLittleEndian32(r + record::kSize), 0};
    const size_t system_use = record::kIdentifier + id_length + (id_length % 2 == 0 ? 1 : 0);
    if (system_use + xa::kRecordSize <= r[record::kLength] &&
        r[system_use + xa::kSignature] == 'X' && r[system_use + xa::kSignature + 1] == 'A') {
      file.attributes = LoadBigEndian16(r + system_use + xa::kAttributes);
    } else {
      c_.log.Add(ProblemCode::kIsoXa, where, "the record has no CD-ROM XA field");
    }
    const uint32_t sectors = (file.size + kForm1DataSize - 1) / kForm1DataSize;
    const bool audio = (file.attributes & xa::kCdDaBit) != 0;
    // Tracks may lie beyond a volume that ends with the data track.
    const uint32_t limit = std::max(LoadLittleEndian32(pvd_->data() + pvd::kVolumeSpaceSize),
                                    static_cast<uint32_t>(c_.disc.End()) + 2);
    if (!audio && uint64_t{file.extent} + sectors > limit) {
      c_.log.Add(ProblemCode::kIsoExtent, where,
                 "sectors %u..%u lie beyond the volume and the disc (%u sectors)", file.extent,
                 file.extent + sectors - 1, limit);
    }
    if ((r[record::kFlags] & record::kDirectoryFlag) != 0) {
      Directory(full, file.extent, file.size, depth + 1);
      return;
    }
    if (!audio && sectors != 0) FormOfFirstSector(file, where);
    c_.facts.files.push_back(std::move(file));
  }

  // Form 2 files (MPEG tracks, segments) on Form 2 sectors, others on Form 1.
  void FormOfFirstSector(const VolumeEntry& file, const std::string& where) {
    RawSector sector{};
    if (!c_.sectors.Read(static_cast<int32_t>(file.extent), sector)) {
      c_.log.Add(ProblemCode::kIsoExtent, where, "its first sector %u lies in no image",
                 file.extent);
      return;
    }
    const bool form2 = (SubmodeOf(sector) & submode::kForm2) != 0;
    const bool says_form2 = (file.attributes & xa::kForm2Bit) != 0;
    if (file.attributes != 0 && form2 != says_form2) {
      c_.log.Add(ProblemCode::kIsoXa, where, "attributes %04X say Form %d; its sectors are Form %d",
                 file.attributes, says_form2 ? 2 : 1, form2 ? 2 : 1);
    }
  }

  void PathTable(uint32_t lba, uint32_t size, bool big_endian) {
    const std::string where = Where(big_endian ? "M path table" : "L path table");
    if (size == 0 || size > 4 * kForm1DataSize) {
      c_.log.Add(ProblemCode::kIsoPathTable, where, "its size %u is not plausible", size);
      return;
    }
    std::vector<uint8_t> table((size + kForm1DataSize - 1) / kForm1DataSize * kForm1DataSize);
    for (size_t s = 0; s * kForm1DataSize < table.size(); ++s) {
      if (!ReadBlock(c_, static_cast<int32_t>(lba + s), table.data() + s * kForm1DataSize)) {
        c_.log.Add(ProblemCode::kIsoPathTable, where, "sector %u lies in no image",
                   static_cast<unsigned>(lba + s));
        return;
      }
    }
    size_t count = 0;
    for (size_t at = 0; at + path_table::kIdentifier <= size;) {
      const uint8_t* r = table.data() + at;
      const size_t length = r[0];
      if (length == 0 || at + path_table::kIdentifier + length > size) break;
      const uint32_t extent = big_endian ? LoadBigEndian32(r + path_table::kExtent)
                                         : LoadLittleEndian32(r + path_table::kExtent);
      ++count;
      bool found = false;
      for (const auto& entry : directories_) found |= entry.second == extent;
      if (!found) {
        c_.log.Add(ProblemCode::kIsoPathTable, where,
                   "record %zu names a directory at %u that the tree does not have", count, extent);
      }
      at += path_table::kIdentifier + length + length % 2;
    }
    if (count != directories_.size()) {
      c_.log.Add(ProblemCode::kIsoPathTable, where, "holds %zu directories; the tree has %zu",
                 count, directories_.size());
    }
  }

  VerifyContext& c_;
  const Block* pvd_ = nullptr;
  std::map<std::string, uint32_t> directories_;  // path ("\1" for the root) -> extent
};

// VCD/INFO.VCD and VCD/ENTRIES.VCD where a player looks for them, and one
// MPEGAV/AVSEQnn.DAT at the start of each MPEG track.
void RequiredFiles(VerifyContext& c) {
  const std::pair<const char*, uint32_t> fixed[] = {{"VCD/INFO.VCD", kInfoLba},
                                                    {"VCD/ENTRIES.VCD", kEntriesLba}};
  for (const auto& [path, lba] : fixed) {
    const VolumeEntry* file = c.facts.Find(path);
    if (file == nullptr) {
      c.log.Add(ProblemCode::kIsoMissingFile, Where("volume"), "%s is missing", path);
    } else if (file->extent != lba) {
      c.log.Add(ProblemCode::kIsoExtent, Where("record ") + path,
                "lies at %u; a player reads it at %u", file->extent, lba);
    }
  }
  for (size_t t = 1; t < c.disc.tracks.size(); ++t) {
    const std::string name = "MPEGAV/" + MpegTrackFileName(static_cast<unsigned>(t));
    const VolumeEntry* file = c.facts.Find(name);
    if (file == nullptr) {
      c.log.Add(ProblemCode::kIsoMissingFile, Where("volume"), "%s for track %u is missing",
                name.c_str(), c.disc.tracks[t].number);
      continue;
    }
    const TrackSpan& track = c.disc.tracks[t];
    if (file->extent != static_cast<uint32_t>(track.start)) {
      c.log.Add(ProblemCode::kTrackAddress, Where("record ") + name,
                "extent %u; track %u starts at %d", file->extent, track.number,
                static_cast<int>(track.start));
    }
    c.facts.streams.push_back({name, track.start, track.end, false, static_cast<unsigned>(t - 1)});
  }
}

}  // namespace

void CheckVolume(VerifyContext& context) {
  VolumeWalk walk(context);
  Block pvd{};
  if (!walk.Descriptors(pvd)) return;
  walk.Tree(pvd);
  walk.VolumeSize(pvd);
  walk.PathTables(pvd);
  RequiredFiles(context);
}

}  // namespace vcd2
