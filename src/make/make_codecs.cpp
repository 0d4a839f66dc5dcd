#include "make/make_codecs.h"

#include "base/codec_module.h"
#include "base/error_reporter.h"

namespace vcd2 {

const MakeCodecs* LoadMakeCodecs() {
  std::string error;
  const void* table = CodecTable(CodecPart::kMake, kMakeCodecsVersion, error);
  if (table == nullptr) ReportError("Could not load the encoders for MAKE: %s.", error.c_str());
  return static_cast<const MakeCodecs*>(table);
}

}  // namespace vcd2
