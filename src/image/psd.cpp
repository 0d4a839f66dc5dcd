#include "image/psd.h"

#include <array>
#include <cerrno>

#include "base/byte_order.h"
#include "base/disc_layout.h"
#include "base/error_reporter.h"
#include "base/file_error.h"
#include "base/unique_file.h"
#include "image/image_file.h"
#include "image/iso/iso_directory.h"
#include "image/psd_descriptors.h"
#include "sector/sector.h"

namespace vcd2 {
namespace {

constexpr uint32_t kUnitsPerSector = kForm1DataSize / kPsdOffsetUnit;
constexpr size_t kLotEntries = kLotSectors * kForm1DataSize / 2;
constexpr size_t kMaxLids = kLotEntries - 1;  // LID 0 is not used
constexpr size_t kMaxListItems = 255;         // counted in one byte of a descriptor

uint32_t Units(size_t bytes) {
  return static_cast<uint32_t>((bytes + kPsdOffsetUnit - 1) / kPsdOffsetUnit);
}

// The lists in PSD order: the START list first, then the others.
std::vector<PsdList*> PsdOrder(VcdProject& project) {
  std::vector<PsdList*> order = {project.start_list};
  for (auto& list : project.lists) {
    if (list.get() != project.start_list) order.push_back(list.get());
  }
  return order;
}

Status FindStartList(VcdProject& project) {
  project.start_list = nullptr;
  for (auto& list : project.lists) {
    if (list->label_kind != ListLabelKind::kStart) continue;
    if (project.start_list != nullptr) {
      ReportError("More than one START label defined.");
      return false;
    }
    project.start_list = list.get();
  }
  if (project.start_list == nullptr) {
    ReportError("Must have START label defined.");
    return false;
  }
  return true;
}

Status CheckLists(const VcdProject& project) {
  if (project.lists.size() + 1 > kMaxLids) {
    ReportError("%zu play lists and selections do not fit the list ID table (at most %zu).",
                project.lists.size(), kMaxLids - 1);
    return false;
  }
  for (const auto& list : project.lists) {
    if (list->play_items.size() > kMaxListItems || list->selection_items.size() > kMaxListItems) {
      ReportError("List %s (line %u) has more than %zu items.",
                  list->label_kind == ListLabelKind::kStart ? "START" : list->label.c_str(),
                  static_cast<unsigned>(list->line), kMaxListItems);
      return false;
    }
    if (list->kind == ListKind::kSelection && list->play_items.empty()) {
      ReportError("Selection %s has no play item.",
                  list->label_kind == ListLabelKind::kStart ? "START" : list->label.c_str());
      return false;
    }
  }
  return true;
}

// Plain descriptors never cross a sector; extended ones are packed.
void PlanOffsets(VcdProject& project) {
  uint32_t offset = 0;
  uint32_t extended = 0;
  uint32_t used = 0;  // units used in the current sector
  uint32_t lid = 1;
  for (PsdList* list : PsdOrder(project)) {
    const uint32_t size = Units(DescriptorSize(*list, PsdForm::kPlain));
    if (used + size > kUnitsPerSector) {
      offset = (offset + kUnitsPerSector - 1) / kUnitsPerSector * kUnitsPerSector;
      used = 0;
    }
    list->lid = lid++;
    list->offset = offset;
    list->extended_offset = extended;
    offset += size;
    used += size;
    extended += Units(DescriptorSize(*list, PsdForm::kExtended));
  }
  project.psd_size = offset + 1;  // the end list
  project.extended_psd_size = extended + 1;
}

// A new file, named after prefix, in the build's private temporary folder.
Status WriteTemporary(VcdProject& project, const char* prefix, std::string& path,
                      const std::vector<uint8_t>& bytes) {
  UniqueFile file = project.temp_folder.CreateFile(prefix, path);
  if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
      std::fflush(file.get()) != 0) {
    ReportError("Could not open image file.%s", FileErrorLine(path, errno).c_str());
    return false;
  }
  return true;
}

// LID n at byte 2n; LID 1 is the START list at offset 0.
std::vector<uint8_t> LotBytes(VcdProject& project, PsdForm form) {
  std::vector<uint8_t> bytes(kLotEntries * 2, 0xFF);
  auto put = [&bytes](size_t lid, uint32_t offset) {
    StoreBigEndian16(bytes.data() + 2 * lid, static_cast<uint16_t>(offset));
  };
  put(0, 0);
  size_t lid = 1;
  for (const PsdList* list : PsdOrder(project)) {
    put(lid++, form == PsdForm::kPlain ? list->offset : list->extended_offset);
  }
  const uint32_t end = form == PsdForm::kPlain ? project.psd_size : project.extended_psd_size;
  put(lid, end - 1);
  return bytes;
}

uint32_t EndOffset(const VcdProject& project, PsdForm form) {
  return (form == PsdForm::kPlain ? project.psd_size : project.extended_psd_size) - 1;
}

// The descriptors of PSD_X.VCD, packed, and the end list.
std::vector<uint8_t> ExtendedPsdBytes(VcdProject& project) {
  std::vector<uint8_t> bytes;
  const uint32_t end = EndOffset(project, PsdForm::kExtended);
  for (const PsdList* list : PsdOrder(project)) {
    std::vector<uint8_t> descriptor = BuildDescriptor(*list, PsdForm::kExtended, end);
    descriptor.resize(size_t{Units(descriptor.size())} * kPsdOffsetUnit, 0);
    bytes.insert(bytes.end(), descriptor.begin(), descriptor.end());
  }
  const auto end_list = EndListDescriptor();
  bytes.insert(bytes.end(), end_list.begin(), end_list.end());
  return bytes;
}

}  // namespace

// Written once for the volume, and again when the segments have their final
// numbers.
Status BuildPsd(VcdProject& project) {
  if (!FindStartList(project) || !CheckLists(project)) return false;
  PlanOffsets(project);
  return WriteTemporary(project, "PSD", project.psd_temp_path, ExtendedPsdBytes(project));
}

Status BuildLot(VcdProject& project) {
  return WriteTemporary(project, "LOT", project.lot_temp_path,
                        LotBytes(project, PsdForm::kExtended));
}

Status InsertPsd(VcdProject& project) {
  const UniqueFile image = OpenImageForUpdate(project.image_file_name);
  if (!image) return false;
  RawSector sector{};
  uint32_t lba = kPsdLba;
  size_t used = 0;
  auto write_block = [&](uint8_t mode) {
    SetSubheader(sector, {0, 0, mode, 0});
    const bool written =
        static_cast<bool>(WriteSectorAt(image.get(), static_cast<int32_t>(lba++), sector));
    sector.fill(0);
    used = 0;
    return written;
  };
  auto place = [&](const std::vector<uint8_t>& descriptor) {
    if (descriptor.size() > kForm1DataSize) {
      ReportError("A PSD descriptor of %zu bytes does not fit a sector.", descriptor.size());
      return false;
    }
    if (kForm1DataSize - used < descriptor.size() && !write_block(submode::kData)) return false;
    std::copy(descriptor.begin(), descriptor.end(), sector.begin() + kUserDataOffset + used);
    used += size_t{Units(descriptor.size())} * kPsdOffsetUnit;
    return true;
  };
  const uint32_t end = EndOffset(project, PsdForm::kPlain);
  for (const PsdList* list : PsdOrder(project)) {
    if (!place(BuildDescriptor(*list, PsdForm::kPlain, end))) return false;
  }
  if (!place(EndListDescriptor()) || !write_block(submode::kEndOfFile | submode::kData)) {
    return false;
  }
  return SetIsoDirectory(image.get(), "VCD\\PSD.VCD;1", kPsdLba,
                         project.psd_size * kPsdOffsetUnit) &&
         RewriteIsoFile(image.get(), "EXT\\PSD_X.VCD;1", ExtendedPsdBytes(project));
}

Status InsertLot(VcdProject& project) {
  const UniqueFile image = OpenImageForUpdate(project.image_file_name);
  if (!image) return false;
  const std::vector<uint8_t> bytes = LotBytes(project, PsdForm::kPlain);
  for (uint32_t block = 0; block < kLotSectors; ++block) {
    RawSector sector{};
    const bool last = block + 1 == kLotSectors;
    SetSubheader(
        sector,
        {0, 0, static_cast<uint8_t>(last ? submode::kEndOfFile | submode::kData : submode::kData),
         0});
    std::copy_n(bytes.begin() + block * kForm1DataSize, kForm1DataSize,
                sector.begin() + kUserDataOffset);
    if (!WriteSectorAt(image.get(), static_cast<int32_t>(kLotLba + block), sector)) return false;
  }
  return true;
}

}  // namespace vcd2
