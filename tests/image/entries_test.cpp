// Entry points placed on the sequence headers a track's scanner found.
#include <gtest/gtest.h>

#include <tuple>

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
};

// The second line of a refused entry: the track's length and the time of the
// nearest sequence header.
std::string Where(const std::string& nearest) {
  return "\r\nTrack M plays about 0:00:04:00; the nearest time an entry can take is " + nearest +
         ".";
}

TEST_F(EntriesTest, PlacementModesAndRefusals) {
  const auto build = Build(
      "DEFENTRY AFTER 0:0:0:13 M DEFENTRY BEFORE -0:0:1:13 M "
      "DEFENTRY EXACT =0:0:1:23 M DEFENTRY LATE 0:0:3:0 M DEFENTRY TWIN 0:0:3:1 M");
  ASSERT_EQ(build.result, 0) << (build.messages.empty() ? "" : build.messages[0]);
  // Pictures 13 -> 24 (at or after), 38 -> 36 (at or before), 48 -> 48
  // (exactly), 75 and 76 -> 84; picture n lies in sector 30 + n.
  const RawSector sector = test::ReadImageSector(Out("data.bin"), 151);
  const uint8_t* data = sector.data() + 24;
  std::vector<int32_t> positions;  // in sectors from the track's start
  for (int i = 1; i < LoadBigEndian16(data + 10); ++i) {
    positions.push_back(test::DiscAddress(data + 13 + 4 * i) - test::DiscAddress(data + 13));
  }
  EXPECT_EQ(positions, (std::vector<int32_t>{30 + 24, 30 + 36, 30 + 48, 30 + 84, 30 + 84}));
  EXPECT_EQ(build.warnings,
            std::vector<std::string>{"Entries LATE and TWIN of track M fall on the same "
                                     "sector 114; a player sees one."});

  for (const auto& [entry, gop, message] :
       std::vector<std::tuple<std::string, uint32_t, std::string>>{
           {"DEFENTRY E =0:0:0:13 M", 12,
            "Could not set entry E, no sequence header at this frame." + Where("0:00:00:12")},
           {"DEFENTRY E 0:0:1:0 M", 96,
            "Could not set entry E within 2 sec of desired location." + Where("0:00:00:00")},
           {"DEFENTRY E 0:0:9:0 M", 12, "Could not set entry E." + Where("0:00:03:21")}}) {
    const auto refused = Build(entry, gop);
    EXPECT_EQ(refused.result, 1) << entry;
    EXPECT_EQ(refused.messages, std::vector<std::string>{message}) << entry;
  }
  // 27 pictures of a second on a PAL track run into the next second.
  EXPECT_EQ(Build("DEFENTRY E 0:0:1:27 M", 12).warnings,
            std::vector<std::string>{"Entry E asks for picture 27 of a second; track M has 25 "
                                     "pictures a second, so it is read as 0:00:02:02."});
}

}  // namespace
}  // namespace vcd2
