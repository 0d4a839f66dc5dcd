#pragma once

#include <cstdint>
#include <string>

namespace vcd2 {

// The encoders and decoders that need twolame and FFmpeg's libraries live in
// a module of their own, loaded on first use, so that a run that encodes
// nothing does not load those libraries. The module exports one C function,
// kCodecEntry, which gives the table of functions of one part of the
// library, or null when the module was built for another version of it.
enum class CodecPart : uint32_t {
  kMake = 1,   // MAKE's audio and still encoders
  kMedia = 2,  // the stream probe of --inspect
  kClip = 3,   // MAKE MPEG's transcoder
  kMenu = 4,   // MAKE MENU's drawing
};
using CodecEntry = const void* (*)(CodecPart part, uint32_t version);
inline constexpr char kCodecEntry[] = "vcd2_codec_table";

// The part's table, its layout given by version; null, with the reason in
// error, when the module or one of the libraries it needs cannot be loaded.
// The module is loaded once and stays loaded; safe from any thread.
const void* CodecTable(CodecPart part, uint32_t version, std::string& error);

}  // namespace vcd2
