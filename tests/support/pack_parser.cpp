#include "support/pack_parser.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace vcd2::test {
namespace {

uint32_t TimeStamp(const uint8_t* p) {
  return uint32_t{p[0]} >> 1 << 30 | uint32_t{p[1]} << 22 | uint32_t{p[2]} >> 1 << 15 |
         uint32_t{p[3]} << 7 | p[4] >> 1;
}

ParsedPacket ParsePacket(const uint8_t* p, size_t length) {
  ParsedPacket packet;
  packet.id = p[3];
  const uint8_t* body = p + 6;
  const uint8_t* end = body + length;
  if (packet.id != 0xBB && packet.id != 0xBE) {
    while (body < end && *body == 0xFF) ++body;
    if (body < end && (*body & 0xC0) == 0x40) {
      packet.buffer = static_cast<uint16_t>(body[0] << 8 | body[1]);
      body += 2;
    }
    const int stamps = *body >> 4 == 3 ? 2 : *body >> 4 == 2 ? 1 : 0;  // else 0x0F
    EXPECT_TRUE(stamps > 0 || *body == 0x0F);
    if (stamps >= 1) packet.pts = TimeStamp(body);
    if (stamps == 2) packet.dts = TimeStamp(body + 5);
    body += stamps == 0 ? 1 : 5 * stamps;
  }
  packet.data.assign(body, end);
  return packet;
}

}  // namespace

std::vector<ParsedPack> ParsePacks(const std::vector<uint8_t>& stream) {
  std::vector<ParsedPack> packs;
  size_t at = 0;
  while (at + 12 <= stream.size()) {
    const uint8_t* p = stream.data() + at;
    if (p[0] != 0 || p[1] != 0 || p[2] != 1 || p[3] != 0xBA) {
      ADD_FAILURE() << "no pack at " << at;
      break;
    }
    ParsedPack pack;
    pack.scr = TimeStamp(p + 4);
    size_t i = at + 12;
    while (i + 4 <= stream.size() && stream[i + 3] != 0xBA) {
      const uint8_t* q = stream.data() + i;
      if (q[3] == 0xB9) {
        pack.end_code = true;
        i += 4;
        break;
      }
      const size_t length = size_t{q[4]} << 8 | q[5];
      if (i + 6 + length > stream.size()) {
        ADD_FAILURE() << "packet beyond the end at " << i;
        return packs;
      }
      pack.packets.push_back(ParsePacket(q, length));
      i += 6 + length;
    }
    pack.size = i - at;
    packs.push_back(std::move(pack));
    at = i;
  }
  return packs;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> StreamData(const std::vector<ParsedPack>& packs, uint8_t id) {
  std::vector<uint8_t> data;
  for (const ParsedPack& pack : packs) {
    for (const ParsedPacket& packet : pack.packets) {
      if (packet.id == id) data.insert(data.end(), packet.data.begin(), packet.data.end());
    }
  }
  return data;
}

}  // namespace vcd2::test
