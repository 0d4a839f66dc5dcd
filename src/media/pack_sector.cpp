#include "media/pack_sector.h"

#include <algorithm>
#include <cstring>

#include "base/error_reporter.h"
#include "base/progress.h"
#include "media/mpeg_constants.h"

namespace vcd2 {
namespace {

constexpr uint8_t kMpegSubmode = submode::kRealTime | submode::kForm2 | submode::kVideo;   // 0x62
constexpr uint8_t kAudioSubmode = submode::kRealTime | submode::kForm2 | submode::kAudio;  // 0x64

struct PackKind {
  uint8_t channel;
  uint8_t submode;
  uint8_t coding;
};

// A pack of padding with the expected clock that fills a whole sector.
void MakeFiller(RawSector& sector, uint32_t clock) {
  sector.fill(0);
  uint8_t* pack = sector.data() + kUserDataOffset;
  StorePackHeader(pack, clock);
  const uint8_t padding[] = {0x00, 0x00, 0x01, start_code::kPadding, 0x09, 0x02, 0xFF, 0x0F};
  std::memcpy(pack + kPackHeaderSize, padding, sizeof padding);
  std::fill(pack + kPackHeaderSize + sizeof padding, pack + kVideoPackSize, 0xFF);
}

Status WriteAt(PackPlacement& placement, RawSector& sector, PackKind kind, bool end_of_record) {
  uint8_t mode = kind.submode | (end_of_record ? submode::kEndOfRecord : 0);
  if (placement.next_sector == placement.trigger_sector) mode |= submode::kTrigger;
  SetSubheader(sector, {placement.file_number, kind.channel, mode, kind.coding});
  if (!placement.writer.Write(placement.next_sector, sector)) return false;
  ++placement.next_sector;
  return true;
}

}  // namespace

Status WritePackSector(RawSector& sector, const MpegPackReader::Pack& pack,
                       PackPlacement& placement) {
  const uint32_t clock = ReadScr(sector.data() + kUserDataOffset + 4);
  if (!IsSectorPackLength(pack.length)) {
    ReportError(
        "Illegal MPEG Packet.\r\n%s: the pack at byte %llu is %zu bytes long, not %zu or %zu.",
        placement.path.c_str(), static_cast<unsigned long long>(pack.offset), pack.length,
        kVideoPackSize, kAudioPackSize);
    return false;
  }
  RawSector filler;
  // Fillers up to the pack's clock; the test cannot wrap at the top of the
  // 32-bit clock.
  while (clock > placement.expected_clock &&
         clock - placement.expected_clock >= kClockTicksPerSector) {
    MakeFiller(filler, placement.expected_clock);
    if (!WriteAt(placement, filler, {0, kMpegSubmode, 0x1F}, false)) return false;
    placement.expected_clock += kClockTicksPerSector;
    if (AbortRequested()) return false;
  }
  if (AbortRequested()) return false;
  if (placement.scanner != nullptr) {
    placement.scanner->ScanPack(sector.data() + kUserDataOffset,
                                static_cast<uint32_t>(placement.next_sector));
  }
  PackKind kind{0, kMpegSubmode, 0x1F};
  if (pack.length == kAudioPackSize) {
    kind = {1, kAudioSubmode, 0x7F};
    std::fill(sector.begin() + kUserDataOffset + kAudioPackSize,
              sector.begin() + kUserDataOffset + kVideoPackSize, 0);
  } else if (pack.stream_id == start_code::kVideo) {
    kind = {1, kMpegSubmode, 0x0F};
  } else if (pack.stream_id == start_code::kStillLow) {
    kind = {2, kMpegSubmode, 0x1F};
  } else if (pack.stream_id == start_code::kStillHigh) {
    kind = {3, kMpegSubmode, 0x3F};
  }
  if (!WriteAt(placement, sector, kind, pack.end_of_record)) return false;
  placement.expected_clock = clock + kClockTicksPerSector;
  return true;
}

}  // namespace vcd2
