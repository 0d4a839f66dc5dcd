// The entry point of the codec module, its only exported symbol.
#include "base/codec_module.h"
#include "make/audio_coder.h"
#include "make/check_codecs.h"
#include "make/make_codecs.h"
#include "make/picture_coder.h"
#include "media/media_codecs.h"
#include "media/stream_probe.h"

namespace vcd2 {
namespace {

constexpr MakeCodecs kMakeCodecs{
    .encode_audio = EncodeAudio, .encode_silence = EncodeSilence, .encode_still = EncodeStill};
constexpr MediaCodecs kMediaCodecs{.probe_streams = ProbeStreams};
constexpr CheckCodecs kCheckCodecs{.read_picture = ReadPictureSize};

}  // namespace
}  // namespace vcd2

extern "C" __attribute__((visibility("default"))) const void* vcd2_codec_table(vcd2::CodecPart part,
                                                                               uint32_t version) {
  switch (part) {
    case vcd2::CodecPart::kMake:
      return version == vcd2::kMakeCodecsVersion ? &vcd2::kMakeCodecs : nullptr;
    case vcd2::CodecPart::kMedia:
      return version == vcd2::kMediaCodecsVersion ? &vcd2::kMediaCodecs : nullptr;
    case vcd2::CodecPart::kCheck:
      return version == vcd2::kCheckCodecsVersion ? &vcd2::kCheckCodecs : nullptr;
  }
  return nullptr;
}
