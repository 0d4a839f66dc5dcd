// The non-MPEG source readers: FILE, RTF, GENRTF and IFFDYUV.
#include <gtest/gtest.h>

#include "base/file_error.h"
#include "media/source_writer.h"
#include "sector/scrambler.h"
#include "support/message_capture.h"
#include "support/recording_writer.h"
#include "support/script_runner.h"
#include "support/temp_dir.h"

namespace vcd2 {
namespace {

struct Copy {
  SourceResult result;
  std::vector<std::string> messages;
  test::RecordingWriter writer;
};

// Copies the first CD-i file of the script into sectors from 0.
std::unique_ptr<Copy> CopyFile(const std::string& statement) {
  auto run = test::Parse(test::Script20(statement));
  EXPECT_TRUE(run.ok) << statement;
  auto copy = std::make_unique<Copy>();
  test::MessageCapture capture;
  copy->result =
      WriteSourceSectors(*run.project, copy->writer, *run.project->cdi_files.at(0), 0, 1);
  copy->messages = capture.Messages();
  return copy;
}

std::vector<int> Submodes(const Copy& copy) {
  std::vector<int> submodes;
  for (const auto& [lba, sector] : copy.writer.sectors) submodes.push_back(sector[18]);
  return submodes;
}

TEST(ReadersTest, PlainFiles) {
  test::TempDir dir;
  struct Case {
    size_t bytes;
    std::vector<int> submodes;
  };
  for (const Case& c : {Case{0, {}}, Case{2048, {0x88}}, Case{2049, {0x08, 0x88}}}) {
    const std::string path = dir.Write("f", std::string(c.bytes, 'f'));
    const auto copy = CopyFile("FILE \"F\" \"" + path + "\"");
    ASSERT_TRUE(copy->result.ok);
    EXPECT_EQ(Submodes(*copy), c.submodes) << c.bytes;
    EXPECT_EQ(copy->result.size, c.bytes);
  }
  test::MessageCapture capture;
  EXPECT_THROW(CopyFile("FILE \"F\" \"" + (dir.Path() / "none").string() + "\""), FileError);
}

TEST(ReadersTest, RtfSectorsAreDescrambled) {
  test::TempDir dir;
  RawSector plain{};
  plain[15] = 0x02;
  SetSubheader(plain, {1, 0, 0x08, 0});
  plain[100] = 0x42;
  RawSector scrambled = plain;
  scrambled[15] = 0x62;
  ScrambleSectorBody(scrambled.data() + 12);
  scrambled[15] = 0x62;  // the mode byte tells a scrambled sector
  std::string bytes(reinterpret_cast<const char*>(plain.data()), plain.size());
  bytes.append(reinterpret_cast<const char*>(scrambled.data()), scrambled.size());
  const auto copy = CopyFile("RTF \"R.RTF\" \"" + dir.Write("r.rtf", bytes) + "\"");
  ASSERT_TRUE(copy->result.ok);
  ASSERT_EQ(copy->result.next_sector, 2);
  EXPECT_EQ(copy->result.size, 4096u);
  EXPECT_EQ(copy->writer.sectors.at(1)[100], 0x42);
  EXPECT_EQ(copy->writer.sectors.at(1)[18], 0x08);
  bytes[15] = 0x01;
  const auto bad = CopyFile("RTF \"R.RTF\" \"" + dir.Write("bad.rtf", bytes) + "\"");
  EXPECT_FALSE(bad->result.ok);
  EXPECT_EQ(bad->messages,
            std::vector<std::string>{dir.Path().string() + "/bad.rtf is not a valid RTF file."});
}

TEST(ReadersTest, GenRtfPartsFillSectorsOfTheirForm) {
  test::TempDir dir;
  const std::string a = dir.Write("a", std::string(2049, 'a'));
  const std::string b = dir.Write("b", std::string(2324, 'b'));
  const auto copy = CopyFile("GENRTF \"G.RTF\" FORM 1 \"" + a + "\" EOR FORM 2 \"" + b + "\" EOF");
  ASSERT_TRUE(copy->result.ok);
  EXPECT_EQ(Submodes(*copy), (std::vector<int>{0x08, 0x09, 0xA8}));
  EXPECT_EQ(copy->result.size, 3u * 2048);  // Form 2 sectors count 2048 too
}

std::string Chunk(const char* id, uint32_t size, const std::string& rest) {
  std::string chunk(id, 4);
  for (int shift = 24; shift >= 0; shift -= 8) chunk += static_cast<char>(size >> shift);
  return chunk + rest;
}

TEST(ReadersTest, IffPicturesCopyTheirImageData) {
  test::TempDir dir;
  const std::string idat = Chunk("IDAT", 4096, std::string(4096, 'y'));
  const std::string picture =
      Chunk("CAT ", 8, "ANIMxxxx") + Chunk("FORM", 100, "IMAG") + Chunk("IHDR", 0, "") + idat;
  const auto copy = CopyFile("IFFDYUV \"P.IFF\" \"" + dir.Write("p.iff", picture) + "\"");
  ASSERT_TRUE(copy->result.ok);
  EXPECT_EQ(Submodes(*copy), (std::vector<int>{0x08, 0x88}));
  EXPECT_EQ(copy->result.size, 4096u);
  const std::string at = "\r\n" + (dir.Path() / "bad.iff").string() + ": ";
  for (const auto& [contents, message] : std::vector<std::pair<std::string, std::string>>{
           {Chunk("FORM", 4, "ILBM"), "No IFF file." + at + "no FORM of type IMAG."},
           {"short", "No IFF file." + at + "no FORM of type IMAG."},
           {Chunk("FORM", 4, "IMAG") + "IHDR",
            "No IDAT chunk." + at + "the FORM IMAG holds no IDAT chunk."},
           {Chunk("FORM", 4, "IMAG") + Chunk("IDAT", 100'000'000, std::string(16, 'y')),
            "The IDAT chunk of " + (dir.Path() / "bad.iff").string() +
                " claims 100000000 bytes; the file holds 16 behind its header."}}) {
    const auto bad = CopyFile("IFFDYUV \"P.IFF\" \"" + dir.Write("bad.iff", contents) + "\"");
    EXPECT_FALSE(bad->result.ok);
    EXPECT_EQ(bad->messages, std::vector<std::string>{message});
  }
}

}  // namespace
}  // namespace vcd2
