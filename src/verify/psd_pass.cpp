// LOT.VCD and PSD.VCD with their extended forms, read with the descriptor
// layouts their writer uses.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/byte_order.h"
#include "base/vcd_file_layout.h"
#include "verify/passes.h"

namespace vcd2 {
namespace {

constexpr size_t kLotSize = kLotSectors * kForm1DataSize;
constexpr size_t kLotEntries = kLotSize / 2;
constexpr uint16_t kLastTrackItem = 99;
constexpr uint16_t kLastEntryItem = 599;
// The furthest a 16-bit offset reaches, and the end list behind it.
constexpr size_t kMaxPsdSize = (size_t{0xFFFF} + 1) * kPsdOffsetUnit;

std::vector<uint8_t> ReadFile(VerifyContext& c, const VolumeEntry& file, size_t limit) {
  std::vector<uint8_t> bytes(std::min<size_t>(file.size, limit));
  std::array<uint8_t, kForm1DataSize> block{};
  for (size_t at = 0; at < bytes.size(); at += kForm1DataSize) {
    if (!ReadBlock(c, static_cast<int32_t>(file.extent + at / kForm1DataSize), block.data())) {
      bytes.resize(at);
      break;
    }
    std::copy_n(block.begin(), std::min(kForm1DataSize, bytes.size() - at), bytes.begin() + at);
  }
  return bytes;
}

// A descriptor's place and what its fields say.
struct Descriptor {
  uint8_t type = 0;
  size_t size = 0;
  uint16_t lid = 0;
  size_t count = 0;
  std::vector<uint16_t> targets;  // offsets of PREVIOUS... and the selections
  std::vector<uint16_t> items;    // play item numbers
};

bool ParseDescriptor(const std::vector<uint8_t>& psd, size_t at, Descriptor& d) {
  if (at >= psd.size()) return false;
  const uint8_t* p = psd.data() + at;
  const size_t room = psd.size() - at;
  d.type = p[0];
  if (d.type == psd::kEndListType) {
    d.size = psd::kEndListSize;
    return room >= d.size;
  }
  if (d.type == psd::kPlayListType) {
    if (room < psd::play::kItems) return false;
    d.count = p[psd::play::kCount];
    d.size = psd::PlayListSize(d.count);
    if (room < d.size) return false;
    d.lid = LoadBigEndian16(p + psd::play::kLid);
    for (size_t f : {psd::play::kPrevious, psd::play::kNext, psd::play::kReturn}) {
      d.targets.push_back(LoadBigEndian16(p + f));
    }
    for (size_t i = 0; i < d.count; ++i)
      d.items.push_back(LoadBigEndian16(p + psd::play::kItems + 2 * i));
    return true;
  }
  if (d.type != psd::kSelectionType && d.type != psd::kExtendedSelectionType) return false;
  if (room < psd::selection::kItems) return false;
  d.count = p[psd::selection::kCount];
  d.size = psd::SelectionSize(d.count, d.type == psd::kExtendedSelectionType);
  if (room < d.size) return false;
  d.lid = LoadBigEndian16(p + psd::selection::kLid);
  for (size_t f : {psd::selection::kPrevious, psd::selection::kNext, psd::selection::kReturn,
                   psd::selection::kDefault, psd::selection::kTimeout}) {
    d.targets.push_back(LoadBigEndian16(p + f));
  }
  d.items.push_back(LoadBigEndian16(p + psd::selection::kPlayItem));
  for (size_t i = 0; i < d.count; ++i) {
    d.targets.push_back(LoadBigEndian16(p + psd::selection::kItems + 2 * i));
  }
  return true;
}

class PsdCheck {
 public:
  PsdCheck(VerifyContext& c, const char* lot_name, const char* psd_name)
      : c_(c), lot_name_(lot_name), psd_name_(psd_name) {}

  bool Read(const VolumeEntry& lot, const VolumeEntry& psd) {
    lot_ = ReadFile(c_, lot, kLotSize);
    psd_ = ReadFile(c_, psd, kMaxPsdSize);
    return lot_.size() == kLotSize && psd_.size() == std::min<size_t>(psd.size, kMaxPsdSize);
  }

  // Every LOT offset a descriptor; in each, items and targets that exist.
  void Check() {
    for (size_t lid = 0; lid < kLotEntries; ++lid) {
      const uint16_t offset = Offset(lid);
      if (offset == kUnusedLid) continue;
      ++used_;
      Descriptor d;
      const std::string where = std::string(lot_name_) + " entry " + std::to_string(lid);
      if (!ParseDescriptor(psd_, size_t{offset} * kPsdOffsetUnit, d) ||
          d.type == psd::kEndListType) {
        if (d.type == psd::kEndListType) continue;
        c_.log.Add(ProblemCode::kLotOffset, where,
                   "offset %u (byte %u) is not the start of a descriptor in %s", offset,
                   offset * kPsdOffsetUnit, psd_name_);
        continue;
      }
      const std::string at = std::string(psd_name_) + " descriptor at offset " +
                             std::to_string(offset) + " (LID " + std::to_string(d.lid) + ")";
      for (uint16_t item : d.items) Item(at, item);
      for (uint16_t target : d.targets) Target(at, target);
    }
  }

  size_t Used() const { return used_; }
  uint16_t Offset(size_t lid) const { return LoadBigEndian16(lot_.data() + 2 * lid); }
  const std::vector<uint8_t>& Bytes() const { return psd_; }

 private:
  void Item(const std::string& where, uint16_t item) {
    const size_t tracks =
        c_.disc.tracks.size() + std::max(c_.disc.audio_files.size(), AudioFiles());
    const size_t entries = EntryCount();
    const size_t units =
        c_.facts.info ? LoadBigEndian16(c_.facts.info->data() + info::kSegmentCount) : 0;
    const bool exists = item == 0 || (item >= 2 && item <= kLastTrackItem && item <= tracks) ||
                        (item >= psd::kFirstEntryItem && item <= kLastEntryItem &&
                         item < psd::kFirstEntryItem + entries) ||
                        (item >= psd::kFirstSegmentItem && item < psd::kFirstSegmentItem + units);
    if (!exists) {
      c_.log.Add(ProblemCode::kPsdItem, where,
                 "play item %u names nothing: the disc has %zu tracks, %zu entries and %zu "
                 "segment units",
                 item, tracks, entries, units);
    }
  }

  void Target(const std::string& where, uint16_t target) {
    if (target == psd::kNoTarget || target == psd::kMultiTarget || target == psd::kMultiNumTarget) {
      return;
    }
    Descriptor d;
    if (!ParseDescriptor(psd_, size_t{target} * kPsdOffsetUnit, d)) {
      c_.log.Add(ProblemCode::kPsdTarget, where, "target offset %u is not a descriptor start",
                 target);
    }
  }

  size_t AudioFiles() const {
    size_t count = 0;
    for (const VolumeEntry& file : c_.facts.files) count += file.path.rfind("CDDA/", 0) == 0;
    return count;
  }

  size_t EntryCount() {
    const VolumeEntry* file = c_.facts.Find("VCD/ENTRIES.VCD");
    std::array<uint8_t, kForm1DataSize> block{};
    if (file == nullptr || !ReadBlock(c_, static_cast<int32_t>(file->extent), block.data())) {
      return 0;
    }
    return LoadBigEndian16(block.data() + entries::kCount);
  }

  VerifyContext& c_;
  const char* lot_name_;
  const char* psd_name_;
  std::vector<uint8_t> lot_;
  std::vector<uint8_t> psd_;
  size_t used_ = 0;
};

// The extended PSD names the same lists with the same items as the plain one.
void CompareExtended(VerifyContext& c, const PsdCheck& plain, const PsdCheck& extended) {
  for (size_t lid = 0; lid < kLotEntries; ++lid) {
    const uint16_t a = plain.Offset(lid);
    const uint16_t b = extended.Offset(lid);
    const std::string where = "LOT_X.VCD entry " + std::to_string(lid);
    if ((a == kUnusedLid) != (b == kUnusedLid)) {
      c.log.Add(ProblemCode::kPsdExtended, where, "is %s in LOT.VCD and %s here",
                a == kUnusedLid ? "unused" : "used", b == kUnusedLid ? "unused" : "used");
      continue;
    }
    if (a == kUnusedLid) continue;
    Descriptor x, y;
    if (!ParseDescriptor(plain.Bytes(), size_t{a} * kPsdOffsetUnit, x) ||
        !ParseDescriptor(extended.Bytes(), size_t{b} * kPsdOffsetUnit, y)) {
      continue;  // reported by the LOT checks
    }
    const bool same_kind = x.type == y.type ||
                           (x.type == psd::kSelectionType && y.type == psd::kExtendedSelectionType);
    if (!same_kind || x.lid != y.lid || x.count != y.count || x.items != y.items) {
      c.log.Add(
          ProblemCode::kPsdExtended, where,
          "the descriptor (type %02X, LID %u, %zu items) names other items than PSD.VCD's (type "
          "%02X, LID %u, %zu items)",
          y.type, y.lid, y.count, x.type, x.lid, x.count);
    }
  }
}

}  // namespace

void CheckPlaybackControl(VerifyContext& context) {
  const VolumeEntry* lot = context.facts.Find("VCD/LOT.VCD");
  const VolumeEntry* psd = context.facts.Find("VCD/PSD.VCD");
  if (lot == nullptr || psd == nullptr || psd->size == 0) return;
  PsdCheck plain(context, "LOT.VCD", "PSD.VCD");
  if (!plain.Read(*lot, *psd)) {
    context.log.Add(ProblemCode::kIsoExtent, "ISO 9660 VCD", "LOT.VCD or PSD.VCD lies in no image");
    return;
  }
  plain.Check();
  if (context.facts.info) {
    const uint16_t lids = LoadBigEndian16(context.facts.info->data() + info::kLidCount);
    if (lids != plain.Used()) {
      context.log.Add(ProblemCode::kInfoField, "INFO.VCD byte 52 (maximum LID)",
                      "is %u; LOT.VCD gives %zu lists", lids, plain.Used());
    }
  }
  const VolumeEntry* lot_x = context.facts.Find("EXT/LOT_X.VCD");
  const VolumeEntry* psd_x = context.facts.Find("EXT/PSD_X.VCD");
  if (lot_x == nullptr || psd_x == nullptr) return;
  PsdCheck extended(context, "LOT_X.VCD", "PSD_X.VCD");
  if (!extended.Read(*lot_x, *psd_x)) {
    context.log.Add(ProblemCode::kIsoExtent, "ISO 9660 EXT",
                    "LOT_X.VCD or PSD_X.VCD lies in no image");
    return;
  }
  extended.Check();
  CompareExtended(context, plain, extended);
}

}  // namespace vcd2
