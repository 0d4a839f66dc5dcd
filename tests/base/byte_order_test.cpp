#include "base/byte_order.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace vcd2 {
namespace {

TEST(ByteOrderTest, EveryHelperWritesAndReadsKnownBytes) {
  using Bytes = std::vector<uint8_t>;
  const struct {
    const char* helper;
    std::function<void(uint8_t*)> store;
    Bytes expected;
  } cases[] = {
      {"BE16", [](uint8_t* p) { StoreBigEndian16(p, 0x1234); }, {0x12, 0x34}},
      {"BE32", [](uint8_t* p) { StoreBigEndian32(p, 0x12345678); }, {0x12, 0x34, 0x56, 0x78}},
      {"LE16", [](uint8_t* p) { StoreLittleEndian16(p, 0x1234); }, {0x34, 0x12}},
      {"LE32", [](uint8_t* p) { StoreLittleEndian32(p, 0x12345678); }, {0x78, 0x56, 0x34, 0x12}},
      {"Both16", [](uint8_t* p) { StoreBothEndian16(p, 0x1234); }, {0x34, 0x12, 0x12, 0x34}},
      {"Both32",
       [](uint8_t* p) { StoreBothEndian32(p, 0x12345678); },
       {0x78, 0x56, 0x34, 0x12, 0x12, 0x34, 0x56, 0x78}},
  };
  for (const auto& c : cases) {
    Bytes bytes(c.expected.size(), 0xEE);
    c.store(bytes.data());
    EXPECT_EQ(bytes, c.expected) << c.helper;
  }
  Bytes appended{0xAA};
  AppendBigEndian16(appended, 0xBEEF);
  EXPECT_EQ(appended, (Bytes{0xAA, 0xBE, 0xEF}));
  const uint8_t read[] = {0x12, 0x34, 0x56, 0x78};
  EXPECT_EQ(LoadBigEndian16(read), 0x1234);
  EXPECT_EQ(LoadBigEndian32(read), 0x12345678u);
  EXPECT_EQ(LoadLittleEndian16(read), 0x3412);
  EXPECT_EQ(LoadLittleEndian32(read), 0x78563412u);
  EXPECT_EQ(Bcd(0), 0x00);
  EXPECT_EQ(Bcd(59), 0x59);
  EXPECT_EQ(Bcd(99), 0x99);
}

}  // namespace
}  // namespace vcd2
