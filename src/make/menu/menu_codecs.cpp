#include "make/menu/menu_codecs.h"

#include "base/codec_module.h"
#include "base/error_reporter.h"

namespace vcd2 {

const MenuCodecs* LoadMenuCodecs() {
  std::string error;
  const void* table = CodecTable(CodecPart::kMenu, kMenuCodecsVersion, error);
  if (table == nullptr) ReportError("Could not load the menu drawing for MAKE: %s.", error.c_str());
  return static_cast<const MenuCodecs*>(table);
}

}  // namespace vcd2
