#include "model/made_file.h"

#include <cstdio>

namespace vcd2 {

// A file that is already gone is no error.
MadeFile::~MadeFile() {
  if (!kept_) std::remove(path_.c_str());
}

}  // namespace vcd2
