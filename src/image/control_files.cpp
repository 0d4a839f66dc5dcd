#include "image/control_files.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "base/byte_order.h"
#include "base/disc_layout.h"
#include "base/error_reporter.h"
#include "base/vcd_file_layout.h"
#include "image/image_file.h"
#include "sector/sector.h"

namespace vcd2 {
namespace {

using Block = std::array<uint8_t, kForm1DataSize>;

constexpr Subheader kControlFileSubheader = {1, 0, submode::kEndOfFile | submode::kData, 0};
static_assert(info::kAlbumIdSize == VcdProject::kAlbumIdSize);

// Version and system profile tag.
void PutIdentification(Block& block, const char* id, const VcdProject& project) {
  std::memcpy(block.data(), id, kControlFileIdSize);
  const bool video_cd_20 = project.version == 2;
  block[kVersionOffset] = video_cd_20 ? 2 : 1;
  block[kProfileTagOffset] = video_cd_20 ? 0 : 1;
}

Status WriteControlSector(const VcdProject& project, uint32_t lba, const Block& block) {
  const UniqueFile image = OpenImageForUpdate(project.image_file_name);
  if (!image) return false;
  RawSector sector{};
  SetSubheader(sector, kControlFileSubheader);
  std::copy(block.begin(), block.end(), sector.begin() + kUserDataOffset);
  return WriteSectorAt(image.get(), static_cast<int32_t>(lba), sector);
}

// One content byte per item number: the item's content type, with bit 5 on
// every unit after its first.
uint16_t PutSegmentContents(Block& block, const VcdProject& project) {
  uint16_t count = 0;
  for (const auto& item : project.segments) {
    const uint32_t first = item->position;
    const uint32_t units = (item->sector_count + kSegmentUnitSectors - 1) / kSegmentUnitSectors;
    for (uint32_t k = 0; k < units; ++k) {
      const size_t offset = info::kSegmentContents + first + k;
      if (offset >= block.size()) {
        ReportError("CD exceeds limits of VideoCD 2.0 standard in segment %d",
                    static_cast<int>(first));
        return count;
      }
      block[offset] =
          static_cast<uint8_t>(item->content_flags | (k > 0 ? info::kContinuedUnit : 0));
      count = std::max<uint16_t>(count, static_cast<uint16_t>(first + k + 1));
    }
  }
  return count;
}

}  // namespace

Status WriteInfoFile(VcdProject& project) {
  Block block{};
  PutIdentification(block, kInfoFileId, project);
  // Without ALBUM, blanks: a-characters, as in the volume identifier.
  std::replace_copy(project.album_id.begin(), project.album_id.end(),
                    block.begin() + info::kAlbumId, '\0', ' ');
  StoreBigEndian16(block.data() + info::kVolumeCount, project.volume_count);
  StoreBigEndian16(block.data() + info::kVolumeNumber, project.volume_number);
  for (size_t i = 0; i < project.mpeg_tracks.size() && i < info::kMaxPalFlagTracks; ++i) {
    if (project.mpeg_tracks[i]->video_standard == 2) {
      block[info::kPalFlags + i / 8] |= static_cast<uint8_t>(1u << (i % 8));
    }
  }
  block[info::kFlags] = 0x80;
  const bool psd = project.has_psd != 0;
  StoreBigEndian32(block.data() + info::kPsdSize, psd ? project.psd_size * kPsdOffsetUnit : 0);
  if (!project.segments.empty()) {
    StoreDiscTime(block.data() + info::kFirstSegment,
                  static_cast<int32_t>(project.segments.front()->disc_address));
  }
  block[info::kOffsetMultiplier] = kPsdOffsetUnit;
  StoreBigEndian16(block.data() + info::kLidCount,
                   psd ? static_cast<uint16_t>(project.lists.size() + 2) : 0);
  StoreBigEndian16(block.data() + info::kSegmentCount, PutSegmentContents(block, project));
  return WriteControlSector(project, kInfoLba, block);
}

Status WriteEntriesFile(VcdProject& project) {
  size_t count = project.mpeg_tracks.size();
  for (const auto& track : project.mpeg_tracks) count += track->entries.size();
  if (count > entries::kMaxEntries) {
    ReportError("%zu entries do not fit ENTRIES.VCD; a Video CD holds at most %zu.", count,
                entries::kMaxEntries);
    return false;
  }
  Block block{};
  PutIdentification(block, kEntriesFileId, project);
  StoreBigEndian16(block.data() + entries::kCount, static_cast<uint16_t>(count));
  uint8_t* entry = block.data() + entries::kFirst;
  auto put = [&entry](uint32_t track_number, uint32_t address) {
    entry[0] = Bcd(track_number);
    StoreDiscTime(entry + 1, static_cast<int32_t>(address));
    entry += entries::kEntrySize;
  };
  for (const auto& track : project.mpeg_tracks) {
    const uint32_t track_number = track->position + 2;
    put(track_number, track->disc_address);
    for (const EntryPoint* point : track->entries) {
      put(track_number, track->disc_address + point->found_position);
    }
  }
  return WriteControlSector(project, kEntriesLba, block);
}

}  // namespace vcd2
