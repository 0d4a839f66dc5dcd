#include "make/silent_frame.h"

#include "make/make_codecs.h"

namespace vcd2 {
namespace {

// Layer II allows no mono above 192 kbit/s and no two channels at 32, 48, 56
// or 80 kbit/s, yet encoders write such streams.
bool LayerTwoAllows(const AudioFrameHeader& header) {
  if (header.mode == AudioFrameHeader::kMono) return header.bit_rate <= 192;
  return header.bit_rate >= 64 && header.bit_rate != 80;
}

}  // namespace

// The encoder refuses what Layer II does not allow; such a stream's silent
// frame allocates no bits to any subband, which decodes to silence in every
// mode.
std::vector<uint8_t> EncodeSilentFrame(const AudioFrameHeader& header) {
  const MakeCodecs* codecs = LoadMakeCodecs();
  if (codecs == nullptr) return {};
  AudioFrameHeader plain = header;
  plain.padding = false;
  const size_t size = plain.FrameSize();
  std::vector<uint8_t> frame;
  if (LayerTwoAllows(plain)) frame = codecs->encode_silence(plain, size);
  if (!frame.empty()) return frame;
  frame.assign(size, 0);
  frame[0] = 0xFF;
  frame[1] = 0xFD;  // MPEG-1 Layer II without CRC
  frame[2] = static_cast<uint8_t>(header.bit_rate_index << 4 | header.sampling_index << 2);
  frame[3] = static_cast<uint8_t>(header.mode << 6);
  return frame;
}

}  // namespace vcd2
