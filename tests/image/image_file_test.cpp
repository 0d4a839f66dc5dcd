// An image file that cannot be made or written is named, with the system's
// wording, on the line after the message.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/disc_build.h"
#include "support/mpeg_synth.h"

namespace vcd2 {
namespace {

TEST(ImageFileTest, FailuresNameThePathAndTheSystemsReason) {
  test::TempDir dir;
  test::MpegSynth stream;
  for (uint32_t i = 0; i < 600; ++i) stream.Pack(i * 1200, 0xE0, {}, i == 599 ? 2320 : 2324);
  stream.EndCode().WriteTo((dir.Path() / "t.mpg").string());
  const std::string at = dir.Path().string();
  struct Case {
    std::string outputs;
    const char* tmpdir;
    std::string message;
  };
  const Case cases[] = {
      {"1 DIR \"data.bin\" 2 DIR \"missing/t1.bin\"", nullptr,
       "Could not open image file.\r\n" + at + "/missing/t1.bin: No such file or directory"},
      {"1 DIR \"missing/data.bin\" 2 DIR \"t1.bin\"", nullptr,
       "Writing image file failed (2).\r\n" + at + "/missing/data.bin: No such file or directory"},
      {"1 DIR \"data.bin\" 2 DIR \"t1.bin\"", "/proc",
       "Could not open image file.\r\n/proc: No such file or directory"},
  };
  const char* tmpdir = std::getenv("TMPDIR");
  const std::string old_tmpdir = tmpdir != nullptr ? tmpdir : "";
  for (const Case& c : cases) {
    if (c.tmpdir != nullptr) setenv("TMPDIR", c.tmpdir, 1);
    const auto build = test::BuildDisc(dir, "OUTPUT " + c.outputs +
                                                " ENDOUTPUT MPGTRACK T 1 DIR \"t.mpg\" "
                                                "PLAYLIST START PLAY T ENDPLAY ENDPLAYLIST");
    if (c.tmpdir != nullptr && tmpdir == nullptr) unsetenv("TMPDIR");
    if (c.tmpdir != nullptr && tmpdir != nullptr) setenv("TMPDIR", old_tmpdir.c_str(), 1);
    EXPECT_EQ(build.result, 1) << c.outputs;
    EXPECT_EQ(build.messages, std::vector<std::string>{c.message});
  }
}

}  // namespace
}  // namespace vcd2
