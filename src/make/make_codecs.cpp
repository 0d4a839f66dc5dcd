#include "make/make_codecs.h"

#include "base/codec_module.h"
#include "base/error_reporter.h"

namespace vcd2 {
namespace {

void WarnLibraryLine(const char* line) {
  ReportWarning("%s", line);
}

}  // namespace

const MakeCodecs* LoadMakeCodecs() {
  std::string error;
  const void* table = CodecTable(CodecPart::kMake, kMakeCodecsVersion, error);
  if (table == nullptr) ReportError("Could not load the encoders for MAKE: %s.", error.c_str());
  const auto* codecs = static_cast<const MakeCodecs*>(table);
  if (codecs != nullptr) codecs->route_library_log(WarnLibraryLine);
  return codecs;
}

}  // namespace vcd2
