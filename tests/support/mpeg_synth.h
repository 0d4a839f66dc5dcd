#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vcd2::test {

// Builds MPEG-1 system streams pack by pack, for exact cases.
class MpegSynth {
 public:
  // A pack of `size` bytes holding one packet of `id` whose payload starts
  // with `payload` (the rest is 0xFF).
  MpegSynth& Pack(uint32_t scr, uint8_t id, const std::vector<uint8_t>& payload = {},
                  size_t size = 2324);
  // A pack whose first packet is a system header listing first_stream,
  // followed by padding, or by a video packet starting with `video`.
  MpegSynth& SystemHeaderPack(uint32_t scr, uint8_t first_stream,
                              const std::vector<uint8_t>& video = {});
  // Video packs carrying an elementary stream, one pack per sector clock.
  MpegSynth& VideoStream(uint32_t first_scr, const std::vector<uint8_t>& elementary);
  // A padding packet of `size` bytes in all, closing the pack before it.
  MpegSynth& Padding(size_t size);
  MpegSynth& EndCode();
  MpegSynth& Zeros(size_t count);

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  void WriteTo(const std::string& path) const;

  // Payload bytes a 2324-byte video pack carries.
  static constexpr size_t kVideoPayload = 2324 - 12 - 6 - 1;

 private:
  void PackHeader(uint32_t scr);
  // A packet of `length` bytes behind its header: without a payload all
  // 0xFF; with one, 0x0F (no time stamps), the payload and 0xFF.
  void Packet(uint8_t id, size_t length, const std::vector<uint8_t>* payload);
  std::vector<uint8_t> bytes_;
};

// Elementary video stream pieces.
std::vector<uint8_t> SequenceHeader(uint16_t width, uint16_t height);
std::vector<uint8_t> GroupOfPictures();
// type: 1 intra, 2 predicted, 3 bidirectional.
std::vector<uint8_t> Picture(uint16_t temporal_reference, uint8_t type, size_t filler = 0);

// Writes a stream of `sectors` full video packs, one picture each: a
// sequence header with an intra picture first (and every `gop` packs when
// gop is not 0), predicted pictures between, and the end code.
void WriteVideoStream(const std::string& path, uint32_t sectors, uint32_t gop = 0);

}  // namespace vcd2::test
