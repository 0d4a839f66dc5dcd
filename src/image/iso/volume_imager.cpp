#include "image/iso/volume_imager.h"

#include <algorithm>
#include <array>

#include "base/byte_order.h"
#include "image/iso/directory_record.h"
#include "image/iso/volume_descriptor.h"
#include "sector/image_output.h"

namespace vcd2 {
namespace {

constexpr uint32_t kSystemAreaSectors = 16;
constexpr uint32_t kTerminatorLba = kPvdLba + 1;
constexpr uint32_t kLPathTableLba = 18;
constexpr uint32_t kMPathTableLba = 19;
constexpr size_t kMaxIdentifier = 30;  // "NAME.EXT;1" within ISO 9660's 31 characters
constexpr size_t kReadChunk = 32 * kForm1DataSize;
constexpr uint8_t kEmpty = 0x00;
constexpr uint8_t kStructure = submode::kData;
constexpr uint8_t kLastOfStructure = submode::kEndOfFile | submode::kData | submode::kEndOfRecord;
const std::string kSelf(1, '\0');
const std::string kParent(1, '\1');

uint32_t SectorsFor(uint64_t bytes) {
  return static_cast<uint32_t>(
      std::max<uint64_t>(1, (bytes + kForm1DataSize - 1) / kForm1DataSize));
}

bool ValidIdentifier(const std::string& identifier) {
  return !identifier.empty() && identifier.size() <= kMaxIdentifier;
}

// Records never cross a sector: a record that does not fit starts the next.
template <typename Fn>
void PackRecords(const std::vector<size_t>& lengths, Fn&& place) {
  size_t sector = 0;
  size_t used = 0;
  for (size_t i = 0; i < lengths.size(); ++i) {
    if (used + lengths[i] > kForm1DataSize) {
      ++sector;
      used = 0;
    }
    place(i, sector, used);
    used += lengths[i];
  }
}

}  // namespace

int VolumeImager::SetTree(VolumeTree tree) {
  tree_ = std::move(tree);
  directories_.clear();
  read_files_.clear();
  auto sort_entries = [](std::vector<Entry>& entries) {
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.identifier < b.identifier; });
    for (size_t i = 1; i < entries.size(); ++i) {
      if (entries[i].identifier == entries[i - 1].identifier) return false;
    }
    return std::all_of(entries.begin(), entries.end(),
                       [](const Entry& e) { return ValidIdentifier(e.identifier); });
  };
  Directory root;
  for (const auto& file : tree_.root_files)
    root.entries.push_back({file.name + ";1", &file, nullptr});
  for (const auto& directory : tree_.directories) {
    root.entries.push_back({directory.name, nullptr, &directory});
  }
  if (!sort_entries(root.entries)) return kBadIdentifier;
  directories_.push_back(std::move(root));
  for (const Entry& entry : directories_[0].entries) {
    if (entry.directory == nullptr) continue;
    Directory directory{entry.directory, {}, 0, 0};
    for (const auto& file : entry.directory->files) {
      directory.entries.push_back({file.name + ";1", &file, nullptr});
    }
    if (!sort_entries(directory.entries)) return kBadIdentifier;
    directories_.push_back(std::move(directory));
  }
  uint32_t lba = kFirstDirectoryLba;
  for (Directory& directory : directories_) {
    std::vector<size_t> lengths = {DirectoryRecordLength(1), DirectoryRecordLength(1)};
    for (const Entry& entry : directory.entries) {
      lengths.push_back(DirectoryRecordLength(entry.identifier.size()));
    }
    size_t last_sector = 0;
    PackRecords(lengths, [&](size_t, size_t sector, size_t) { last_sector = sector; });
    directory.extent = lba;
    directory.sectors = static_cast<uint32_t>(last_sector + 1);
    lba += directory.sectors;
  }
  if (lba > reserved_end_) return kDirectoriesTooLarge;
  lba = reserved_end_;
  for (const Directory& directory : directories_) {
    for (const Entry& entry : directory.entries) {
      if (entry.file == nullptr || entry.file->kind != VCD2_NODE_READ_FILE) continue;
      read_files_.emplace_back(entry.file, lba);
      lba += SectorsFor(entry.file->size);
    }
  }
  sector_count_ = lba;
  return kOk;
}

uint32_t VolumeImager::ExtentOf(const Entry& entry) const {
  if (entry.directory != nullptr) return DirectoryOf(entry.directory).extent;
  if (entry.file->kind == VCD2_NODE_PLACED_FILE) return entry.file->first_sector;
  for (const auto& [file, extent] : read_files_) {
    if (file == entry.file) return extent;
  }
  return 0;
}

uint32_t VolumeImager::SizeOf(const Entry& entry) const {
  if (entry.directory != nullptr) return DirectoryOf(entry.directory).sectors * kForm1DataSize;
  return entry.file->size;
}

const VolumeImager::Directory& VolumeImager::DirectoryOf(const VolumeDirectory* source) const {
  for (const Directory& directory : directories_) {
    if (directory.source == source) return directory;
  }
  return directories_.front();
}

int VolumeImager::WriteVolume() {
  if (!WriteEmpty(0, kSystemAreaSectors, kEmpty) || !WriteDescriptors() || !WritePathTables()) {
    return kWriteFailed;
  }
  for (const Directory& directory : directories_) {
    if (!WriteDirectory(directory)) return kWriteFailed;
  }
  const Directory& last = directories_.back();
  if (!WriteEmpty(last.extent + last.sectors, reserved_end_, kEmpty)) return kWriteFailed;
  for (const auto& [file, extent] : read_files_) {
    const int error = WriteFile(*file, extent);
    if (error != kOk) return error;
  }
  return kOk;
}

bool VolumeImager::Append(const uint8_t* data, uint32_t lba, uint8_t submode) {
  return static_cast<bool>(sink_->AppendSector({data, kForm1DataSize}, static_cast<int32_t>(lba),
                                               SubheaderWord(0, 0, submode)));
}

bool VolumeImager::WriteEmpty(uint32_t from, uint32_t to, uint8_t submode) {
  static const std::array<uint8_t, kForm1DataSize> kZero{};
  for (uint32_t lba = from; lba < to; ++lba) {
    if (!Append(kZero.data(), lba, submode)) return false;
  }
  return true;
}

bool VolumeImager::WriteDescriptors() {
  const Directory& root = directories_.front();
  PrimaryVolumeFields fields{system_id_,    volume_id_,   volume_set_id_,   application_id_,
                             copyright_id_, abstract_id_, bibliographic_id_};
  fields.volume_space_size = sector_count_;
  fields.volume_set_size = volume_set_size_;
  fields.volume_sequence_number = volume_sequence_number_;
  fields.path_table_size = 0;
  for (const Directory& directory : directories_) {
    const size_t name = directory.source == nullptr ? 1 : directory.source->name.size();
    fields.path_table_size += static_cast<uint32_t>(8 + name + name % 2);
  }
  fields.l_path_table_lba = kLPathTableLba;
  fields.m_path_table_lba = kMPathTableLba;
  fields.root_extent = root.extent;
  fields.root_size = root.sectors * kForm1DataSize;
  fields.date = tree_.date;
  std::array<uint8_t, kForm1DataSize> block;
  BuildPrimaryVolumeDescriptor(block.data(), fields);
  if (!Append(block.data(), kPvdLba, kStructure | submode::kEndOfRecord)) return false;
  BuildSetTerminator(block.data());
  return Append(block.data(), kTerminatorLba, kLastOfStructure);
}

// Path table records: identifier length, 0, extent, parent number 1, the
// identifier and a pad byte; one table of each byte order.
bool VolumeImager::WritePathTables() {
  for (const bool big_endian : {false, true}) {
    std::array<uint8_t, kForm1DataSize> block{};
    size_t offset = 0;
    for (const Directory& directory : directories_) {
      const std::string name = directory.source == nullptr ? kSelf : directory.source->name;
      uint8_t* record = block.data() + offset;
      record[0] = static_cast<uint8_t>(name.size());
      if (big_endian) {
        StoreBigEndian32(record + path_table::kExtent, directory.extent);
        StoreBigEndian16(record + path_table::kParent, 1);
      } else {
        StoreLittleEndian32(record + path_table::kExtent, directory.extent);
        StoreLittleEndian16(record + path_table::kParent, 1);
      }
      std::copy(name.begin(), name.end(), record + path_table::kIdentifier);
      offset += path_table::kIdentifier + name.size() + name.size() % 2;
      if (offset > kForm1DataSize) return false;
    }
    if (!Append(block.data(), big_endian ? kMPathTableLba : kLPathTableLba, kLastOfStructure)) {
      return false;
    }
  }
  return true;
}

bool VolumeImager::WriteDirectory(const Directory& directory) {
  const Directory& root = directories_.front();
  std::vector<DirectoryRecordFields> records;
  auto directory_fields = [&](const std::string& identifier, const Directory& target) {
    return DirectoryRecordFields{identifier,
                                 target.extent,
                                 static_cast<uint32_t>(target.sectors * kForm1DataSize),
                                 kIsoDirectoryFlag,
                                 tree_.date,
                                 xa::kDirectory,
                                 0};
  };
  records.push_back(directory_fields(kSelf, directory));
  records.push_back(directory_fields(kParent, root));
  for (const Entry& entry : directory.entries) {
    if (entry.directory != nullptr) {
      records.push_back(directory_fields(entry.identifier, DirectoryOf(entry.directory)));
    } else {
      records.push_back({entry.identifier, ExtentOf(entry), SizeOf(entry), 0, tree_.date,
                         entry.file->attributes, entry.file->file_number});
    }
  }
  std::vector<size_t> lengths;
  for (auto& record : records) {
    record.volume_sequence_number = volume_sequence_number_;
    lengths.push_back(DirectoryRecordLength(record.identifier.size()));
  }
  std::vector<uint8_t> extent(size_t{directory.sectors} * kForm1DataSize, 0);
  PackRecords(lengths, [&](size_t i, size_t sector, size_t used) {
    WriteDirectoryRecord(extent.data() + sector * kForm1DataSize + used, records[i]);
  });
  for (uint32_t i = 0; i < directory.sectors; ++i) {
    const uint8_t mode = i + 1 == directory.sectors ? kLastOfStructure : kStructure;
    if (!Append(extent.data() + size_t{i} * kForm1DataSize, directory.extent + i, mode))
      return false;
  }
  return true;
}

// Streams a read file in chunks; a source shorter than its size reads as
// zeros behind its end.
int VolumeImager::WriteFile(const VolumeFile& file, uint32_t extent) {
  if (!source_->Open(file)) return kReadFailed;
  std::vector<uint8_t> chunk(kReadChunk);
  uint32_t remaining = file.size;
  uint32_t lba = extent;
  int result = kOk;
  do {
    const auto count = static_cast<uint32_t>(std::min<size_t>(remaining, kReadChunk));
    std::fill(chunk.begin(), chunk.end(), 0);
    for (size_t got = 0, n = 1; got < count && n > 0; got += n) {
      n = source_->Read(chunk.data() + got, count - got);
    }
    const bool last = count == remaining;
    const uint32_t word = SubheaderWord(0, 0, kStructure);
    if (!sink_->AppendFileSectors(chunk, static_cast<int32_t>(lba), count, word,
                                  last ? SubheaderWord(0, 0, kLastOfStructure) : word)) {
      result = kWriteFailed;
      break;
    }
    lba += SectorsFor(count);
    remaining -= count;
  } while (remaining > 0);
  source_->Close();
  return result;
}

}  // namespace vcd2
