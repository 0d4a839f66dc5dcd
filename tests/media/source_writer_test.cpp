// Every source reader copying into sectors: MPEG streams made pack by pack,
// plain files, RTF, GENRTF and IFFDYUV pictures.
#include <gtest/gtest.h>

#include <array>
#include <map>

#include "base/file_error.h"
#include "media/source_writer.h"
#include "sector/scrambler.h"
#include "sector/sector_writer.h"
#include "support/message_capture.h"
#include "support/mpeg_synth.h"
#include "support/script_runner.h"
#include "support/sound_files.h"
#include "support/temp_dir.h"

namespace vcd2 {
namespace {

using test::MpegSynth;

// Keeps every written sector by its LBA.
struct RecordingWriter : SectorWriter {
  Status Write(int32_t lba, RawSector& sector) override {
    FinishSector(sector, lba);
    sectors[lba] = sector;
    return true;
  }
  std::map<int32_t, RawSector> sectors;
};

struct Copy {
  SourceResult result;
  std::vector<std::string> messages;
  std::vector<std::string> warnings;
  RecordingWriter writer;

  std::vector<int> Submodes() const {
    std::vector<int> submodes;
    for (const auto& [lba, sector] : writer.sectors) submodes.push_back(sector[18]);
    return submodes;
  }
};

// Copies the source of the script's first MPEG track from sector 30 with the
// entry scan, or else that of its first CD-i file from sector 0.
std::unique_ptr<Copy> CopySource(const std::string& statement) {
  auto run = test::Parse(test::Script20(statement));
  EXPECT_TRUE(run.ok) << statement;
  auto copy = std::make_unique<Copy>();
  const VcdProject& project = *run.project;
  test::MessageCapture capture;
  copy->result =
      project.mpeg_tracks.empty()
          ? WriteSourceSectors(project, copy->writer, *project.cdi_files.at(0), 0, 1)
          : WriteSourceSectors(project, copy->writer, *project.mpeg_tracks[0], 30, 1, true);
  copy->messages = capture.Messages();
  // Synthetic streams are not Video CD compliant; keep the other warnings.
  std::copy_if(capture.Warnings().begin(), capture.Warnings().end(),
               std::back_inserter(copy->warnings),
               [](const std::string& w) { return w.find("not Video CD compliant") == w.npos; });
  return copy;
}

// Copies a stream as the track of MPGTRACK statement T; messages name it s.mpg.
std::unique_ptr<Copy> CopyStream(const std::vector<uint8_t>& bytes,
                                 const std::string& script_body = "") {
  test::TempDir dir;
  const std::string path = dir.Write("s.mpg", std::string(bytes.begin(), bytes.end()));
  auto copy = CopySource("MPGTRACK T 1 \"" + path + "\" " + script_body);
  for (auto* texts : {&copy->messages, &copy->warnings}) {
    for (auto& text : *texts) {
      if (const size_t at = text.find(path); at != std::string::npos)
        text.replace(at, path.size(), "s.mpg");
    }
  }
  return copy;
}

// Fillers for clock gaps and the zeros behind an audio pack are pinned by
// mpeg_build_hash_test.
TEST(MpegSourceTest, SubheadersByPackKind) {
  MpegSynth stream;
  stream.SystemHeaderPack(0, 0xE1)
      .Pack(1200, 0xC0, {0xFF, 0xFD, 0x94, 0x04}, 2304)
      .Pack(2400, 0xE1)
      .Pack(3600, 0xE2)
      .Pack(4800, 0xBE)
      .Pack(6000, 0xBD)  // other streams count as video
      .Zeros(3)
      .Pack(7200, 0xC0, {0xFF, 0xFD, 0x94, 0x04}, 2284)
      .Padding(20)
      .Pack(8400, 0xE0, {}, 2224)
      .Padding(100)
      .Pack(9600, 0xE0);
  // The last pack is followed by nothing: it is not delivered. A padding
  // packet ends a record wherever it lies in the pack (the first pack never does).
  const auto copy = CopyStream(stream.Bytes());
  ASSERT_TRUE(copy->result.ok);
  ASSERT_EQ(copy->result.next_sector, 38);
  const std::vector<std::array<int, 4>> expected = {
      // file, channel, submode, coding
      {1, 2, 0x62, 0x1F}, {1, 1, 0x64, 0x7F}, {1, 2, 0x62, 0x1F}, {1, 3, 0x62, 0x3F},
      {1, 0, 0x63, 0x1F}, {1, 1, 0x62, 0x0F}, {1, 1, 0x65, 0x7F}, {1, 1, 0x63, 0x0F}};
  for (int i = 0; i < 8; ++i) {
    const RawSector& sector = copy->writer.sectors.at(30 + i);
    EXPECT_EQ((std::array<int, 4>{sector[16], sector[17], sector[18], sector[19]}), expected[i]);
  }
}

// Only still pictures, PAL motion with stereo audio, an NTSC still, mono audio.
TEST(MpegSourceTest, ContentTypes) {
  const std::vector<uint8_t> stereo{0xFF, 0xFD, 0x94, 0x04}, mono{0xFF, 0xFD, 0x94, 0xC4};
  const auto pal = test::SequenceHeader(352, 288), ntsc = test::SequenceHeader(352, 240);
  const std::pair<MpegSynth, uint8_t> cases[] = {
      {MpegSynth().Pack(0, 0xE2).Pack(1200, 0xE2), 0x00},
      {MpegSynth().Pack(0, 0xE0, pal).Pack(1200, 0xC0, stereo, 2304).Pack(2400, 0xE0), 0x1E},
      {MpegSynth().Pack(0, 0xE1, ntsc).Pack(1200, 0xE2).Pack(2400, 0xE2), 0x08},
      {MpegSynth().Pack(0, 0xC0, mono, 2304).Pack(1200, 0xC0, {}, 2304), 0x01}};
  for (const auto& [stream, type] : cases) {
    const auto copy = CopyStream(stream.Bytes());
    ASSERT_TRUE(copy->result.ok);
    EXPECT_EQ(copy->result.content_type, type);
  }
}

std::vector<uint8_t> Joined(std::initializer_list<std::vector<uint8_t>> parts,
                            std::vector<uint8_t> joined = {}) {
  for (const auto& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

// The entry scan's sequence headers as {sector, byte in it, picture}: those
// of intra pictures, the first split over two packs and followed by a clock
// gap; headers in the video packet behind a system header (whatever stream it
// lists first), just before one, and in the last payload; a header split at
// every offset from 1 to 6 bytes before the end of a payload, with an audio
// pack between the parts. A split header is recorded with its first pack; one
// whose picture lies behind a system header is dropped.
TEST(MpegSourceTest, TheEntryScanFindsSequenceHeaders) {
  using Found = std::vector<std::array<uint32_t, 3>>;
  constexpr uint32_t kPayload = 12 + 6 + 1;  // behind the pack and packet headers
  constexpr uint32_t kRoom = MpegSynth::kVideoPayload;
  std::vector<std::pair<MpegSynth, Found>> cases(2);
  std::vector<uint8_t> es(kRoom - 2, 0x55);
  for (int gop = 0; gop < 3; ++gop) {
    es = Joined({test::SequenceHeader(352, 288), test::GroupOfPictures(), test::Picture(2, 1, 1000),
                 test::Picture(0, 3, 1000), test::Picture(1, 3, 1000)},
                es);
  }
  cases[0].first.VideoStream(0, es).Pack(100 * 1200, 0xE0);
  cases[0].first.Pack(101 * 1200, 0xE0, {}, 2320).EndCode();
  cases[0].second = {{30, kPayload + kRoom - 2, 2}, {32, 756, 5}, {33, 1495, 8}};
  const auto entry =
      Joined({test::SequenceHeader(352, 288), test::GroupOfPictures(), test::Picture(0, 1)});
  cases[1].first.SystemHeaderPack(0, 0xC0, entry).Pack(1200, 0xE0, test::Picture(1, 2));
  cases[1].first.Pack(2400, 0xE0, entry).SystemHeaderPack(3600, 0xE0);
  cases[1].first.Pack(4800, 0xE0, entry, 2320).EndCode();
  cases[1].second = {{30, kPayload + 18, 0}, {32, kPayload, 2}, {34, kPayload, 3}};
  for (uint32_t before = 1; before <= 6; ++before) {
    es = Joined({entry}, std::vector<uint8_t>(kRoom - before, 0x55));
    const auto at = es.begin() + kRoom;
    MpegSynth& split =
        cases.emplace_back(MpegSynth(), Found{{30, kPayload + kRoom - before, 0}}).first;
    split.Pack(0, 0xE0, {es.begin(), at}).Pack(1200, 0xC0, {0xFF, 0xFD}, 2304);
    split.Pack(2400, 0xE0, {at, es.end()}).Pack(3600, 0xE0, test::SequenceHeader(352, 288));
    split.SystemHeaderPack(4800, 0xE0).Pack(6000, 0xE0, test::Picture(0, 1)).Pack(7200, 0xE0);
  }
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    const auto copy = CopyStream(cases[i].first.Bytes());
    ASSERT_TRUE(copy->result.ok);
    Found found;
    for (const auto& h : copy->result.sequence_headers)
      found.push_back({h.sector, h.position, h.picture});
    EXPECT_EQ(found, cases[i].second);
  }
}

// Marks set the trigger bit of the sector at their time, END of the last
// pack only; marks that come up behind the written sectors (out of order, or
// twice in one run of fillers) or beyond the end get no trigger and are named.
TEST(MpegSourceTest, PauseMarksSetTheTriggerBit) {
  MpegSynth stream;
  for (uint32_t i = 0; i < 10; ++i) stream.Pack(i * 1200, 0xE0);
  for (uint32_t i = 20; i < 160; ++i) stream.Pack(i * 1200, 0xE0);  // fillers at 10..19
  stream.Pack(160 * 1200, 0xE0, {}, 2320).EndCode();
  const auto copy = CopyStream(
      stream.Bytes(),
      "AUTOPAUSE T END AUTOPAUSE T BEGIN AUTOPAUSE T AT 0:0:0:12 AUTOPAUSE T AT 0:0:0:14 "
      "AUTOPAUSE T AT 0:0:0:5 AUTOPAUSE T AT 0:0:1:0 AUTOPAUSE T AT 0:0:2:0 "
      "AUTOPAUSE U AT 0:0:0:20 AUTOPAUSE T AT 0:0:3:0");
  ASSERT_TRUE(copy->result.ok);
  EXPECT_EQ(copy->result.next_sector, 30 + 161);
  std::vector<int32_t> triggered;
  for (const auto& [lba, sector] : copy->writer.sectors) {
    if (sector[18] & 0x10) triggered.push_back(lba - 30);
  }
  EXPECT_EQ(triggered, (std::vector<int32_t>{0, 12, 75, 150, 160}));
  EXPECT_TRUE(copy->messages.empty());
  EXPECT_EQ(copy->warnings,
            (std::vector<std::string>{"AUTOPAUSE T AT 0:00:00:14 gets no trigger.",
                                      "AUTOPAUSE T AT 0:00:00:05 gets no trigger.",
                                      "AUTOPAUSE T AT 0:00:03:00 gets no trigger."}));
}

// A file of zeros and a pack of odd length are refused. A clock jump may
// outrun the rest of the file by 5 seconds of sectors; one more is refused
// before its fillers are written. Back by one pack's time is taken, and
// the span never wraps below the first pack; further back is refused. Two
// junk bytes after pack 20 of 30 end the stream behind pack 19, which they
// keep from ending, and the user learns what was left out.
TEST(MpegSourceTest, BadStreamsAreTakenOrRefused) {
  const auto jump = [](uint32_t fillers) {
    MpegSynth stream;
    stream.Pack(0, 0xE0).Pack(1200, 0xE0).Pack(2400 + fillers * 1200, 0xE0);
    return stream.Pack(3600 + fillers * 1200, 0xE0, {}, 2320).EndCode().Bytes();
  };
  const int32_t allowed = 2 + 5 * 75;  // the last two packs' sectors and the spare
  MpegSynth odd, slightly, back, thirty;
  odd.Pack(0, 0xE0).Pack(1200, 0xE0, {}, 2000).Pack(2400, 0xE0);
  slightly.Pack(12000, 0xE0).Pack(10800, 0xE0).Pack(11400, 0xE0, {}, 2320).EndCode();
  back.Pack(12000, 0xE0).Pack(13200, 0xE0).Pack(14400, 0xE0).Pack(13199, 0xE0);
  back.Pack(15600, 0xE0, {}, 2320).EndCode();
  for (uint32_t i = 0; i < 30; ++i) thirty.Pack(i * 1200, 0xE0);
  std::vector<uint8_t> junk = thirty.Bytes();
  junk.insert(junk.begin() + 20 * 2324, {0x47, 0x11});
  const std::string clock = "The system clock of s.mpg ";
  const struct {
    std::vector<uint8_t> bytes;
    int32_t next_sector;  // no sector is written from it on
    uint32_t span;        // 0: refused
    std::string message, warning;
  } cases[] = {
      {MpegSynth().Zeros(10).Bytes(), 30, 0, "Not an MPEG file: s.mpg.", ""},
      {odd.Bytes(), 31, 0,
       "Illegal MPEG Packet.\r\ns.mpg: the pack at byte 2324 is 2000 bytes long, not 2324 or "
       "2304.",
       ""},
      {jump(allowed), 30 + 4 + allowed, 4 + allowed, "", ""},
      {jump(allowed + 1), 32, 0,
       clock + "jumps 5.0 seconds ahead at byte 4648, more than the rest of the file can fill.",
       ""},
      {slightly.Bytes(), 33, 1, "", ""},
      {back.Bytes(), 33, 0, clock + "runs backwards at byte 6972.", ""},
      {junk, 30 + 19, 19, "",
       "Reading s.mpg stopped at byte 44156: the 25566 bytes after it were not used."}};
  const auto texts = [](const std::string& text) {
    return text.empty() ? std::vector<std::string>{} : std::vector<std::string>{text};
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message + c.warning);
    const auto copy = CopyStream(c.bytes);
    EXPECT_EQ(copy->result.ok, c.span != 0);
    EXPECT_EQ(copy->result.ok ? copy->result.sector_count : 0, c.span);
    EXPECT_EQ(copy->result.next_sector, c.next_sector);
    EXPECT_LE(copy->writer.sectors.size(), static_cast<size_t>(c.next_sector - 30));
    EXPECT_EQ(copy->messages, texts(c.message));
    EXPECT_EQ(copy->warnings, texts(c.warning));
  }
}

// An RTF file's second sector is scrambled (mode byte 0x62) and read back plain.
TEST(ReadersTest, FilesFillSectorsOfTheirForm) {
  test::TempDir dir;
  const std::string idat = test::Chunk("IDAT", std::string(4096, 'y'), true);
  const std::string picture =
      test::Chunk("CAT ", "ANIMxxxx", true) +
      test::Chunk("FORM", "IMAG" + test::Chunk("IHDR", "", true) + idat, true);
  RawSector plain{};
  plain[15] = 0x02;
  SetSubheader(plain, {1, 0, 0x08, 0});
  plain[kUserDataOffset] = 'r';
  RawSector scrambled = plain;
  ScrambleSectorBody(scrambled.data() + 12);
  scrambled[15] = 0x62;
  const std::string rtf =
      std::string(plain.begin(), plain.end()) + std::string(scrambled.begin(), scrambled.end());
  const struct {
    std::string statement;
    std::vector<int> submodes;
    uint64_t size;
    int last_data;  // the first data byte of the last sector
  } cases[] = {
      {"FILE \"F\" \"" + dir.Write("0", "") + "\"", {}, 0, -1},
      {"FILE \"F\" \"" + dir.Write("2048", std::string(2048, 'f')) + "\"", {0x88}, 2048, 'f'},
      {"FILE \"F\" \"" + dir.Write("2049", std::string(2049, 'f')) + "\"", {0x08, 0x88}, 2049, 'f'},
      {"GENRTF \"G.RTF\" FORM 1 \"" + dir.Write("a", std::string(2049, 'a')) + "\" EOR FORM 2 \"" +
           dir.Write("b", std::string(2324, 'b')) + "\" EOF",
       {0x08, 0x09, 0xA8},
       3 * 2048,  // Form 2 sectors count 2048 too
       'b'},
      {"IFFDYUV \"P.IFF\" \"" + dir.Write("p.iff", picture) + "\"", {0x08, 0x88}, 4096, 'y'},
      {"RTF \"R.RTF\" \"" + dir.Write("r.rtf", rtf) + "\"", {0x08, 0x08}, 4096, 'r'}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.statement);
    const auto copy = CopySource(c.statement);
    ASSERT_TRUE(copy->result.ok);
    EXPECT_EQ(copy->Submodes(), c.submodes);
    EXPECT_EQ(copy->result.size, c.size);
    const auto& sectors = copy->writer.sectors;
    EXPECT_EQ(sectors.empty() ? -1 : sectors.rbegin()->second[kUserDataOffset], c.last_data);
  }
  test::MessageCapture capture;
  EXPECT_THROW(CopySource("FILE \"F\" \"" + (dir.Path() / "none").string() + "\""), FileError);
}

// A sector with a mode other than 2 (0x62 scrambled) is no RTF sector.
TEST(ReadersTest, BadFilesAreRefused) {
  test::TempDir dir;
  const std::string path = (dir.Path() / "bad").string();
  const std::string at = "\r\n" + path + ": ";
  const struct {
    const char* keyword;
    std::string contents;
    std::string message;
  } cases[] = {
      {"RTF", std::string(15, 0) + '\x01' + std::string(2336, 0),
       path + " is not a valid RTF file."},
      {"IFFDYUV", test::Chunk("FORM", "ILBM", true), "No IFF file." + at + "no FORM of type IMAG."},
      {"IFFDYUV", "short", "No IFF file." + at + "no FORM of type IMAG."},
      {"IFFDYUV", test::Chunk("FORM", "IMAG", true) + "IHDR",
       "No IDAT chunk." + at + "the FORM IMAG holds no IDAT chunk."},
      {"IFFDYUV",
       test::Chunk("FORM", "IMAG", true) + std::string("IDAT\x05\xF5\xE1\0", 8) +
           std::string(16, 'y'),
       "The IDAT chunk of " + path +
           " claims 100000000 bytes; the file holds 16 behind its header."}};
  for (const auto& c : cases) {
    dir.Write("bad", c.contents);
    const auto bad = CopySource(std::string(c.keyword) + " \"X\" \"" + path + "\"");
    EXPECT_FALSE(bad->result.ok);
    EXPECT_EQ(bad->messages, std::vector<std::string>{c.message});
  }
}

}  // namespace
}  // namespace vcd2
