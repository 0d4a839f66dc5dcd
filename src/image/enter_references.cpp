#include "image/enter_references.h"

#include <cstdio>

#include "base/byte_order.h"
#include "base/progress.h"
#include "image/gap_sectors.h"
#include "image/image_file.h"
#include "image/iso/iso_directory.h"
#include "image/iso/volume_descriptor.h"
#include "image/vcd_names.h"

namespace vcd2 {
namespace {

constexpr uint32_t kVolumeTail = 2;

// A directory record that cannot be found has been reported; the step goes on.
void PlaceTrack(std::FILE* image, ScriptItem& track, uint32_t& next_free, const std::string& path) {
  track.disc_address = next_free + kTrackPregapDistance;
  next_free = track.disc_address + track.sector_count;
  (void)SetIsoDirectory(image, path, track.disc_address, track.sector_count * kForm1DataSize);
}

Status WriteVolumeSpaceSize(std::FILE* image, uint32_t size) {
  RawSector sector;
  if (!ReadSectorAt(image, static_cast<int32_t>(kPvdLba), sector)) return false;
  StoreBothEndian32(sector.data() + kUserDataOffset + kPvdVolumeSpaceSizeOffset, size);
  return WriteSectorAt(image, static_cast<int32_t>(kPvdLba), sector);
}

}  // namespace

Status EnterReferences(VcdProject& project) {
  if (AbortRequested()) return false;
  const UniqueFile image = OpenImageForUpdate(project.image_file_name);
  if (!image) return false;
  uint32_t& next_free = project.next_free_address;
  unsigned number = 1;
  for (auto& track : project.mpeg_tracks) {
    PlaceTrack(image.get(), *track, next_free, "MPEGAV\\" + MpegTrackFileName(number++) + ";1");
  }
  if (!project.audio_tracks.empty()) {
    if (project.mpeg_tracks.empty()) {
      RandomAccessWriter writer(image.get());
      if (!WriteSectors(writer, static_cast<int32_t>(next_free), kScramblerGapSectors,
                        ScramblerGapSector())) {
        return false;
      }
      next_free += kScramblerGapSectors;
    }
    next_free += kAudioLeadSectors;
  }
  for (auto& track : project.audio_tracks) {
    PlaceTrack(image.get(), *track, next_free, "CDDA\\" + AudioTrackFileName(++number) + ";1");
  }
  next_free += kVolumeTail;
  return WriteVolumeSpaceSize(image.get(), next_free);
}

}  // namespace vcd2
