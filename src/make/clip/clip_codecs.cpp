#include "make/clip/clip_codecs.h"

#include "base/codec_module.h"
#include "base/error_reporter.h"

namespace vcd2 {

const ClipCodecs* LoadClipCodecs() {
  std::string error;
  const void* table = CodecTable(CodecPart::kClip, kClipCodecsVersion, error);
  if (table == nullptr) ReportError("Could not load the encoders for MAKE: %s.", error.c_str());
  return static_cast<const ClipCodecs*>(table);
}

}  // namespace vcd2
