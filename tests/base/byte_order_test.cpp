#include "base/byte_order.h"

#include <gtest/gtest.h>

#include <vector>

namespace vcd2 {
namespace {

TEST(ByteOrderTest, EveryHelperWritesAndReadsKnownBytes) {
  using Bytes = std::vector<uint8_t>;
  Bytes bytes(24, 0xEE);
  StoreBigEndian16(&bytes[0], 0x1234);
  StoreBigEndian32(&bytes[2], 0x12345678);
  StoreLittleEndian16(&bytes[6], 0x1234);
  StoreLittleEndian32(&bytes[8], 0x12345678);
  StoreBothEndian16(&bytes[12], 0x1234);
  StoreBothEndian32(&bytes[16], 0x12345678);
  EXPECT_EQ(bytes, (Bytes{0x12, 0x34, 0x12, 0x34, 0x56, 0x78, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12,
                          0x34, 0x12, 0x12, 0x34, 0x78, 0x56, 0x34, 0x12, 0x12, 0x34, 0x56, 0x78}));
  EXPECT_EQ(LoadBigEndian16(&bytes[2]), 0x1234);
  EXPECT_EQ(LoadBigEndian32(&bytes[2]), 0x12345678u);
  EXPECT_EQ(LoadLittleEndian16(&bytes[2]), 0x3412);
  EXPECT_EQ(LoadLittleEndian32(&bytes[2]), 0x78563412u);
  EXPECT_EQ(Bcd(59), 0x59);
  EXPECT_EQ(Bcd(99), 0x99);
}

}  // namespace
}  // namespace vcd2
