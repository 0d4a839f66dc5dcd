#include "image/append_segments.h"

#include <cstdio>
#include <string>
#include <vector>

#include "base/disc_layout.h"
#include "base/progress.h"
#include "image/gap_sectors.h"
#include "image/image_file.h"
#include "image/iso/iso_directory.h"
#include "image/iso/volume_descriptor.h"
#include "image/vcd_names.h"
#include "media/source_writer.h"

namespace vcd2 {
namespace {

constexpr Subheader kSegmentPadding = {1, 0, submode::kRealTime | submode::kForm2, 0};

// Pads with copies of sector up to the next multiple of 150.
Status PadToUnit(SectorWriter& writer, uint32_t& next_free, const RawSector& sector) {
  const uint32_t count =
      (kSegmentUnitSectors - next_free % kSegmentUnitSectors) % kSegmentUnitSectors;
  if (!WriteSectors(writer, static_cast<int32_t>(next_free), static_cast<int32_t>(count), sector)) {
    return false;
  }
  next_free += count;
  return true;
}

Status AppendCdiFile(VcdProject& project, std::FILE* image, CdiFile& file) {
  ShowStatus("Appendig CD-i application...");
  SetProgressRange(0, 100);
  RandomAccessWriter writer(image);
  const uint32_t first = project.next_free_address;
  const SourceResult source =
      WriteSourceSectors(project, writer, file, static_cast<int32_t>(first), 1);
  if (!source.ok) return false;
  project.next_free_address = static_cast<uint32_t>(source.next_sector);
  file.byte_size = source.size;
  const std::string name = file.name.substr(0, file.name.rfind(';'));
  return SetIsoDirectory(image, "CDI\\" + name + ";1", first, source.size);
}

// Marks the item's last sector as the end of its file.
Status MarkEndOfFile(std::FILE* image, uint32_t lba) {
  RawSector sector;
  if (!ReadSectorAt(image, static_cast<int32_t>(lba), sector)) return false;
  sector[kSubheaderOffset + 2] |= submode::kEndOfFile;
  sector[kSubheaderOffset + 6] |= submode::kEndOfFile;
  return WriteSectorAt(image, static_cast<int32_t>(lba), sector);
}

// A placeholder record and what it becomes.
struct SegmentRecord {
  std::string placeholder;
  uint32_t extent;
  uint32_t size;
  std::string identifier;
};

Status AppendSegment(VcdProject& project, std::FILE* image, SegmentItem& item, uint32_t& number,
                     std::vector<SegmentRecord>& records) {
  const uint32_t first = project.next_free_address;
  item.disc_address = first;
  char status[64];
  std::snprintf(status, sizeof status, "Appendig segment play item %u...",
                static_cast<unsigned>(item.position + 1));
  ShowStatus(status);
  SetProgressRange(0, 100);
  RandomAccessWriter writer(image);
  const SourceResult source =
      WriteSourceSectors(project, writer, item, static_cast<int32_t>(first), 1);
  if (!source.ok) return false;
  project.next_free_address = static_cast<uint32_t>(source.next_sector);
  item.sector_count = source.sector_count;
  const uint32_t units = (item.sector_count + kSegmentUnitSectors - 1) / kSegmentUnitSectors;
  const std::string placeholder = "SEGMENT\\" + SegmentFileName(item.position + 1) + ";1";
  item.position = number;
  number += units;
  records.push_back({placeholder, first,
                     static_cast<uint32_t>(units * kSegmentUnitSectors * kForm1DataSize),
                     SegmentFileName(item.position + 1) + ";1"});
  item.content_flags = source.content_type;
  RawSector padding{};
  SetSubheader(padding, kSegmentPadding);
  if (!PadToUnit(writer, project.next_free_address, padding)) return false;
  return MarkEndOfFile(image, project.next_free_address - 1);
}

}  // namespace

Status AppendSegments(VcdProject& project) {
  const UniqueFile image = OpenImageForUpdate(project.image_file_name);
  if (!image) return false;
  for (auto& file : project.cdi_files) {
    if (!AppendCdiFile(project, image.get(), *file)) return false;
  }
  RandomAccessWriter writer(image.get());
  if (!PadToUnit(writer, project.next_free_address, EmptyGapSector())) return false;
  uint32_t number = 0;
  std::vector<SegmentRecord> records;
  for (auto& item : project.segments) {
    if (!AppendSegment(project, image.get(), *item, number, records)) return false;
  }
  // New numbers never fall below old ones, so renaming from the last record
  // to the first never meets a name that is still to be looked up.
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (!SetIsoDirectory(image.get(), record->placeholder, record->extent, record->size,
                         record->identifier)) {
      return false;
    }
  }
  if (!WriteSectors(writer, static_cast<int32_t>(project.next_free_address), kSegmentUnitSectors,
                    EmptyGapSector())) {
    return false;
  }
  project.next_free_address += kSegmentUnitSectors;
  ShowStatus("");
  SetProgressRange(0, 100);
  return true;
}

}  // namespace vcd2
