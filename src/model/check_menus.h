#pragma once

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// Binds each MAKE MENU rule to the SELECTION it draws and checks that its
// ITEMS texts are no more than the selection's items; every problem is
// reported with the script and the statement's line. Runs after the lists'
// own targets are bound.
Status CheckMenuSelections(VcdProject& project);

// Reports a problem of the MAKE statement at line of the project's script,
// prefixed as the parser's messages are.
void ReportAtScriptLine(const VcdProject& project, uint32_t line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

}  // namespace vcd2
