#pragma once

#include "model/vcd_project.h"

namespace vcd2 {

// How a check goes on after the output check.
enum class CheckStart {
  kBuild,   // no MAKE rule would run: the build goes on writing nothing, so its
            // warnings, messages and summary are exactly the build's
  kDone,    // MAKE rules would run and their sources passed MAKE's own tests; the
            // host got the rules and what could not be measured
  kFailed,  // a source failed those tests, reported as the build reports it
};

// The check mode, after the output check: MAKE's source tests without
// encoding (make/check_makes.h), then one of the three outcomes above.
CheckStart StartCheck(VcdProject& project);

}  // namespace vcd2
