#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vcd2::test {

// An MPEG-1 system stream read pack by pack, for checking written streams.
struct ParsedPacket {
  uint8_t id = 0;
  std::optional<uint16_t> buffer;  // the buffer size field's two bytes
  std::optional<uint32_t> pts;
  std::optional<uint32_t> dts;
  std::vector<uint8_t> data;  // payload; the whole body of system headers and padding
};

struct ParsedPack {
  uint32_t scr = 0;
  size_t size = 0;
  std::vector<ParsedPacket> packets;
  bool end_code = false;
};

// Fails the test at anything that is no pack.
std::vector<ParsedPack> ParsePacks(const std::vector<uint8_t>& stream);
std::vector<uint8_t> ReadBytes(const std::string& path);
// The concatenated payloads of one stream.
std::vector<uint8_t> StreamData(const std::vector<ParsedPack>& packs, uint8_t id);

}  // namespace vcd2::test
