#include "base/error_reporter.h"
#include "script/script_parser.h"

namespace vcd2 {
namespace {

constexpr int32_t kMaxPlayTime = 65535;
constexpr int64_t kMaxWaitSeconds = 2000;
constexpr int32_t kMaxLoop = 255;
constexpr uint8_t kJumpComplete = 0x80;
constexpr size_t kMaxListItems = 255;  // a descriptor counts its items in one byte

// Appends an item to the list's play items or selection items, refusing one
// more than a descriptor can count.
Status AppendItem(PsdList& list, std::vector<LabelRef> PsdList::*items, LabelRef item) {
  if ((list.*items).size() >= kMaxListItems) {
    const bool play_list = list.kind == ListKind::kPlayList;
    ReportError("%s %s (line %u) has more than %zu %s items.", play_list ? "PLAYLIST" : "SELECTION",
                list.label_kind == ListLabelKind::kStart ? "START" : list.label.c_str(),
                static_cast<unsigned>(list.line), kMaxListItems,
                items == &PsdList::play_items ? "play" : "selection");
    return false;
  }
  (list.*items).push_back(std::move(item));
  return true;
}

}  // namespace

namespace {

constexpr size_t kNumberKeys = 99;

}  // namespace

// PLAYLIST|SELECTION label { clause } ENDPLAYLIST|ENDSELECTION
Status ScriptParser::ParseList(ListKind kind) {
  const bool play_list = kind == ListKind::kPlayList;
  const uint32_t line = reader_.Line();
  if (!reader_.ReadWord()) {
    return ReportEnd(play_list ? "EOF encountered expecting playlist label."
                               : "EOF encountered expecting selection label.");
  }
  auto list = std::make_unique<PsdList>(kind, reader_.Word());
  list->line = line;
  switch (reader_.ClassifyWord(KeywordClass::kTarget)) {
    case kStart:
      list->label_kind = ListLabelKind::kStart;
      list->label.clear();
      break;
    case kStop:
    case kNone:
    case kMulti:
    case kMultiNum:
      ReportError("Invalid labelname %s.", Word());  // parsing goes on
      break;
    default:
      list->label_kind = ListLabelKind::kNamed;
  }
  const int closing = play_list ? kEndPlayList : kEndSelection;
  for (;;) {
    int token = 0;
    if (!ExpectKeyword(KeywordClass::kListClause, token)) return false;
    if (token == closing) break;
    const Status clause =
        play_list ? ParsePlayListClause(*list, token) : ParseSelectionClause(*list, token);
    if (!clause) return false;
  }
  if (list->selection_items.size() > kNumberKeys) {
    ReportWarning(
        "Selection %s has %zu selection items; the number keys of players reach 1 to %zu.",
        list->label_kind == ListLabelKind::kStart ? "START" : list->label.c_str(),
        list->selection_items.size(), kNumberKeys);
  }
  project_.lists.push_back(std::move(list));
  return true;
}

// A clause that does not belong to the statement fails it without a message.
Status ScriptParser::ParsePlayListClause(PsdList& list, int token) {
  switch (token) {
    case kPlay:
      return ParsePlayItems(list);
    case kPrevious:
      ReadTarget(list.previous, list, false);
      return true;
    case kNext:
      ReadTarget(list.next, list, false);
      return true;
    case kReturn:
      ReadTarget(list.return_target, list, false);
      return true;
    case kPlayTime:
      return ParsePlayTime(list);
    case kWait:
      return ParseWaitTime(list.wait);
    case kAutoWait:
      return ParseWaitTime(list.auto_wait);
    default:
      return false;
  }
}

Status ScriptParser::ParseSelectionClause(PsdList& list, int token) {
  switch (token) {
    case kPlay:
      return ParseSelectionPlayItem(list);
    case kPrevious:
      ReadTarget(list.previous, list, false);
      ReadArea(list.previous.area);
      return true;
    case kNext:
      ReadTarget(list.next, list, false);
      ReadArea(list.next.area);
      return true;
    case kReturn:
      ReadTarget(list.return_target, list, false);
      ReadArea(list.return_target.area);
      return true;
    case kDefault:
      ReadTarget(list.default_target, list, true);
      ReadArea(list.default_target.area);
      return true;
    case kTimeout:
      ReadTarget(list.timeout, list, false);
      return true;
    case kWait:
      return ParseWaitTime(list.wait);
    case kBase:
      return ExpectByte(list.base);
    case kLoop:
      return ParseLoop(list);
    case kJump:
      return ParseJump(list);
    case kItems:
      return ParseItems(list);
    default:
      return false;
  }
}

// PLAY label ... ENDPLAY; an end of file is reported by the next clause read.
Status ScriptParser::ParsePlayItems(PsdList& list) {
  while (reader_.ReadWord()) {
    const int token = reader_.ClassifyWord(KeywordClass::kClosing);
    if (token == kEndPlay) return true;
    if (token != kNoKeyword) {
      ReportError("Expected play item.");
      return false;
    }
    if (!AppendItem(list, &PsdList::play_items, LabelRef(reader_.Word(), reader_.Line()))) {
      return false;
    }
  }
  return true;
}

// PLAY label: one play item per clause in a selection.
Status ScriptParser::ParseSelectionPlayItem(PsdList& list) {
  if (!reader_.ReadWord()) return true;
  if (reader_.ClassifyWord(KeywordClass::kClosing) != kNoKeyword) {
    ReportError("Expected play item.");
    return false;
  }
  return AppendItem(list, &PsdList::play_items, LabelRef(reader_.Word(), reader_.Line()));
}

// An end of file leaves the target as it was; the next clause read reports it.
void ScriptParser::ReadTarget(LabelRef& target, const PsdList& list, bool multi_allowed) {
  if (reader_.ReadWord()) ApplyTarget(target, list, multi_allowed);
}

void ScriptParser::ApplyTarget(LabelRef& target, const PsdList& list, bool multi_allowed) {
  const int token = reader_.ClassifyWord(KeywordClass::kTarget);
  TargetKind kind;
  switch (token) {
    case kStart:
      kind = TargetKind::kStart;
      break;
    case kStop:
      kind = TargetKind::kStop;
      break;
    case kNone:
      kind = TargetKind::kNone;
      break;
    case kMulti:
    case kMultiNum:
      if (!multi_allowed) {
        ReportError("Invalid labelname %s.", list.label.c_str());  // parsing goes on
        return;
      }
      kind = token == kMulti ? TargetKind::kMulti : TargetKind::kMultiNum;
      break;
    default:
      kind = TargetKind::kName;
      target.name = reader_.Word();
  }
  target.kind = kind;
  target.line = 0;
}

// Optional x1 y1 x2 y2; each value is kept as its low 8 bits.
void ScriptParser::ReadArea(HotSpotArea& area) {
  if (!reader_.ReadWord()) return;
  int32_t x1 = 0;
  if (!reader_.ParseInteger(x1)) {
    reader_.UngetWord();
    return;
  }
  area[0] = static_cast<uint8_t>(x1);
  for (size_t i = 1; i < area.size(); ++i) {
    const bool read = reader_.ReadWord();
    area[i] = static_cast<uint8_t>(read ? reader_.LeadingInteger() : 0);
  }
}

Status ScriptParser::ParsePlayTime(PsdList& list) {
  static const char kMessage[] = "Playtime value must be INF or between 1 and 65535.";
  if (!reader_.ReadWord()) return ReportEnd("EOF encountered expecting play time.");
  int32_t number = 0;
  if (reader_.ParseInteger(number)) {
    if (number < 1 || number > kMaxPlayTime) {
      ReportError(kMessage);
      return false;
    }
    list.playing_time = static_cast<uint16_t>(number);
    return true;
  }
  reader_.UngetWord();
  int token = 0;
  if (ExpectKeyword(KeywordClass::kInf, token) && token == kInf) {
    list.playing_time = 0;
    return true;
  }
  ReportError(kMessage);
  return false;
}

// A wait in fifteenths of a second, coded in whole seconds up to 60 and in
// tens of seconds above; INF is 255.
Status ScriptParser::ParseWaitTime(uint8_t& code) {
  static const char kMessage[] = "Waittime value must be INF or between 0 and 30000.";
  if (!reader_.ReadWord()) return ReportEnd("EOF encountered expecting wait time declarator.");
  int32_t number = 0;
  if (reader_.ParseInteger(number)) {
    const int64_t seconds = (int64_t{number} + 7) / 15;
    if (seconds < 0 || seconds > kMaxWaitSeconds) {
      ReportError(kMessage);
      return false;
    }
    code = static_cast<uint8_t>(
        seconds <= kWaitSecondsExact ? seconds : kWaitSecondsExact + (seconds - 55) / 10);
    return true;
  }
  if (reader_.ClassifyWord(KeywordClass::kInf) == kInf) {
    code = kWaitInfinite;
    return true;
  }
  ReportError(kMessage);
  return false;
}

Status ScriptParser::ParseLoop(PsdList& list) {
  static const char kMessage[] = "Loop value must be INF or between 1 and 255.";
  if (!reader_.ReadWord()) return ReportEnd("Encountered EOF expecting loop parameter.");
  int32_t number = 0;
  if (reader_.ParseInteger(number)) {
    if (number < 1 || number > kMaxLoop) {
      ReportError(kMessage);
      return false;
    }
    list.loop = static_cast<uint8_t>(number);
    return true;
  }
  if (reader_.ClassifyWord(KeywordClass::kInf) == kInf) {
    list.loop = 0;
    return true;
  }
  ReportError(kMessage);
  return false;
}

Status ScriptParser::ParseJump(PsdList& list) {
  int token = 0;
  if (!ExpectKeyword(KeywordClass::kJump, token)) return false;
  if (token == kImmediate) {
    list.jump = 0;
  } else if (token == kComplete) {
    list.jump = kJumpComplete;
  } else {
    return false;
  }
  return true;
}

// ITEMS target [area] { target [area] } ENDITEMS; the first word is always
// an item, even ENDITEMS.
Status ScriptParser::ParseItems(PsdList& list) {
  if (!reader_.ReadWord()) return ReportEnd("Unexpected EOF.");
  for (;;) {
    LabelRef item;
    ApplyTarget(item, list, false);
    ReadArea(item.area);
    if (!AppendItem(list, &PsdList::selection_items, item)) return false;
    if (!reader_.ReadWord()) return ReportEnd("Unexpected EOF.");
    if (reader_.ClassifyWord(KeywordClass::kClosing) == kEndItems) return true;
  }
}

}  // namespace vcd2
