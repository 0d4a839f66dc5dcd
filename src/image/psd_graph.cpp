#include "image/psd_graph.h"

#include <cerrno>
#include <cstring>
#include <deque>
#include <map>
#include <set>

#include "base/error_reporter.h"
#include "base/unique_file.h"
#include "image/psd_descriptors.h"

namespace vcd2 {
namespace {

constexpr uint32_t kWaitStepSeconds = 10;  // per wait code above kWaitSecondsExact
constexpr char kStopNode[] = "stop";
constexpr char kUnreachable[] = ", color=grey60, fontcolor=grey60";

// A DOT string of lines: quotes and backslashes escaped, control bytes as
// blanks, bytes above 0x7F taken as Latin-1 and written as UTF-8.
std::string Label(const std::vector<std::string>& lines) {
  std::string out = "\"";
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i != 0) out += "\\n";
    for (const char c : lines[i]) {
      const auto byte = static_cast<unsigned char>(c);
      if (c == '"' || c == '\\') {
        out += '\\';
        out += c;
      } else if (byte < 0x20) {
        out += ' ';
      } else if (byte < 0x80) {
        out += c;
      } else {
        out += static_cast<char>(0xC0 | byte >> 6);
        out += static_cast<char>(0x80 | (byte & 0x3F));
      }
    }
  }
  return out + '"';
}

std::string WaitText(uint8_t code) {
  if (code == kWaitInfinite) return "wait for ever";
  const uint32_t seconds = code <= kWaitSecondsExact
                               ? code
                               : kWaitSecondsExact + (code - kWaitSecondsExact) * kWaitStepSeconds;
  return "wait " + std::to_string(seconds) + " s";
}

std::string ListName(const PsdList& list) {
  return list.label_kind == ListLabelKind::kStart ? "START" : list.label;
}

// The text of a play target or an item as the script names it.
std::string TargetName(const LabelRef& ref) {
  switch (ref.kind) {
    case TargetKind::kStart:
      return "START";
    case TargetKind::kStop:
      return "STOP";
    case TargetKind::kMulti:
      return "MULTI";
    case TargetKind::kMultiNum:
      return "MULTINUM";
    case TargetKind::kItem:
      return ref.item->label;
    case TargetKind::kList:
      return ListName(*ref.list);
    default:
      return ref.name.empty() ? "NONE" : ref.name;
  }
}

std::vector<std::string> ItemLines(const LabelRef& ref) {
  const ScriptItem& item = *ref.item;
  switch (item.item_type) {
    case ItemType::kMpegTrack:
      return {"MPEG track " + item.label, "track " + std::to_string(PlayItemNumber(ref))};
    case ItemType::kSegment:
      return {"segment " + item.label};
    case ItemType::kEntry: {
      const auto& entry = static_cast<const EntryPoint&>(item);
      return {"entry " + item.label,
              "entry " + std::to_string(entry.position) + " of " + entry.track_label};
    }
    default:
      return {"CD-DA track " + item.label};
  }
}

// One edge of a list: a play item, a target or a selection key.
struct Link {
  std::string label;
  const LabelRef* ref;
  const char* style;
};

std::vector<Link> Links(const PsdList& list) {
  std::vector<Link> links;
  const bool numbered = list.play_items.size() > 1;
  for (size_t i = 0; i < list.play_items.size(); ++i) {
    links.push_back(
        {numbered ? "play " + std::to_string(i + 1) : "play", &list.play_items[i], "dashed"});
  }
  links.push_back({"PREVIOUS", &list.previous, "solid"});
  links.push_back({"NEXT", &list.next, "solid"});
  links.push_back({"RETURN", &list.return_target, "solid"});
  if (list.kind == ListKind::kSelection) {
    links.push_back({"DEFAULT", &list.default_target, "solid"});
    links.push_back({"TIMEOUT", &list.timeout, "dotted"});
    for (size_t i = 0; i < list.selection_items.size(); ++i) {
      links.push_back({std::to_string(list.base + i), &list.selection_items[i], "bold"});
    }
  }
  return links;
}

// A node's name: L and the LID for a list, I and a number for a played item.
std::string NodeName(char kind, size_t number) {
  std::string name(1, kind);
  name += std::to_string(number);  // not kind + string: GCC 12 warns of a bogus overlap there
  return name;
}

class GraphWriter {
 public:
  explicit GraphWriter(const VcdProject& project);
  std::string Write();
  void WarnUnreachable();

 private:
  const PsdList* ListTarget(const LabelRef& ref) const;
  std::string ListNode(const PsdList& list) const { return NodeName('L', lids_.at(&list)); }
  std::string NodeOf(const LabelRef& ref);
  std::vector<std::string> ListLines(const PsdList& list) const;
  void MarkReachable();
  void WriteList(const PsdList& list);
  void WriteItems();

  const VcdProject& project_;
  std::vector<const PsdList*> lists_;  // in LID order
  std::map<const PsdList*, size_t> lids_;
  std::set<const PsdList*> reachable_;
  std::vector<const LabelRef*> items_;  // first reference of each played item, node order
  std::map<const ScriptItem*, size_t> item_nodes_;
  std::set<const ScriptItem*> played_;  // by a reachable list
  bool stop_used_ = false;
  std::string out_;
};

// LID 1 is the START list, the others follow in script order.
GraphWriter::GraphWriter(const VcdProject& project) : project_(project) {
  for (const auto& list : project.lists) {
    if (list->label_kind == ListLabelKind::kStart) lists_.push_back(list.get());
  }
  for (const auto& list : project.lists) {
    if (list->label_kind != ListLabelKind::kStart) lists_.push_back(list.get());
  }
  for (size_t i = 0; i < lists_.size(); ++i) lids_[lists_[i]] = i + 1;
}

const PsdList* GraphWriter::ListTarget(const LabelRef& ref) const {
  if (ref.kind == TargetKind::kList) return ref.list;
  if (ref.kind == TargetKind::kStart && !lists_.empty()) return lists_.front();
  return nullptr;
}

// The node an edge to ref ends at; empty when the reference leads nowhere.
std::string GraphWriter::NodeOf(const LabelRef& ref) {
  if (const PsdList* list = ListTarget(ref)) return ListNode(*list);
  if (ref.kind == TargetKind::kStop) {
    stop_used_ = true;
    return kStopNode;
  }
  if (ref.kind != TargetKind::kItem) return {};
  const auto [node, added] = item_nodes_.try_emplace(ref.item, items_.size() + 1);
  if (added) items_.push_back(&ref);
  return NodeName('I', node->second);
}

std::vector<std::string> GraphWriter::ListLines(const PsdList& list) const {
  const bool selection = list.kind == ListKind::kSelection;
  std::vector<std::string> lines = {(selection ? "SELECTION " : "PLAYLIST ") + ListName(list),
                                    "LID " + std::to_string(lids_.at(&list))};
  std::string play = list.play_items.empty() ? "no play item" : "play";
  for (size_t i = 0; i < list.play_items.size(); ++i) {
    play += (i == 0 ? " " : ", ") + TargetName(list.play_items[i]);
  }
  lines.push_back(play);
  std::string wait = WaitText(list.wait);
  if (selection && list.timeout.kind != TargetKind::kNone) {
    wait += ", timeout " + TargetName(list.timeout);
  }
  lines.push_back(wait);
  const TargetKind default_kind = list.default_target.kind;
  if (default_kind == TargetKind::kMulti || default_kind == TargetKind::kMultiNum) {
    lines.push_back("default " + TargetName(list.default_target));
  }
  return lines;
}

void GraphWriter::MarkReachable() {
  if (lists_.empty()) return;
  std::deque<const PsdList*> pending = {lists_.front()};
  reachable_.insert(lists_.front());
  while (!pending.empty()) {
    const PsdList* list = pending.front();
    pending.pop_front();
    for (const Link& link : Links(*list)) {
      if (link.ref->kind == TargetKind::kItem) played_.insert(link.ref->item);
      const PsdList* next = ListTarget(*link.ref);
      if (next != nullptr && reachable_.insert(next).second) pending.push_back(next);
    }
  }
}

void GraphWriter::WriteList(const PsdList& list) {
  const std::string node = ListNode(list);
  const char* grey = reachable_.count(&list) == 0 ? kUnreachable : "";
  out_ += "  " + node + " [label=" + Label(ListLines(list));
  if (list.kind == ListKind::kSelection) out_ += ", style=rounded";
  if (list.label_kind == ListLabelKind::kStart) out_ += ", peripheries=2";
  out_ += grey + std::string("];\n");
  for (const Link& link : Links(list)) {
    const std::string target = NodeOf(*link.ref);
    if (target.empty()) continue;
    out_ += "  " + node + " -> " + target + " [label=" + Label({link.label}) +
            ", style=" + link.style + grey + "];\n";
  }
}

void GraphWriter::WriteItems() {
  for (size_t i = 0; i < items_.size(); ++i) {
    out_ += "  I" + std::to_string(i + 1) + " [label=" + Label(ItemLines(*items_[i])) +
            ", shape=ellipse";
    if (played_.count(items_[i]->item) == 0) out_ += kUnreachable;
    out_ += "];\n";
  }
  if (stop_used_) out_ += "  " + std::string(kStopNode) + " [label=\"STOP\", shape=octagon];\n";
}

std::string GraphWriter::Write() {
  MarkReachable();
  std::string album(project_.album_id.data(), project_.album_id.size());
  album = album.substr(0, album.find_last_not_of(" \0", std::string::npos, 2) + 1);
  out_ = "digraph vcd2 {\n  fontname=\"Helvetica\";\n";
  if (!album.empty()) out_ += "  label=" + Label({album}) + ";\n  labelloc=t;\n";
  out_ += "  node [shape=box, fontname=\"Helvetica\", fontsize=10];\n";
  out_ += "  edge [fontname=\"Helvetica\", fontsize=9];\n";
  for (const PsdList* list : lists_) WriteList(*list);
  WriteItems();
  return out_ + "}\n";
}

void GraphWriter::WarnUnreachable() {
  if (lists_.empty() || lists_.front()->label_kind != ListLabelKind::kStart) return;
  MarkReachable();
  for (const PsdList* list : lists_) {
    if (reachable_.count(list) != 0) continue;
    ReportWarning("%s %s cannot be reached from START.",
                  list->kind == ListKind::kSelection ? "Selection" : "Play list",
                  list->label.c_str());
  }
  for (const auto& segment : project_.segments) {
    if (played_.count(segment.get()) != 0) continue;
    ReportWarning("Segment %s cannot be reached from START.", segment->label.c_str());
  }
}

}  // namespace

void WarnUnreachable(const VcdProject& project) {
  GraphWriter(project).WarnUnreachable();
}

std::string PsdGraph(const VcdProject& project) {
  return GraphWriter(project).Write();
}

Status WritePsdGraph(const VcdProject& project, const std::string& path) {
  const std::string text = PsdGraph(project);
  UniqueFile file(std::fopen(path.c_str(), "wb"));
  const bool written = file && std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
  if (!written || std::fclose(file.release()) != 0) {
    ReportError("Could not write graph file %s: %s", path.c_str(), std::strerror(errno));
    return false;
  }
  return true;
}

}  // namespace vcd2
