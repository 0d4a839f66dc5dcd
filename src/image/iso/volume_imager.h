#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/iso/volume_io.h"
#include "image/iso/volume_tree.h"

namespace vcd2 {

// Writes an ISO 9660 volume with CD-ROM XA system use fields:
//   LBA 0..15 system area, 16 the primary volume descriptor, 17 the set
//   terminator, 18 and 19 the L and M path tables, 20.. the root directory and
//   the directories in name order, then empty sectors up to the reserved end,
//   then the data of the read files. Placed files keep the sectors they name.
class VolumeImager {
 public:
  // Error codes of SetTree and WriteVolume.
  enum Error : int {
    kOk = 0,
    kBadIdentifier = 1,        // empty, too long or repeated in a directory
    kDirectoriesTooLarge = 2,  // the directories reach the reserved sectors
    kWriteFailed = 3,
    kReadFailed = 4,
  };
  static constexpr uint32_t kFirstDirectoryLba = 20;

  void SetVolumeSetSize(uint16_t size) { volume_set_size_ = size; }
  void SetVolumeSequenceNumber(uint16_t number) { volume_sequence_number_ = number; }
  void SetSystemIdentifier(std::string id) { system_id_ = std::move(id); }
  void SetVolumeIdentifier(std::string id) { volume_id_ = std::move(id); }
  void SetApplicationIdentifier(std::string id) { application_id_ = std::move(id); }
  void SetVolumeSetIdentifier(std::string id) { volume_set_id_ = std::move(id); }
  void SetCopyrightFileIdentifier(std::string id) { copyright_id_ = std::move(id); }
  void SetAbstractFileIdentifier(std::string id) { abstract_id_ = std::move(id); }
  void SetBibliographicFileIdentifier(std::string id) { bibliographic_id_ = std::move(id); }
  // Sectors from the end of the directories up to this LBA are left empty for
  // files written later; read files start here.
  void SetReservedEnd(uint32_t lba) { reserved_end_ = lba; }
  void SetIo(SectorSink& sink, FileSource& source) {
    sink_ = &sink;
    source_ = &source;
  }

  // Takes the tree, checks it and lays the volume out.
  int SetTree(VolumeTree tree);
  // Writes the whole volume through the sink.
  int WriteVolume();
  // Sectors of the volume from LBA 0 to its end; 0 before a layout.
  uint32_t SectorCount() const { return sector_count_; }

 private:
  struct Entry {
    std::string identifier;
    const VolumeFile* file = nullptr;            // a file, or
    const VolumeDirectory* directory = nullptr;  // a directory of the root
  };
  struct Directory {
    const VolumeDirectory* source = nullptr;  // null for the root
    std::vector<Entry> entries;               // sorted, without "." and ".."
    uint32_t extent = 0;
    uint32_t sectors = 0;
  };

  uint32_t ExtentOf(const Entry& entry) const;
  uint32_t SizeOf(const Entry& entry) const;
  const Directory& DirectoryOf(const VolumeDirectory* source) const;
  bool Append(const uint8_t* data, uint32_t lba, uint8_t submode);
  bool WriteEmpty(uint32_t from, uint32_t to, uint8_t submode);
  bool WriteDescriptors();
  bool WritePathTables();
  bool WriteDirectory(const Directory& directory);
  int WriteFile(const VolumeFile& file, uint32_t extent);

  uint16_t volume_set_size_ = 1;
  uint16_t volume_sequence_number_ = 1;
  std::string system_id_, volume_id_, application_id_, volume_set_id_;
  std::string copyright_id_, abstract_id_, bibliographic_id_;
  uint32_t reserved_end_ = 0;
  SectorSink* sink_ = nullptr;
  FileSource* source_ = nullptr;

  VolumeTree tree_;
  std::vector<Directory> directories_;                              // root first, then by name
  std::vector<std::pair<const VolumeFile*, uint32_t>> read_files_;  // with their extents
  uint32_t sector_count_ = 0;
};

}  // namespace vcd2
