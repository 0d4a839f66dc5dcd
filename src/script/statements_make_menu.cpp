// MAKE MENU resolution target [low-resolution-target] FROM SELECTION label
//   [TITLE text] [ITEMS text... ENDITEMS] [BACKGROUND BMP picture] ENDMAKE
// MENU, TITLE and BACKGROUND are words of this statement only, so no script
// that uses them as labels or paths changes its meaning.
#include "base/error_reporter.h"
#include "script/script_parser.h"

namespace vcd2 {
namespace {

bool IsPlainWord(const ScriptReader& reader, const char* word) {
  return !reader.IsQuoted() && reader.Word() == word;
}

}  // namespace

Status ScriptParser::ParseMenuMake() {
  const uint32_t line = reader_.Line();
  int resolution = 0;
  if (!ExpectKeyword(KeywordClass::kStillResolution, resolution)) return false;
  const std::string resolution_word = reader_.Word();
  FileRef target;
  if (!ExpectFileRef(target)) return false;
  FileRef low_target;
  bool has_low_target = false;
  if (!ParseStillTargets(resolution, resolution_word, target, low_target, has_low_target)) {
    return false;
  }
  int from = 0;
  if (!ExpectKeyword(KeywordClass::kFrom, from)) return false;
  if (from != kFrom || !reader_.ReadWord() || !IsPlainWord(reader_, "SELECTION")) {
    ReportError("Expected FROM SELECTION after the MAKE MENU target.");
    return false;
  }
  if (!reader_.ReadWord()) return ReportEnd("EOF encountered expecting selection label.");
  auto rule = std::make_unique<MenuMakeRule>(target);
  rule->line = line;
  rule->selection = LabelRef(reader_.Word(), reader_.Line());
  if (rule->selection.kind != TargetKind::kStart && rule->selection.kind != TargetKind::kName) {
    ReportError("Invalid labelname %s.", Word());
    return false;
  }
  if (!ParseMenuClauses(*rule)) return false;
  std::unique_ptr<MenuMakeRule> companion;
  if (has_low_target) {
    companion = std::make_unique<MenuMakeRule>(low_target);
    companion->selection = rule->selection;
    companion->title = rule->title;
    companion->item_texts = rule->item_texts;
    companion->line = line;
    companion->low_resolution = 1;
    for (const auto& source : rule->GetSources()) companion->AddSource(*source);
  }
  project_.makes.push_back(std::move(rule));
  if (companion) project_.makes.push_back(std::move(companion));
  return true;
}

// TITLE, ITEMS and BACKGROUND in any order up to ENDMAKE; a later TITLE or
// BACKGROUND replaces an earlier one, ITEMS add texts.
Status ScriptParser::ParseMenuClauses(MenuMakeRule& rule) {
  for (;;) {
    if (!reader_.ReadWord()) return ReportEnd("Expected ENDMAKE");
    if (IsPlainWord(reader_, "ENDMAKE")) return true;
    if (IsPlainWord(reader_, "TITLE")) {
      if (!ExpectString(rule.title)) return false;
    } else if (IsPlainWord(reader_, "ITEMS")) {
      for (;;) {
        if (!reader_.ReadWord()) return ReportEnd("Unexpected EOF.");
        if (IsPlainWord(reader_, "ENDITEMS")) break;
        rule.item_texts.push_back(reader_.Word());
      }
    } else if (IsPlainWord(reader_, "BACKGROUND")) {
      int format = 0;
      if (!ExpectKeyword(KeywordClass::kPictureFormat, format)) return false;
      FileRef picture;
      if (format != kBmp || !ExpectFileRef(picture)) {
        if (format != kBmp) ReportError("Expected BMP and a picture after BACKGROUND.");
        return false;
      }
      picture.SetFileType(FileType::kPicture);
      if (!rule.GetSources().empty()) {
        ReportError("A menu has one BACKGROUND.");
        return false;
      }
      rule.AddSource(picture);
    } else {
      ReportError("Expected TITLE, ITEMS, BACKGROUND or ENDMAKE, found %s.", Word());
      return false;
    }
  }
}

}  // namespace vcd2
