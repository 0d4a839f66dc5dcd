#include "make/menu/menu_description.h"

#include "model/psd_list.h"

namespace vcd2 {
namespace {

constexpr int kMaxListDepth = 16;  // lists that only lead to lists show nothing

// The stream and time of the first picture a play target shows.
void FindPicture(const LabelRef& target, MenuButton& button, int depth) {
  if (target.kind == TargetKind::kList && target.list != nullptr && depth < kMaxListDepth &&
      !target.list->play_items.empty()) {
    FindPicture(target.list->play_items.front(), button, depth + 1);
    return;
  }
  if (target.kind != TargetKind::kItem || target.item == nullptr) return;
  const ScriptItem* item = target.item;
  if (item->item_type == ItemType::kEntry) {
    const auto* entry = static_cast<const EntryPoint*>(item);
    if (entry->track == nullptr) return;
    button.timecode = entry->timecode;
    item = entry->track;
  }
  if (item->item_type == ItemType::kMpegTrack || item->item_type == ItemType::kSegment) {
    button.stream = item->NewFullPath().value_or("");
  }
}

}  // namespace

std::optional<MenuPicture> MenuCanvas(FileType still_type) {
  MenuPicture picture;
  const bool pal = still_type == FileType::kPalLowStill || still_type == FileType::kPalHighStill;
  const bool high = still_type == FileType::kPalHighStill || still_type == FileType::kNtscHighStill;
  if (!pal && !high && still_type != FileType::kNtscLowStill) return std::nullopt;
  picture.scale = high ? 2 : 1;
  picture.width = (pal ? 384 : 320) * (high ? 2 : 1);
  picture.height = (pal ? 288 : 240) * (high ? 2 : 1);
  return picture;
}

std::optional<MenuPicture> DescribeMenu(const MenuMakeRule& rule) {
  std::optional<MenuPicture> picture = MenuCanvas(rule.GetTarget()->GetFileType());
  const PsdList* list = rule.selection.list;
  if (!picture || list == nullptr) return std::nullopt;
  picture->title = rule.title;
  if (!rule.GetSources().empty()) {
    picture->background = rule.GetSources().front()->NewFullPath().value_or("");
  }
  for (size_t i = 0; i < list->selection_items.size(); ++i) {
    MenuButton button;
    button.number = list->base + static_cast<uint32_t>(i);
    if (i < rule.item_texts.size()) button.text = rule.item_texts[i];
    FindPicture(list->selection_items[i], button, 0);
    picture->buttons.push_back(std::move(button));
  }
  return picture;
}

}  // namespace vcd2
