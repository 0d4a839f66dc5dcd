#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "sector/edc.h"
#include "sector/scrambler.h"
#include "sector/sector.h"
#include "support/sector_reference.h"

namespace vcd2 {
namespace {

RawSector RandomSector(uint8_t submode_bits, unsigned seed) {
  std::mt19937 random(seed);
  RawSector sector{};
  std::generate(sector.begin() + kUserDataOffset, sector.end(),
                [&] { return static_cast<uint8_t>(random()); });
  SetSubheader(sector, {1, 2, submode_bits, 3});
  return sector;
}

TEST(EdcTest, MatchesTheBitwiseCrcForEveryLength) {
  const RawSector data = RandomSector(0, 1);
  for (size_t size = 0; size <= kRawSectorSize; size += size < 300 ? 1 : 151) {
    ASSERT_EQ(Edc(data.data(), size), test::BitwiseEdc(data.data(), size)) << size;
  }
  EXPECT_EQ(Edc(data.data() + 3, 2332), test::BitwiseEdc(data.data() + 3, 2332));  // unaligned
}

// Form 1 sectors carry EDC and P/Q parity that do not depend on the header,
// Form 2 sectors only an EDC behind their zeroed data.
TEST(SectorTest, FinishedSectorsAreValidForTheirForm) {
  RawSector a = RandomSector(submode::kData, 2);
  RawSector b = a;
  FinishSector(a, 0);
  FinishSector(b, 4711);
  EXPECT_TRUE(test::SectorIsValid(a));
  EXPECT_TRUE(std::equal(a.begin() + kForm1EdcOffset, a.end(), b.begin() + kForm1EdcOffset));
  EXPECT_NE(a[kHeaderOffset + 1], b[kHeaderOffset + 1]);
  a[kUserDataOffset + 100] ^= 1;
  EXPECT_FALSE(test::SectorIsValid(a));
  RawSector form2{};
  SetSubheader(form2, {0, 0, submode::kForm2, 0});
  FinishSector(form2, -150);
  EXPECT_TRUE(test::SectorIsValid(form2));
  EXPECT_TRUE(std::all_of(form2.begin() + kUserDataOffset, form2.begin() + kForm2EdcOffset,
                          [](uint8_t b) { return b == 0; }));
  const uint8_t sync[12] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
  EXPECT_TRUE(std::equal(sync, sync + 12, form2.begin()));
}

TEST(SectorTest, HeaderAddressesAndImagePositions) {
  struct Case {
    int32_t lba;
    std::array<uint8_t, 4> header;
    int64_t position;
  };
  for (const Case& c :
       {Case{-150, {0x00, 0x00, 0x00, 0x02}, 0}, Case{0, {0x00, 0x02, 0x00, 0x02}, 352800},
        Case{16, {0x00, 0x02, 0x16, 0x02}, 390432}, Case{4349, {0x00, 0x59, 0x74, 0x02}, 10581648},
        Case{4350, {0x01, 0x00, 0x00, 0x02}, 10584000}}) {
    RawSector sector = RandomSector(submode::kData, 3);
    FinishSector(sector, c.lba);
    EXPECT_TRUE(std::equal(c.header.begin(), c.header.end(), sector.begin() + kHeaderOffset))
        << c.lba;
    EXPECT_EQ(ImagePosition(c.lba), c.position);
  }
}

TEST(ScramblerTest, MatchesTheShiftRegister) {
  const auto& sequence = ScramblerSequence();
  for (size_t i = 0; i < kScramblerSize; ++i) ASSERT_EQ(sequence[i], test::ScramblerByte(i)) << i;
  RawSector sector = RandomSector(0, 4);
  const RawSector original = sector;
  ScrambleSectorBody(sector.data() + kHeaderOffset);
  ScrambleSectorBody(sector.data() + kHeaderOffset);
  EXPECT_EQ(sector, original);
}

}  // namespace
}  // namespace vcd2
