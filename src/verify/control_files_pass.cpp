// INFO.VCD and ENTRIES.VCD, read with the layouts their writer uses.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/byte_order.h"
#include "base/vcd_file_layout.h"
#include "image/vcd_names.h"
#include "verify/passes.h"

namespace vcd2 {
namespace {

using Block = std::array<uint8_t, kForm1DataSize>;

std::string Field(const char* file, const char* field) {
  return std::string(file) + " " + field;
}

int32_t DiscAddressOf(const uint8_t* msf) {
  auto value = [](uint8_t bcd) { return (bcd >> 4) * 10 + (bcd & 0x0F); };
  return (value(msf[0]) * 60 + value(msf[1])) * kSectorsPerSecond + value(msf[2]) - kPregapSectors;
}

bool IsBcd(uint8_t byte) {
  return (byte >> 4) < 10 && (byte & 0x0F) < 10;
}

bool Read(VerifyContext& c, const char* path, Block& block) {
  const VolumeEntry* file = c.facts.Find(path);
  return file != nullptr && ReadBlock(c, static_cast<int32_t>(file->extent), block.data());
}

void Identification(VerifyContext& c, const Block& block, const char* file, const char* id,
                    ProblemCode code) {
  if (std::memcmp(block.data(), id, kControlFileIdSize) != 0) {
    c.log.Add(code, Field(file, "byte 0 (system id)"), "is \"%.8s\"; it must be %s",
              reinterpret_cast<const char*>(block.data()), id);
  }
  const uint8_t version = block[kVersionOffset];
  const uint8_t tag = block[kProfileTagOffset];
  if (!((version == 2 && tag == 0) || (version == 1 && tag <= 1))) {
    c.log.Add(code, Field(file, "byte 8 (version, profile tag)"),
              "is %u, %u; a Video CD has 2, 0 (2.0) or 1, 0/1 (1.1)", version, tag);
  }
}

// The segment play items as the SEGMENT directory lists them, against the
// count and the contents bytes of INFO.VCD.
void Segments(VerifyContext& c, const Block& info) {
  const uint16_t count = LoadBigEndian16(info.data() + info::kSegmentCount);
  if (count > info::kMaxSegmentUnits) {
    c.log.Add(ProblemCode::kInfoSegment, Field("INFO.VCD", "byte 54 (segment count)"),
              "is %u; at most %zu fit", count, info::kMaxSegmentUnits);
    return;
  }
  int32_t first_address = -1;
  unsigned covered = 0;
  for (unsigned unit = 0; unit < count;) {
    const std::string name = "SEGMENT/" + SegmentFileName(unit + 1);
    const VolumeEntry* file = c.facts.Find(name);
    if (file == nullptr) {
      c.log.Add(ProblemCode::kIsoMissingFile, std::string("ISO 9660 SEGMENT"),
                "%s for segment unit %u is missing", name.c_str(), unit + 1);
      break;
    }
    if (first_address < 0) first_address = static_cast<int32_t>(file->extent);
    const uint32_t sectors = (file->size + kForm1DataSize - 1) / kForm1DataSize;
    const unsigned units = std::max(1u, (sectors + kSegmentUnitSectors - 1) / kSegmentUnitSectors);
    for (unsigned k = 0; k < units && unit + k < count; ++k) {
      const uint8_t byte = info[info::kSegmentContents + unit + k];
      if (((byte & info::kContinuedUnit) != 0) != (k > 0)) {
        c.log.Add(ProblemCode::kInfoSegment,
                  Field("INFO.VCD", ("byte " + std::to_string(info::kSegmentContents + unit + k) +
                                     " (segment contents)")
                                        .c_str()),
                  "is %02X; unit %u is %s unit of %s", byte, unit + k + 1,
                  k == 0 ? "the first" : "a further", name.c_str());
      }
    }
    c.facts.streams.push_back({name, static_cast<int32_t>(file->extent),
                               static_cast<int32_t>(file->extent + sectors), true, unit});
    unit += units;
    covered = unit;
  }
  if (covered > count) {
    c.log.Add(ProblemCode::kInfoSegment, Field("INFO.VCD", "byte 54 (segment count)"),
              "is %u; the SEGMENT items cover %u units", count, covered);
  }
  if (first_address >= 0 && DiscAddressOf(info.data() + info::kFirstSegment) != first_address) {
    c.log.Add(ProblemCode::kInfoField, Field("INFO.VCD", "byte 48 (first segment)"),
              "is %02X:%02X:%02X; ITEM0001.DAT lies at %d", info[info::kFirstSegment],
              info[info::kFirstSegment + 1], info[info::kFirstSegment + 2],
              static_cast<int>(first_address));
  }
}

void CheckInfo(VerifyContext& c) {
  Block info{};
  if (!Read(c, "VCD/INFO.VCD", info)) return;
  c.facts.info = info;
  Identification(c, info, "INFO.VCD", kInfoFileId, ProblemCode::kInfoField);
  const uint16_t volumes = LoadBigEndian16(info.data() + info::kVolumeCount);
  const uint16_t volume = LoadBigEndian16(info.data() + info::kVolumeNumber);
  if (volumes == 0 || volume == 0 || volume > volumes) {
    c.log.Add(ProblemCode::kInfoField, Field("INFO.VCD", "byte 26 (volumes)"), "volume %u of %u",
              volume, volumes);
  }
  const size_t tracks = c.disc.tracks.empty() ? 0 : c.disc.tracks.size() - 1;
  for (size_t i = tracks; i < info::kMaxPalFlagTracks; ++i) {
    if ((info[info::kPalFlags + i / 8] >> (i % 8) & 1) != 0) {
      c.log.Add(ProblemCode::kInfoPal, Field("INFO.VCD", "byte 30 (PAL flags)"),
                "flags MPEG track %zu, which the disc does not have", i + 1);
      break;
    }
  }
  const uint32_t psd_size = LoadBigEndian32(info.data() + info::kPsdSize);
  const VolumeEntry* psd = c.facts.Find("VCD/PSD.VCD");
  if (psd_size != 0 && psd == nullptr) {
    c.log.Add(ProblemCode::kIsoMissingFile, "ISO 9660 VCD",
              "PSD.VCD is missing; INFO.VCD gives a PSD of %u bytes", psd_size);
  } else if (psd != nullptr && psd->size != psd_size) {
    c.log.Add(ProblemCode::kInfoField, Field("INFO.VCD", "byte 44 (PSD size)"),
              "is %u; PSD.VCD holds %u bytes", psd_size, psd->size);
  }
  if (psd_size != 0 && c.facts.Find("VCD/LOT.VCD") == nullptr) {
    c.log.Add(ProblemCode::kIsoMissingFile, "ISO 9660 VCD", "LOT.VCD is missing");
  }
  if (psd_size != 0 && info[info::kOffsetMultiplier] != kPsdOffsetUnit) {
    c.log.Add(ProblemCode::kInfoField, Field("INFO.VCD", "byte 51 (offset multiplier)"),
              "is %u; a Video CD has 8", info[info::kOffsetMultiplier]);
  }
  Segments(c, info);
}

// Every entry on an MPEG track, inside it, in ascending order, at the track's
// start or on a sector that holds a sequence header.
void CheckEntries(VerifyContext& c) {
  Block entries{};
  if (!Read(c, "VCD/ENTRIES.VCD", entries)) return;
  Identification(c, entries, "ENTRIES.VCD", kEntriesFileId, ProblemCode::kEntriesField);
  if (c.facts.info && entries[kVersionOffset] != (*c.facts.info)[kVersionOffset]) {
    c.log.Add(ProblemCode::kEntriesField, Field("ENTRIES.VCD", "byte 8 (version)"),
              "is %u; INFO.VCD says %u", entries[kVersionOffset], (*c.facts.info)[kVersionOffset]);
  }
  const uint16_t count = LoadBigEndian16(entries.data() + entries::kCount);
  const size_t tracks = c.disc.tracks.size() - 1;
  if (count > entries::kMaxEntries || (tracks > 0 && count < tracks)) {
    c.log.Add(ProblemCode::kEntriesField, Field("ENTRIES.VCD", "byte 10 (count)"),
              "is %u; the disc has %zu MPEG tracks and room for %zu entries", count, tracks,
              entries::kMaxEntries);
    if (count > entries::kMaxEntries) return;
  }
  int32_t previous = -1;
  for (unsigned i = 0; i < count; ++i) {
    const uint8_t* entry = entries.data() + entries::kFirst + i * entries::kEntrySize;
    const std::string where = "ENTRIES.VCD entry " + std::to_string(i + 1) + " (byte " +
                              std::to_string(entries::kFirst + i * entries::kEntrySize) + ")";
    if (!IsBcd(entry[0]) || !IsBcd(entry[1]) || !IsBcd(entry[2]) || !IsBcd(entry[3])) {
      c.log.Add(ProblemCode::kEntriesField, where, "%02X %02X %02X %02X is not BCD", entry[0],
                entry[1], entry[2], entry[3]);
      continue;
    }
    const unsigned track = (entry[0] >> 4) * 10 + (entry[0] & 0x0F);
    const int32_t address = DiscAddressOf(entry + 1);
    if (track < 2 || track - 1 >= c.disc.tracks.size()) {
      c.log.Add(ProblemCode::kEntriesField, where, "names track %u; MPEG tracks are 2 to %zu",
                track, tracks + 1);
      continue;
    }
    if (address < previous) {
      c.log.Add(ProblemCode::kEntriesOrder, where, "%d lies before the entry before it (%d)",
                static_cast<int>(address), static_cast<int>(previous));
    }
    previous = address;
    const TrackSpan& span = c.disc.tracks[track - 1];
    if (address < span.start || address >= span.end) {
      c.log.Add(ProblemCode::kEntryOutside, where, "%d lies outside track %u (%d..%d)",
                static_cast<int>(address), track, static_cast<int>(span.start),
                static_cast<int>(span.end - 1));
      continue;
    }
    RawSector sector{};
    static constexpr uint8_t kSequenceHeader[] = {0, 0, 1, 0xB3};
    if (address != span.start && c.sectors.Read(address, sector) &&
        std::search(sector.begin() + kUserDataOffset, sector.begin() + kForm2EdcOffset,
                    std::begin(kSequenceHeader),
                    std::end(kSequenceHeader)) == sector.begin() + kForm2EdcOffset) {
      c.log.Add(ProblemCode::kEntryPicture, where,
                "sector %d holds no sequence header to start playing at",
                static_cast<int>(address));
    }
  }
}

}  // namespace

void CheckControlFiles(VerifyContext& context) {
  CheckInfo(context);
  CheckEntries(context);
}

}  // namespace vcd2
