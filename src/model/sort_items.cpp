#include "model/sort_items.h"

#include <algorithm>
#include <map>

#include "base/error_reporter.h"

namespace vcd2 {
namespace {

constexpr uint32_t kFirstSequence = 1;
constexpr uint32_t kLastSequence = 32766;

}  // namespace

// A stable sort keeps the first of equal numbers in front, which is the item
// a repeated search for the smallest number left takes.
template <typename T>
Status SortBySequence(OwnedList<T>& list) {
  const size_t count = list.size();
  std::erase_if(list, [](const auto& item) {
    return item->sequence < kFirstSequence || item->sequence > kLastSequence;
  });
  std::stable_sort(list.begin(), list.end(),
                   [](const auto& a, const auto& b) { return a->sequence < b->sequence; });
  const auto repeated = std::unique(list.begin(), list.end(), [](const auto& a, const auto& b) {
    return a->sequence == b->sequence;
  });
  list.erase(repeated, list.end());
  for (size_t i = 0; i < list.size(); ++i) list[i]->position = static_cast<uint32_t>(i);
  if (list.size() < count) {
    ReportError("reused sequence number.");
    return false;
  }
  return true;
}

template Status SortBySequence(OwnedList<MpegTrack>&);
template Status SortBySequence(OwnedList<AudioTrack>&);
template Status SortBySequence(OwnedList<SegmentItem>&);
template Status SortBySequence(OwnedList<OutputName>&);

void SortPauseMarks(OwnedList<PauseMark>& marks) {
  std::map<std::string, size_t> group_of_label;
  for (const auto& mark : marks) {
    group_of_label.emplace(mark->reference.name, group_of_label.size());
  }
  std::stable_sort(marks.begin(), marks.end(), [&](const auto& a, const auto& b) {
    const size_t group_a = group_of_label[a->reference.name];
    const size_t group_b = group_of_label[b->reference.name];
    return group_a != group_b ? group_a < group_b : a->position < b->position;
  });
}

Status SortItems(VcdProject& project) {
  if (!SortBySequence(project.mpeg_tracks) || !SortBySequence(project.audio_tracks) ||
      !SortBySequence(project.segments) || !SortBySequence(project.output_names)) {
    return false;
  }
  SortPauseMarks(project.pause_marks);
  return true;
}

}  // namespace vcd2
