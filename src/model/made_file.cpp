#include "model/made_file.h"

#include <cstdio>

#include "base/made_record.h"

namespace vcd2 {

// A file that is already gone is no error. The record goes last, so that a
// target left by a build killed in between is still known as made.
MadeFile::~MadeFile() {
  if (!kept_) std::remove(path_.c_str());
  made_record::Remove(path_);
}

}  // namespace vcd2
