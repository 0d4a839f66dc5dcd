#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace vcd2 {

// The packs of a still-picture stream: 2324 bytes for video and padding,
// 2304 for audio, each a pack header and one packet, the rest padding.

inline constexpr size_t kPacketPrefixSize = 6;    // start code and length
inline constexpr size_t kFirstVideoData = 2294;   // behind buffer size, PTS and DTS
inline constexpr size_t kFullVideoPacket = 2306;  // packet length of a full video pack
inline constexpr size_t kAudioPacketData = 2278;  // data of a full audio packet
inline constexpr size_t kFullAudioPacket = 2286;  // packet length of a full audio pack
inline constexpr uint16_t kLowBufferKb = 46;      // decoder buffer of stream 0xE1
inline constexpr uint16_t kAudioBuffer128 = 32;   // decoder buffer of the audio: 4096 bytes

// The fields between a packet's length and its data.
struct PacketFields {
  uint8_t stream_id = 0;
  struct BufferSize {
    bool scale_kb;   // units of 1024 bytes (video), else 128 (audio)
    uint16_t units;  // 13 bits
  };
  std::optional<BufferSize> buffer;
  std::optional<uint32_t> pts;
  std::optional<uint32_t> dts;  // only with a pts
};

// A pack at clock whose first packet is the system header of stream_id:
// 0xE1 alone, 0xE1 with 0xE2 when high_buffer_kb is not 0 (the buffer size of
// 0xE2), or 0xC0. Fills pack, which has the pack's size.
void StoreSystemHeaderPack(std::span<uint8_t> pack, uint32_t clock, uint8_t stream_id,
                           uint16_t high_buffer_kb);

// A pack whose packet is full; returns the data bytes it takes from data,
// which holds at least that many.
size_t StoreFullPack(std::span<uint8_t> pack, uint32_t clock, const PacketFields& fields,
                     std::span<const uint8_t> data);

// A pack whose packet carries all of data, the rest of the pack padding.
// With end_code the pack ends in the end code when there is room for it;
// returns whether it was placed.
bool StoreLastPack(std::span<uint8_t> pack, uint32_t clock, const PacketFields& fields,
                   std::span<const uint8_t> data, bool end_code);

// A video-sized pack of padding that ends the stream with the end code.
void StoreClosingPack(std::span<uint8_t> pack, uint32_t clock);

}  // namespace vcd2
