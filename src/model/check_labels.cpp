#include "model/check_labels.h"

#include <algorithm>
#include <vector>

#include "base/error_reporter.h"
#include "base/progress.h"
#include "model/check_menus.h"

namespace vcd2 {
namespace {

// The label check's running state: a project and whether all went well.
class LabelChecker {
 public:
  explicit LabelChecker(VcdProject& project) : project_(project) {}

  Status Run();

 private:
  void MarkFailed() { success_ = false; }

  Status BindMounts();
  Status BindMount(FileRef& file);
  void AttachEntries();
  void NumberEntries();
  Status CheckLists();
  void CheckSelection(PsdList& list);
  void CheckMultiDefault(PsdList& list);
  void CheckPauseMarks();
  Status CheckPsdPresence();
  void CheckOutputNames();

  bool ResolveToItem(LabelRef& ref);
  bool ResolveToList(LabelRef& ref);
  void ResolvePlayTarget(LabelRef& ref);

  VcdProject& project_;
  bool success_ = true;
  int start_count_ = 0;
};

template <typename T>
ScriptItem* FindByLabel(const OwnedList<T>& list, const std::string& label) {
  for (const auto& item : list) {
    if (item->label == label) return item.get();
  }
  return nullptr;
}

// The phase makes no progress calls, so a stop request can only predate it.
Status LabelChecker::Run() {
  if (AbortRequested()) return false;
  if (!BindMounts()) return false;
  AttachEntries();
  NumberEntries();
  if (!success_) return false;
  if (!CheckLists()) return false;
  if (!CheckMenuSelections(project_)) MarkFailed();
  CheckPauseMarks();
  if (!CheckPsdPresence()) return false;
  CheckOutputNames();
  return success_;
}

// A mount label that names no mount is remembered; a reference without any
// location ends the phase.
Status LabelChecker::BindMount(FileRef& file) {
  if (file.IsMountRelative()) {
    const MountPoint* mount = project_.FindMount(file.FirstName());
    if (mount == nullptr) {
      ReportError("Undefined mount label %s.", file.FirstName().c_str());
      MarkFailed();
    } else {
      file.BindMount(mount);
    }
  } else if (file.HasNoLocation()) {
    ReportError("Cannot determine type of label.");
    return false;
  }
  return true;
}

Status LabelChecker::BindMounts() {
  auto bind_all = [this](auto& list) {
    for (auto& item : list) {
      if (!BindMount(*item)) return false;
    }
    return true;
  };
  if (!bind_all(project_.mpeg_tracks) || !bind_all(project_.audio_tracks) ||
      !bind_all(project_.segments)) {
    return false;
  }
  for (auto& file : project_.cdi_files) {
    // A GENRTF file has no source of its own; its parts have.
    auto* rtf = dynamic_cast<RtfFile*>(file.get());
    if (rtf != nullptr ? !bind_all(rtf->parts) : !BindMount(*file)) return false;
  }
  if (!bind_all(project_.descriptor_files) || !bind_all(project_.output_names)) return false;
  for (auto& rule : project_.makes) {
    if (!BindMount(*rule->GetTarget())) return false;
    for (const auto& source : rule->GetSources()) {
      if (!BindMount(*source)) return false;
    }
  }
  return !project_.log_file || BindMount(*project_.log_file);
}

void LabelChecker::AttachEntries() {
  for (auto& entry : project_.entries) {
    auto* track = static_cast<MpegTrack*>(FindByLabel(project_.mpeg_tracks, entry->track_label));
    if (track == nullptr) {
      ReportError("Could not find MPEG Track %s for entry %s", entry->track_label.c_str(),
                  entry->label.c_str());
      MarkFailed();
      continue;
    }
    entry->track = track;
    track->entries.push_back(entry.get());
  }
}

// Each track's start takes a number, then its entries in timecode order. An
// entry at time 0, or at the time of an earlier entry of its track, gets none
// and leaves the track's list; the user is told which entry took its place.
void LabelChecker::NumberEntries() {
  uint32_t counter = 1;
  for (auto& track : project_.mpeg_tracks) {
    auto& entries = track->entries;
    std::erase_if(entries, [](const EntryPoint* entry) { return entry->timecode == 0; });
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto* a, const auto* b) { return a->timecode < b->timecode; });
    std::vector<EntryPoint*> kept;
    for (EntryPoint* entry : entries) {
      if (!kept.empty() && kept.back()->timecode == entry->timecode) {
        entry->dropped_for = kept.back();
        ReportWarning("Entry %s (line %u) is dropped: it falls on the time of entry %s (line %u).",
                      entry->label.c_str(), entry->line, kept.back()->label.c_str(),
                      kept.back()->line);
        continue;
      }
      kept.push_back(entry);
      entry->position = ++counter;
    }
    entries = std::move(kept);
    ++counter;
  }
}

Status LabelChecker::CheckLists() {
  for (auto& list : project_.lists) {
    if (list->label_kind == ListLabelKind::kStart) {
      ++start_count_;
    } else if (list->label_kind != ListLabelKind::kNamed) {
      ReportError("Unexpected label type.");
      return false;
    }
    for (LabelRef* ref : {&list->previous, &list->next, &list->return_target}) {
      if (!ResolveToList(*ref)) MarkFailed();
    }
    for (auto& item : list->play_items) ResolvePlayTarget(item);
    if (!ResolveToList(list->default_target)) MarkFailed();
    if (list->kind == ListKind::kSelection) CheckSelection(*list);
  }
  return true;
}

void LabelChecker::CheckSelection(PsdList& list) {
  if (!ResolveToList(list.timeout)) MarkFailed();
  list.base = 1;
  const TargetKind default_kind = list.default_target.kind;
  if (default_kind == TargetKind::kMulti || default_kind == TargetKind::kMultiNum) {
    CheckMultiDefault(list);
    return;
  }
  for (auto& item : list.selection_items) {
    if (!ResolveToList(item)) MarkFailed();
  }
}

// With a MULTI or MULTINUM default, the first play item is an MPEG track and
// there is one selection item for its start and each of its entries.
void LabelChecker::CheckMultiDefault(PsdList& list) {
  for (auto& item : list.selection_items) {
    if (!ResolveToList(item)) MarkFailed();
  }
  const LabelRef* first = list.play_items.empty() ? nullptr : &list.play_items.front();
  if (first == nullptr || first->kind != TargetKind::kItem ||
      first->item->item_type != ItemType::kMpegTrack) {
    ReportError("Play item multi default sequence must be MPEG track.");
    MarkFailed();
    return;
  }
  const auto* track = static_cast<const MpegTrack*>(first->item);
  if (list.selection_items.size() != track->entries.size() + 1) {
    ReportError("Number of entries differs from number of items.");
    MarkFailed();
  }
}

void LabelChecker::CheckPauseMarks() {
  for (auto& mark : project_.pause_marks) ResolvePlayTarget(mark->reference);
}

Status LabelChecker::CheckPsdPresence() {
  if (project_.lists.empty()) {
    if (!project_.segments.empty()) {
      ReportError("Cannot have segment play items without playlist.");
      return false;
    }
    project_.has_psd = 0;
    return true;
  }
  if (start_count_ == 0) {
    ReportError("There is no START label defined.");
    return false;
  }
  if (start_count_ > 1) {
    ReportError("There is more than one START label defined.");
    return false;
  }
  project_.has_psd = 1;
  return true;
}

void LabelChecker::CheckOutputNames() {
  const size_t names = project_.output_names.size();
  const size_t files = project_.mpeg_tracks.size() + 1;
  if (names != 0 && names != files) {
    ReportError("Output: %d filenames for %d files defined.", static_cast<int>(names),
                static_cast<int>(files));
    MarkFailed();
  }
}

// Play items may name segments, MPEG tracks, entries and CD-DA tracks, in
// that order of precedence, and lists.
bool LabelChecker::ResolveToItem(LabelRef& ref) {
  if (ref.kind != TargetKind::kName) return true;
  ScriptItem* item = FindByLabel(project_.segments, ref.name);
  if (item == nullptr) item = FindByLabel(project_.mpeg_tracks, ref.name);
  if (item == nullptr) item = FindByLabel(project_.entries, ref.name);
  if (item == nullptr) item = FindByLabel(project_.audio_tracks, ref.name);
  if (item == nullptr) return false;
  ref.item = item;
  ref.kind = TargetKind::kItem;
  return true;
}

bool LabelChecker::ResolveToList(LabelRef& ref) {
  if (ref.kind != TargetKind::kName) return true;
  for (auto& list : project_.lists) {
    if (list->label == ref.name) {
      ref.list = list.get();
      ref.kind = TargetKind::kList;
      return true;
    }
  }
  ReportError("Label %s (referenced in line %ld) undefined.", ref.name.c_str(),
              static_cast<long>(ref.line));
  return false;
}

void LabelChecker::ResolvePlayTarget(LabelRef& ref) {
  if (!ResolveToItem(ref) && !ResolveToList(ref)) {
    MarkFailed();
    return;
  }
  // A dropped entry has no number: playing it would name a track that does
  // not exist.
  if (ref.kind != TargetKind::kItem || ref.item->item_type != ItemType::kEntry) return;
  const auto* entry = static_cast<const EntryPoint*>(ref.item);
  if (entry->dropped_for == nullptr) return;
  ReportError(
      "Entry %s (referenced in line %ld) was dropped for entry %s at the same time; play %s.",
      entry->label.c_str(), static_cast<long>(ref.line), entry->dropped_for->label.c_str(),
      entry->dropped_for->label.c_str());
  MarkFailed();
}

}  // namespace

Status CheckLabels(VcdProject& project) {
  return LabelChecker(project).Run();
}

}  // namespace vcd2
