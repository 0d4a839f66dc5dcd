#include "make/menu/make_menu.h"

#include <unistd.h>

#include <set>

#include "base/error_reporter.h"
#include "base/progress.h"
#include "make/make_codecs.h"
#include "make/make_rules.h"
#include "make/menu/menu_codecs.h"
#include "make/menu/menu_description.h"
#include "make/picture_coder.h"
#include "model/check_menus.h"

namespace vcd2 {
namespace {

uint32_t StillMode(const MenuMakeRule& rule) {
  const FileType type = rule.GetTarget()->GetFileType();
  uint32_t mode = rule.low_resolution != 0 ? kStillCompanion : 0;
  if (type == FileType::kPalLowStill || type == FileType::kPalHighStill) mode |= kStillPal;
  if (type == FileType::kPalHighStill || type == FileType::kNtscHighStill) {
    mode |= kStillHighResolution;
  }
  return mode;
}

// Draws into a file of the project's temporary folder and encodes that.
Status MakeMenu(VcdProject& project, MenuMakeRule& rule) {
  const std::optional<MenuPicture> menu = DescribeMenu(rule);
  if (!menu) return false;  // the parser and the label check allow no other rule
  const MenuCodecs* drawing = LoadMenuCodecs();
  const MakeCodecs* codecs = drawing != nullptr ? LoadMakeCodecs() : nullptr;
  const std::string target = rule.GetTarget()->NewFullPath().value_or("");
  if (codecs == nullptr || !CheckTargetWritable(target)) return false;
  std::string picture;
  if (!project.temp_folder.CreateFile("menu", picture)) {
    ReportError("Could not create a temporary file in %s.", picture.c_str());
    return false;
  }
  std::string error;
  MakingMark mark(target);
  bool made = drawing->draw_menu(*menu, picture, error);
  if (!made) {
    ReportAtScriptLine(project, rule.line, "%s", error.c_str());
  } else if (codecs->encode_still(picture, target, StillMode(rule), AbortFlag()) != 0) {
    if (!AbortRequested())
      ReportAtScriptLine(project, rule.line, "Could not encode MPEG STILL %s.", target.c_str());
    made = false;
  }
  unlink(picture.c_str());
  if (made) RecordMade(project, rule, target, mark);
  return made;
}

std::string PreviewName(const FileRef& target) {
  std::string name = target.SecondName().empty() ? target.FirstName() : target.SecondName();
  const size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name + ".png";
}

}  // namespace

Status MakeMenus(VcdProject& project) {
  for (const auto& rule : project.makes) {
    if (rule->Kind() != MakeKind::kMenu) continue;
    if (AbortRequested()) return false;
    StepProgress();
    if (!MakeMenu(project, static_cast<MenuMakeRule&>(*rule))) return false;
  }
  return true;
}

Status WriteMenuPreviews(const VcdProject& project, const std::string& folder) {
  const MenuCodecs* drawing = nullptr;
  std::set<std::string> written;
  for (const auto& rule : project.makes) {
    if (rule->Kind() != MakeKind::kMenu) continue;
    if (AbortRequested()) return false;
    const auto& menu_rule = static_cast<const MenuMakeRule&>(*rule);
    const std::optional<MenuPicture> menu = DescribeMenu(menu_rule);
    if (!menu) return false;
    if (drawing == nullptr && (drawing = LoadMenuCodecs()) == nullptr) return false;
    const std::string name = PreviewName(*rule->GetTarget());
    if (!written.insert(name).second) {
      ReportAtScriptLine(project, menu_rule.line, "Another MAKE MENU target gives the preview %s.",
                         name.c_str());
      return false;
    }
    const std::string path = folder + "/" + name;
    std::string error;
    if (!drawing->draw_menu(*menu, path, error)) {
      ReportAtScriptLine(project, menu_rule.line, "%s", error.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace vcd2
