// A build's temporary files live in a private folder that goes with it.
#include "base/temporary_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/disc_build.h"
#include "support/mpeg_synth.h"
#include "support/temp_dir.h"

namespace vcd2 {
namespace {

namespace fs = std::filesystem;

// Points the system's temporary directory at a test folder while it lives.
class TemporaryDirectory {
 public:
  explicit TemporaryDirectory(const fs::path& path) {
    const char* old = std::getenv("TMPDIR");
    if (old != nullptr) old_ = old;
    had_ = old != nullptr;
    setenv("TMPDIR", path.c_str(), 1);
  }
  ~TemporaryDirectory() {
    if (had_) {
      setenv("TMPDIR", old_.c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
  }

 private:
  std::string old_;
  bool had_ = false;
};

TEST(TemporaryFolderTest, FilesShareAPrivateFolderRemovedWithIt) {
  test::TempDir dir;
  const fs::path tmp = dir.Path() / "tmp";
  fs::create_directory(tmp);
  const TemporaryDirectory pointed(tmp);
  fs::path folder;
  {
    TemporaryFolder temporary;
    std::string psd, lot;
    UniqueFile a = temporary.CreateFile("PSD", psd);
    UniqueFile b = temporary.CreateFile("LOT", lot);
    ASSERT_TRUE(a && b);
    folder = fs::path(psd).parent_path();
    EXPECT_EQ(folder, fs::path(lot).parent_path());
    EXPECT_EQ(folder.parent_path(), tmp);
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::path(psd).filename().string().rfind("PSD", 0), 0u);
    EXPECT_EQ(std::fputs("written through mkstemp's descriptor", a.get()), 1);
  }
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(fs::is_empty(tmp));
}

// A build with playback control, whole or stopped after its temporary files
// were written, leaves nothing in the temporary directory.
TEST(TemporaryFolderTest, BuildsLeaveNoTemporaryFiles) {
  test::TempDir dir;
  const fs::path tmp = dir.Path() / "tmp";
  fs::create_directory(tmp);
  const TemporaryDirectory pointed(tmp);
  test::MpegSynth stream;
  for (uint32_t i = 0; i < 20; ++i) stream.Pack(i * 1200, 0xE0, {}, i == 19 ? 2320 : 2324);
  stream.EndCode().WriteTo((dir.Path() / "t.mpg").string());
  const std::string script =
      "OUTPUT 1 DIR \"data.bin\" 2 DIR \"t1.bin\" ENDOUTPUT MPGTRACK T 1 DIR \"t.mpg\" "
      "PLAYLIST START PLAY T ENDPLAY ENDPLAYLIST";
  for (const char* stop_at : {"", "Inserting PSD..."}) {
    const auto build = test::BuildDisc(dir, script, stop_at);
    EXPECT_EQ(build.result, *stop_at == '\0' ? 0 : 1) << stop_at;
    EXPECT_TRUE(fs::is_empty(tmp)) << stop_at;
  }
}

}  // namespace
}  // namespace vcd2
