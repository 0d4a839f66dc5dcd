#include "support/mpeg_synth.h"

#include <algorithm>
#include <fstream>

namespace vcd2::test {

void MpegSynth::PackHeader(uint32_t scr) {
  bytes_.insert(bytes_.end(), {0x00, 0x00, 0x01, 0xBA});
  for (const uint32_t field : {0x21 | (scr >> 29 & 0x06), scr >> 22, scr >> 14 | 0x01, scr >> 7,
                               scr << 1 | 0x01, 0x80u, 0x1Bu, 0x91u}) {
    bytes_.push_back(static_cast<uint8_t>(field));
  }
}

void MpegSynth::Packet(uint8_t id, size_t length, const std::vector<uint8_t>* payload) {
  bytes_.insert(bytes_.end(), {0x00, 0x00, 0x01, id, static_cast<uint8_t>(length >> 8),
                               static_cast<uint8_t>(length)});
  const size_t start = bytes_.size();
  bytes_.insert(bytes_.end(), length, 0xFF);
  if (payload == nullptr) return;
  bytes_[start] = 0x0F;  // no time stamps
  std::copy_n(payload->begin(), std::min(payload->size(), length - 1),
              bytes_.begin() + static_cast<long>(start) + 1);
}

MpegSynth& MpegSynth::Pack(uint32_t scr, uint8_t id, const std::vector<uint8_t>& payload,
                           size_t size) {
  PackHeader(scr);
  Packet(id, size - 12 - 6, &payload);
  return *this;
}

MpegSynth& MpegSynth::SystemHeaderPack(uint32_t scr, uint8_t first_stream,
                                       const std::vector<uint8_t>& video) {
  PackHeader(scr);
  const uint8_t header[] = {0x00, 0x00, 0x01, 0xBB,         0x00, 0x0C, 0x80, 0x1B, 0x91,
                            0x04, 0xE1, 0xFF, first_stream, 0xE0, 0x2E, 0xC0, 0x20, 0x20};
  bytes_.insert(bytes_.end(), header, header + sizeof header);
  Packet(video.empty() ? 0xBE : 0xE0, 2324 - 12 - sizeof header - 6,
         video.empty() ? nullptr : &video);
  return *this;
}

MpegSynth& MpegSynth::VideoStream(uint32_t first_scr, const std::vector<uint8_t>& elementary) {
  for (size_t at = 0, i = 0; at < elementary.size(); at += kVideoPayload, ++i) {
    const auto end =
        elementary.begin() + static_cast<long>(std::min(elementary.size(), at + kVideoPayload));
    Pack(first_scr + static_cast<uint32_t>(i) * 1200, 0xE0,
         std::vector<uint8_t>(elementary.begin() + static_cast<long>(at), end));
  }
  return *this;
}

MpegSynth& MpegSynth::Padding(size_t size) {
  Packet(0xBE, size - 6, nullptr);
  return *this;
}

MpegSynth& MpegSynth::EndCode() {
  bytes_.insert(bytes_.end(), {0x00, 0x00, 0x01, 0xB9});
  return *this;
}

MpegSynth& MpegSynth::Zeros(size_t count) {
  bytes_.insert(bytes_.end(), count, 0x00);
  return *this;
}

void MpegSynth::WriteTo(const std::string& path) const {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes_.data()), static_cast<long>(bytes_.size()));
}

std::vector<uint8_t> SequenceHeader(uint16_t width, uint16_t height) {
  std::vector<uint8_t> header = {0x00, 0x00, 0x01, 0xB3, 0, 0, 0, 0x13, 0xFF, 0xFF, 0xE0, 0x18};
  header[4] = static_cast<uint8_t>(width >> 4);
  header[5] = static_cast<uint8_t>((width & 0x0F) << 4 | height >> 8);
  header[6] = static_cast<uint8_t>(height);
  return header;
}

std::vector<uint8_t> GroupOfPictures() {
  return {0x00, 0x00, 0x01, 0xB8, 0x00, 0x08, 0x00, 0x00};
}

std::vector<uint8_t> Picture(uint16_t temporal_reference, uint8_t type, size_t filler) {
  const uint8_t header[] = {0x00,
                            0x00,
                            0x01,
                            0x00,
                            static_cast<uint8_t>(temporal_reference >> 2),
                            static_cast<uint8_t>((temporal_reference & 3) << 6 | type << 3),
                            0xFF,
                            0xF8};
  std::vector<uint8_t> picture(sizeof header + filler, 0x55);
  std::copy(std::begin(header), std::end(header), picture.begin());
  return picture;
}

void WriteVideoStream(const std::string& path, uint32_t sectors, uint32_t gop) {
  MpegSynth stream;
  std::vector<uint8_t> intra = SequenceHeader(352, 288);
  for (const auto& part : {GroupOfPictures(), Picture(0, 1, 100)}) {
    intra.insert(intra.end(), part.begin(), part.end());
  }
  for (uint32_t i = 0; i < sectors; ++i) {
    const bool last = i + 1 == sectors;  // its end code completes it
    const bool starts_group = gop != 0 ? i % gop == 0 : i == 0;
    stream.Pack(i * 1200, 0xE0, starts_group ? intra : Picture(static_cast<uint16_t>(i), 2),
                last ? 2320 : 2324);
  }
  stream.EndCode().WriteTo(path);
}

}  // namespace vcd2::test
