#include "image/psd_descriptors.h"

#include "base/byte_order.h"
#include "model/items.h"

namespace vcd2 {
namespace {

using psd::kEndListType;
using psd::kExtendedSelectionType;
using psd::kFirstSegmentItem;
using psd::kMultiNumTarget;
using psd::kMultiTarget;
using psd::kNoTarget;
using psd::kPlayListType;
using psd::kSelectionType;
constexpr uint16_t kEntryItemOffset = psd::kFirstEntryItem - 1;  // entry numbers count from 1

uint16_t TargetOffset(const LabelRef& ref, PsdForm form, uint32_t end_offset) {
  switch (ref.kind) {
    case TargetKind::kNone:
      return kNoTarget;
    case TargetKind::kStart:
      return 0;
    case TargetKind::kStop:
      return static_cast<uint16_t>(end_offset);
    case TargetKind::kMulti:
      return kMultiTarget;
    case TargetKind::kMultiNum:
      return kMultiNumTarget;
    case TargetKind::kList:
      return static_cast<uint16_t>(form == PsdForm::kPlain ? ref.list->offset
                                                           : ref.list->extended_offset);
    default:
      return 0;
  }
}

void PutArea(std::vector<uint8_t>& out, const HotSpotArea& area) {
  out.insert(out.end(), area.begin(), area.end());
}

std::vector<uint8_t> PlayListDescriptor(const PsdList& list, PsdForm form, uint32_t end_offset) {
  std::vector<uint8_t> out = {kPlayListType, static_cast<uint8_t>(list.play_items.size())};
  AppendBigEndian16(out, static_cast<uint16_t>(list.lid));
  for (const LabelRef* ref : {&list.previous, &list.next, &list.return_target}) {
    AppendBigEndian16(out, TargetOffset(*ref, form, end_offset));
  }
  AppendBigEndian16(out, list.playing_time);
  out.push_back(list.wait);
  out.push_back(list.auto_wait);
  for (const LabelRef& item : list.play_items) AppendBigEndian16(out, PlayItemNumber(item));
  return out;
}

std::vector<uint8_t> SelectionDescriptor(const PsdList& list, PsdForm form, uint32_t end_offset) {
  const bool extended = form == PsdForm::kExtended;
  std::vector<uint8_t> out = {extended ? kExtendedSelectionType : kSelectionType, 0,
                              static_cast<uint8_t>(list.selection_items.size()), list.base};
  AppendBigEndian16(out, static_cast<uint16_t>(list.lid));
  for (const LabelRef* ref :
       {&list.previous, &list.next, &list.return_target, &list.default_target, &list.timeout}) {
    AppendBigEndian16(out, TargetOffset(*ref, form, end_offset));
  }
  out.push_back(list.wait);
  out.push_back(list.loop | list.jump);
  AppendBigEndian16(out, list.play_items.empty() ? 0 : PlayItemNumber(list.play_items.front()));
  for (const LabelRef& item : list.selection_items)
    AppendBigEndian16(out, TargetOffset(item, form, end_offset));
  if (extended) {
    for (const LabelRef* ref :
         {&list.previous, &list.next, &list.return_target, &list.default_target}) {
      PutArea(out, ref->area);
    }
    for (const LabelRef& item : list.selection_items) PutArea(out, item.area);
  }
  return out;
}

}  // namespace

uint16_t PlayItemNumber(const LabelRef& ref) {
  if (ref.kind != TargetKind::kItem) return 0;
  const ScriptItem& item = *ref.item;
  switch (item.item_type) {
    case ItemType::kAudioTrack:
      return static_cast<uint16_t>(item.position);
    case ItemType::kMpegTrack:
      return static_cast<uint16_t>(item.position + 2);
    case ItemType::kSegment:
      return static_cast<uint16_t>(item.position + kFirstSegmentItem);
    case ItemType::kEntry:
      return static_cast<uint16_t>(item.position + kEntryItemOffset);
    default:
      return 0;
  }
}

std::vector<uint8_t> BuildDescriptor(const PsdList& list, PsdForm form, uint32_t end_offset) {
  return list.kind == ListKind::kPlayList ? PlayListDescriptor(list, form, end_offset)
                                          : SelectionDescriptor(list, form, end_offset);
}

size_t DescriptorSize(const PsdList& list, PsdForm form) {
  const size_t n =
      list.kind == ListKind::kPlayList ? list.play_items.size() : list.selection_items.size();
  if (list.kind == ListKind::kPlayList) return psd::PlayListSize(n);
  return psd::SelectionSize(n, form == PsdForm::kExtended);
}

std::vector<uint8_t> EndListDescriptor() {
  std::vector<uint8_t> out(psd::kEndListSize, 0);
  out[0] = kEndListType;
  return out;
}

}  // namespace vcd2
