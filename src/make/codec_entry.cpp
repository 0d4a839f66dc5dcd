// The entry point of the codec module, its only exported symbol.
#include "base/codec_module.h"
#include "make/audio_coder.h"
#include "make/clip/clip_codecs.h"
#include "make/library_log.h"
#include "make/make_codecs.h"
#include "make/menu/draw_menu.h"
#include "make/menu/menu_codecs.h"
#include "make/picture_coder.h"
#include "make/resampler.h"
#include "media/media_codecs.h"
#include "media/stream_probe.h"

namespace vcd2 {
namespace {

constexpr MakeCodecs kMakeCodecs{.encode_audio = EncodeAudio,
                                 .encode_silence = EncodeSilence,
                                 .encode_still = EncodeStill,
                                 .open_resampler = OpenResampler,
                                 .route_library_log = RouteLibraryLog};
constexpr MediaCodecs kMediaCodecs{.probe_streams = ProbeStreams};
constexpr MenuCodecs kMenuCodecs{.draw_menu = DrawMenu};
constexpr ClipCodecs kClipCodecs{.transcode_clip = TranscodeClip};

}  // namespace
}  // namespace vcd2

extern "C" __attribute__((visibility("default"))) const void* vcd2_codec_table(vcd2::CodecPart part,
                                                                               uint32_t version) {
  switch (part) {
    case vcd2::CodecPart::kMake:
      return version == vcd2::kMakeCodecsVersion ? &vcd2::kMakeCodecs : nullptr;
    case vcd2::CodecPart::kMedia:
      return version == vcd2::kMediaCodecsVersion ? &vcd2::kMediaCodecs : nullptr;
    case vcd2::CodecPart::kMenu:
      return version == vcd2::kMenuCodecsVersion ? &vcd2::kMenuCodecs : nullptr;
    case vcd2::CodecPart::kClip:
      return version == vcd2::kClipCodecsVersion ? &vcd2::kClipCodecs : nullptr;
  }
  return nullptr;
}
