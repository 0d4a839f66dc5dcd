#include "model/label_ref.h"

namespace vcd2 {

LabelRef::LabelRef(const std::string& word, uint32_t line) {
  if (word == "NONE") {
    kind = TargetKind::kNone;
  } else if (word == "START") {
    kind = TargetKind::kStart;
  } else if (word == "STOP") {
    kind = TargetKind::kStop;
  } else {
    kind = TargetKind::kName;
    name = word;
    this->line = line;
  }
}

}  // namespace vcd2
