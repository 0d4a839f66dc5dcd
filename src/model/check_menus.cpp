#include "model/check_menus.h"

#include <cstdarg>

#include "base/error_reporter.h"

namespace vcd2 {
namespace {

PsdList* FindList(VcdProject& project, const LabelRef& label) {
  for (auto& list : project.lists) {
    const bool start =
        label.kind == TargetKind::kStart && list->label_kind == ListLabelKind::kStart;
    const bool named = label.kind == TargetKind::kName &&
                       list->label_kind == ListLabelKind::kNamed && list->label == label.name;
    if (start || named) return list.get();
  }
  return nullptr;
}

const char* LabelText(const LabelRef& label) {
  return label.kind == TargetKind::kStart ? "START" : label.name.c_str();
}

}  // namespace

void ReportAtScriptLine(const VcdProject& project, uint32_t line, const char* format, ...) {
  ErrorReporter& reporter = Reporter();
  const std::string previous = reporter.ScriptName();
  reporter.SetScriptName(project.script_path);
  reporter.SetLine(line);
  va_list args;
  va_start(args, format);
  reporter.ReportErrorV(format, args);
  va_end(args);
  reporter.SetScriptName(previous);
}

Status CheckMenuSelections(VcdProject& project) {
  bool success = true;
  for (auto& rule : project.makes) {
    if (rule->Kind() != MakeKind::kMenu) continue;
    auto& menu = static_cast<MenuMakeRule&>(*rule);
    PsdList* list = FindList(project, menu.selection);
    if (list == nullptr || list->kind != ListKind::kSelection) {
      ReportAtScriptLine(project, menu.line, "MAKE MENU: %s is no SELECTION.",
                         LabelText(menu.selection));
      success = false;
      continue;
    }
    if (menu.item_texts.size() > list->selection_items.size()) {
      ReportAtScriptLine(project, menu.line, "MAKE MENU: %zu ITEMS texts for the %zu items of %s.",
                         menu.item_texts.size(), list->selection_items.size(),
                         LabelText(menu.selection));
      success = false;
      continue;
    }
    menu.selection.list = list;
    menu.selection.kind = TargetKind::kList;
  }
  return success;
}

}  // namespace vcd2
