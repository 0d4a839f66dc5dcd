// Entry points placed on the sequence headers a track's scanner found.
#include <gtest/gtest.h>

#include "base/byte_order.h"
#include "support/disc_build.h"
#include "support/mpeg_synth.h"

namespace vcd2 {
namespace {

class EntriesTest : public test::DiscTest {
 protected:
  // One picture per pack, PAL; a sequence header every `gop` pictures.
  test::DiscBuild Build(const std::string& entries, uint32_t gop = 12) {
    test::WriteVideoStream(Out("m.mpg"), 101, gop);
    return test::BuildDisc(
        dir_, "OUTPUT 1 DIR \"data.bin\" 2 DIR \"t.bin\" ENDOUTPUT\nMPGTRACK M 1 DIR \"m.mpg\"\n" +
                  entries);
  }
  // Sector positions of the entries, relative to the track.
  std::vector<int32_t> Positions() const {
    const RawSector sector = test::ReadImageSector(Out("data.bin"), 151);
    const uint8_t* data = sector.data() + 24;
    std::vector<int32_t> positions;
    for (int i = 0, track = 0; i < LoadBigEndian16(data + 10); ++i) {
      const uint8_t* e = data + 12 + 4 * i;
      const int32_t address = test::DiscAddress(e + 1);
      if (i == 0) track = address;
      if (i > 0) positions.push_back(address - track);
    }
    return positions;
  }
};

TEST_F(EntriesTest, PlacementModes) {
  const auto build = Build(
      "DEFENTRY AFTER 0:0:0:13 M DEFENTRY BEFORE -0:0:1:13 M "
      "DEFENTRY EXACT =0:0:1:23 M DEFENTRY LATE 0:0:3:0 M DEFENTRY TWIN 0:0:3:1 M");
  ASSERT_EQ(build.result, 0) << (build.messages.empty() ? "" : build.messages[0]);
  // Pictures 13 -> 24 (at or after), 38 -> 36 (at or before), 48 -> 48
  // (exactly), 75 and 76 -> 84; picture n lies in sector 30 + n.
  EXPECT_EQ(Positions(), (std::vector<int32_t>{30 + 24, 30 + 36, 30 + 48, 30 + 84, 30 + 84}));
  EXPECT_EQ(build.warnings,
            std::vector<std::string>{"Entries LATE and TWIN of track M fall on the same "
                                     "sector 114; a player sees one."});
}

TEST_F(EntriesTest, Failures) {
  struct Case {
    std::string entry;
    uint32_t gop;
    std::string message;
  };
  for (const Case& c :
       {Case{"DEFENTRY E =0:0:0:13 M", 12,
             "Could not set entry E, no sequence header at this frame."},
        Case{"DEFENTRY E 0:0:1:0 M", 96, "Could not set entry E within 2 sec of desired location."},
        Case{"DEFENTRY E 0:0:9:0 M", 12, "Could not set entry E."}}) {
    const auto build = Build(c.entry, c.gop);
    EXPECT_EQ(build.result, 1) << c.entry;
    EXPECT_EQ(build.messages, std::vector<std::string>{c.message}) << c.entry;
  }
}

}  // namespace
}  // namespace vcd2
