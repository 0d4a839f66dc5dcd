// Every source reader copying into sectors: MPEG streams made pack by pack,
// plain files, RTF, GENRTF and IFFDYUV pictures.
#include <gtest/gtest.h>

#include <array>
#include <map>

#include "base/file_error.h"
#include "media/mpeg_pack_reader.h"
#include "media/source_writer.h"
#include "sector/scrambler.h"
#include "support/message_capture.h"
#include "support/mpeg_synth.h"
#include "support/recording_writer.h"
#include "support/script_runner.h"
#include "support/sector_reference.h"
#include "support/temp_dir.h"

namespace vcd2 {
namespace {

using test::MpegSynth;

struct Copy {
  SourceResult result;
  std::vector<std::string> messages;
  std::vector<std::string> warnings;
  test::RecordingWriter writer;
  std::unique_ptr<VcdProject> project;
  std::string path;

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
  copy->project = std::move(run.project);
  const VcdProject& project = *copy->project;
  test::MessageCapture capture;
  copy->result =
      project.mpeg_tracks.empty()
          ? WriteSourceSectors(project, copy->writer, *project.cdi_files.at(0), 0, 1)
          : WriteSourceSectors(project, copy->writer, *project.mpeg_tracks[0], 30, 1, true);
  copy->messages = capture.Messages();
  // Synthetic streams are not Video CD compliant; keep the other warnings.
  for (const auto& warning : capture.Warnings()) {
    if (warning.find("not Video CD compliant") == std::string::npos) {
      copy->warnings.push_back(warning);
    }
  }
  return copy;
}

std::unique_ptr<Copy> CopyBytes(const std::vector<uint8_t>& bytes,
                                const std::string& script_body = "") {
  test::TempDir dir;
  const std::string path = dir.Write("s.mpg", std::string(bytes.begin(), bytes.end()));
  auto copy = CopySource("MPGTRACK T 1 \"" + path + "\" " + script_body);
  copy->path = path;
  return copy;
}

std::unique_ptr<Copy> CopyStream(const MpegSynth& stream, const std::string& script_body = "") {
  return CopyBytes(stream.Bytes(), script_body);
}

// Fillers for clock gaps are pinned by mpeg_build_hash_test.
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
  const auto copy = CopyStream(stream);
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
  const RawSector& audio = copy->writer.sectors.at(31);
  EXPECT_TRUE(std::all_of(audio.begin() + 24 + 2304, audio.begin() + 24 + 2324,
                          [](uint8_t b) { return b == 0; }));
}

TEST(MpegSourceTest, BadStreams) {
  MpegSynth odd;
  odd.Pack(0, 0xE0).Pack(1200, 0xE0, {}, 2000).Pack(2400, 0xE0);
  auto copy = CopyStream(odd);
  EXPECT_FALSE(copy->result.ok);
  EXPECT_EQ(copy->messages, std::vector<std::string>{
                                "Illegal MPEG Packet.\r\n" + copy->path +
                                ": the pack at byte 2324 is 2000 bytes long, not 2324 or 2304."});
  EXPECT_EQ(copy->result.next_sector, 31);  // the sectors before stay written
  copy = CopyStream(MpegSynth().Zeros(10));
  EXPECT_FALSE(copy->result.ok);
  ASSERT_EQ(copy->messages.size(), 1u);
  EXPECT_EQ(copy->messages[0].rfind("Not an MPEG file: ", 0), 0u);
}

TEST(MpegSourceTest, ContentTypes) {
  const std::vector<uint8_t> stereo{0xFF, 0xFD, 0x94, 0x04}, mono{0xFF, 0xFD, 0x94, 0xC4};
  const std::pair<MpegSynth, uint8_t> cases[] = {
      {MpegSynth().Pack(0, 0xE2).Pack(1200, 0xE2), 0x00},
      {MpegSynth()
           .Pack(0, 0xE0, test::SequenceHeader(352, 288))
           .Pack(1200, 0xC0, stereo, 2304)
           .Pack(2400, 0xE0),
       0x1E},  // PAL motion with stereo audio
      {MpegSynth().Pack(0, 0xE1, test::SequenceHeader(352, 240)).Pack(1200, 0xE2).Pack(2400, 0xE2),
       0x08},  // NTSC still
      {MpegSynth().Pack(0, 0xC0, mono, 2304).Pack(1200, 0xC0, {}, 2304), 0x01}};
  for (const auto& [stream, type] : cases) {
    const auto copy = CopyStream(stream);
    ASSERT_TRUE(copy->result.ok);
    EXPECT_EQ(copy->result.content_type, type);
  }
}

// A sequence header split over two packs is recorded with the first.
TEST(MpegSourceTest, TheScanRecordsTheSequenceHeadersOfIntraPictures) {
  std::vector<uint8_t> es(MpegSynth::kVideoPayload - 2, 0x55);
  for (int gop = 0; gop < 3; ++gop) {
    for (auto part :
         {test::SequenceHeader(352, 288), test::GroupOfPictures(), test::Picture(2, 1, 1000),
          test::Picture(0, 3, 1000), test::Picture(1, 3, 1000)}) {
      es.insert(es.end(), part.begin(), part.end());
    }
  }
  MpegSynth stream;
  stream.VideoStream(0, es).Pack(100 * 1200, 0xE0).Pack(101 * 1200, 0xE0, {}, 2320).EndCode();
  const auto copy = CopyStream(stream);
  ASSERT_TRUE(copy->result.ok);
  const auto& headers = copy->result.sequence_headers;
  ASSERT_EQ(headers.size(), 3u);
  EXPECT_EQ(headers[0].sector, 30u);
  EXPECT_EQ(headers[0].position, 12 + 6 + 1 + MpegSynth::kVideoPayload - 2);
  EXPECT_EQ(headers[0].picture, 2u);
  EXPECT_EQ(headers[1].picture, 5u);
  EXPECT_EQ(headers[2].picture, 8u);
}

// A sequence header that begins 1 to 6 bytes before the end of a payload,
// with an audio pack between the two video packs; a sequence header whose
// picture lies behind a system header is dropped.
TEST(MpegSourceTest, StartCodesSplitAtEveryOffsetAreFound) {
  for (size_t before = 1; before <= 6; ++before) {
    std::vector<uint8_t> es(MpegSynth::kVideoPayload - before, 0x55);
    for (auto part :
         {test::SequenceHeader(352, 288), test::GroupOfPictures(), test::Picture(0, 1)}) {
      es.insert(es.end(), part.begin(), part.end());
    }
    const auto at = es.begin() + MpegSynth::kVideoPayload;
    MpegSynth stream;
    stream.Pack(0, 0xE0, {es.begin(), at})
        .Pack(1200, 0xC0, {0xFF, 0xFD}, 2304)
        .Pack(2400, 0xE0, {at, es.end()})
        .Pack(3600, 0xE0, test::SequenceHeader(352, 288))
        .SystemHeaderPack(4800, 0xE0)
        .Pack(6000, 0xE0, test::Picture(0, 1))
        .Pack(7200, 0xE0);
    const auto copy = CopyStream(stream);
    ASSERT_TRUE(copy->result.ok);
    const auto& headers = copy->result.sequence_headers;
    ASSERT_EQ(headers.size(), 1u) << before;
    EXPECT_EQ(headers[0].sector, 30u);
    EXPECT_EQ(headers[0].position, 12 + 6 + 1 + MpegSynth::kVideoPayload - before);
  }
}

// Entry points in the video packet behind a system header (whatever stream
// it lists first), just before a system header, and in the last payload.
TEST(MpegSourceTest, EntryPointsNextToSystemHeadersAndAtTheEnd) {
  std::vector<uint8_t> entry = test::SequenceHeader(352, 288);
  for (const auto& part : {test::GroupOfPictures(), test::Picture(0, 1)}) {
    entry.insert(entry.end(), part.begin(), part.end());
  }
  MpegSynth stream;
  stream.SystemHeaderPack(0, 0xC0, entry)
      .Pack(1200, 0xE0, test::Picture(1, 2))
      .Pack(2400, 0xE0, entry)
      .SystemHeaderPack(3600, 0xE0)
      .Pack(4800, 0xE0, entry, 2320)
      .EndCode();
  const auto copy = CopyStream(stream);
  ASSERT_TRUE(copy->result.ok);
  std::vector<std::array<uint32_t, 3>> found;
  for (const auto& h : copy->result.sequence_headers)
    found.push_back({h.sector, h.position, h.picture});
  EXPECT_EQ(found, (std::vector<std::array<uint32_t, 3>>{
                       {30, 12 + 18 + 6 + 1, 0}, {32, 12 + 6 + 1, 2}, {34, 12 + 6 + 1, 3}}));
}

std::vector<int32_t> Triggered(const Copy& copy) {
  std::vector<int32_t> triggered;
  for (const auto& [lba, sector] : copy.writer.sectors) {
    if (sector[18] & 0x10) triggered.push_back(lba - 30);
  }
  return triggered;
}

TEST(MpegSourceTest, PauseMarksSetTheTriggerBit) {
  MpegSynth stream;
  for (uint32_t i = 0; i <= 160; ++i) stream.Pack(i * 1200, 0xE0);
  const auto copy =
      CopyStream(stream, "AUTOPAUSE T AT 0:0:1:0 AUTOPAUSE T AT 0:0:2:0 AUTOPAUSE U AT 0:0:0:5");
  ASSERT_TRUE(copy->result.ok);
  EXPECT_EQ(Triggered(*copy), (std::vector<int32_t>{75, 150}));
}

// END marks the last pack only; marks that come up behind the written
// sectors (out of order, or twice in one run of fillers) or beyond the end
// get no trigger and are named.
TEST(MpegSourceTest, EndAndUnreachablePauseMarks) {
  MpegSynth stream;
  for (uint32_t i = 0; i < 10; ++i) stream.Pack(i * 1200, 0xE0);
  for (uint32_t i = 20; i < 29; ++i) stream.Pack(i * 1200, 0xE0);  // fillers at 10..19
  stream.Pack(29 * 1200, 0xE0, {}, 2320).EndCode();
  const auto copy = CopyStream(
      stream,
      "AUTOPAUSE T END AUTOPAUSE T BEGIN AUTOPAUSE T AT 0:0:0:12 AUTOPAUSE T AT 0:0:0:14 "
      "AUTOPAUSE T AT 0:0:0:5 AUTOPAUSE T AT 0:0:0:40");
  ASSERT_TRUE(copy->result.ok);
  EXPECT_EQ(copy->result.next_sector, 60);
  EXPECT_EQ(Triggered(*copy), (std::vector<int32_t>{0, 12, 29}));
  EXPECT_TRUE(copy->messages.empty());
  EXPECT_EQ(copy->warnings,
            (std::vector<std::string>{"AUTOPAUSE T AT 0:00:00:14 gets no trigger.",
                                      "AUTOPAUSE T AT 0:00:00:05 gets no trigger.",
                                      "AUTOPAUSE T AT 0:00:00:40 gets no trigger."}));
}

// A jump may outrun the rest of the file by 5 seconds of sectors; one more
// is refused, and the fillers written before stay bounded.
TEST(MpegClockTest, AForwardJumpBeyondTheRestOfTheFileIsRefused) {
  const auto jump = [](uint32_t fillers) {
    MpegSynth stream;
    stream.Pack(0, 0xE0).Pack(1200, 0xE0).Pack(2400 + fillers * 1200, 0xE0);
    return CopyStream(stream.Pack(3600 + fillers * 1200, 0xE0, {}, 2320).EndCode());
  };
  const uint32_t allowed = 2 + 5 * 75;  // the last two packs' sectors and the spare
  auto copy = jump(allowed);
  ASSERT_TRUE(copy->result.ok);
  EXPECT_EQ(copy->result.next_sector, 30 + 4 + static_cast<int32_t>(allowed));
  copy = jump(allowed + 1);
  EXPECT_FALSE(copy->result.ok);
  EXPECT_EQ(copy->messages,
            std::vector<std::string>{"The system clock of " + copy->path +
                                     " jumps 5.0 seconds ahead at byte 4648, more than the rest "
                                     "of the file can fill."});
  EXPECT_LE(copy->writer.sectors.size(), 2u);
}

// Back by one pack's time is taken; further back is refused. The sector
// count never wraps below the first pack.
TEST(MpegClockTest, ABackwardClockIsRefused) {
  MpegSynth slightly;
  slightly.Pack(12000, 0xE0).Pack(10800, 0xE0).Pack(11400, 0xE0, {}, 2320).EndCode();
  auto copy = CopyStream(slightly);
  ASSERT_TRUE(copy->result.ok);
  EXPECT_EQ(copy->result.sector_count, 1u);
  EXPECT_EQ(copy->result.next_sector, 33);

  MpegSynth back;
  back.Pack(12000, 0xE0).Pack(13200, 0xE0).Pack(14400, 0xE0).Pack(13199, 0xE0);
  copy = CopyStream(back.Pack(15600, 0xE0, {}, 2320).EndCode());
  EXPECT_FALSE(copy->result.ok);
  EXPECT_EQ(copy->messages, std::vector<std::string>{"The system clock of " + copy->path +
                                                     " runs backwards at byte 6972."});
}

// Two junk bytes after pack 20 of 30 end the stream behind pack 19, which
// they keep from ending, and the user learns where and how much was left out.
TEST(MpegClockTest, ACorruptPackMidStreamIsTold) {
  MpegSynth stream;
  for (uint32_t i = 0; i < 30; ++i) stream.Pack(i * 1200, 0xE0);
  std::vector<uint8_t> bytes = stream.Bytes();
  bytes.insert(bytes.begin() + 20 * 2324, {0x47, 0x11});
  const auto copy = CopyBytes(bytes);
  ASSERT_TRUE(copy->result.ok);
  EXPECT_EQ(copy->result.next_sector, 30 + 19);
  EXPECT_TRUE(copy->messages.empty());
  EXPECT_EQ(copy->warnings, std::vector<std::string>{"Reading " + copy->path +
                                                     " stopped at byte 44156: the 25566 bytes "
                                                     "after it were not used."});
}

TEST(ReadersTest, PlainFiles) {
  test::TempDir dir;
  struct Case {
    size_t bytes;
    std::vector<int> submodes;
  };
  for (const Case& c : {Case{0, {}}, Case{2048, {0x88}}, Case{2049, {0x08, 0x88}}}) {
    const std::string path = dir.Write("f", std::string(c.bytes, 'f'));
    const auto copy = CopySource("FILE \"F\" \"" + path + "\"");
    ASSERT_TRUE(copy->result.ok);
    EXPECT_EQ(copy->Submodes(), c.submodes) << c.bytes;
    EXPECT_EQ(copy->result.size, c.bytes);
  }
  test::MessageCapture capture;
  EXPECT_THROW(CopySource("FILE \"F\" \"" + (dir.Path() / "none").string() + "\""), FileError);
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
  const auto copy = CopySource("RTF \"R.RTF\" \"" + dir.Write("r.rtf", bytes) + "\"");
  ASSERT_TRUE(copy->result.ok);
  ASSERT_EQ(copy->result.next_sector, 2);
  EXPECT_EQ(copy->result.size, 4096u);
  EXPECT_EQ(copy->writer.sectors.at(1)[100], 0x42);
  EXPECT_EQ(copy->writer.sectors.at(1)[18], 0x08);
  bytes[15] = 0x01;
  const auto bad = CopySource("RTF \"R.RTF\" \"" + dir.Write("bad.rtf", bytes) + "\"");
  EXPECT_FALSE(bad->result.ok);
  EXPECT_EQ(bad->messages,
            std::vector<std::string>{dir.Path().string() + "/bad.rtf is not a valid RTF file."});
}

TEST(ReadersTest, GenRtfPartsFillSectorsOfTheirForm) {
  test::TempDir dir;
  const std::string a = dir.Write("a", std::string(2049, 'a'));
  const std::string b = dir.Write("b", std::string(2324, 'b'));
  const auto copy =
      CopySource("GENRTF \"G.RTF\" FORM 1 \"" + a + "\" EOR FORM 2 \"" + b + "\" EOF");
  ASSERT_TRUE(copy->result.ok);
  EXPECT_EQ(copy->Submodes(), (std::vector<int>{0x08, 0x09, 0xA8}));
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
  const auto copy = CopySource("IFFDYUV \"P.IFF\" \"" + dir.Write("p.iff", picture) + "\"");
  ASSERT_TRUE(copy->result.ok);
  EXPECT_EQ(copy->Submodes(), (std::vector<int>{0x08, 0x88}));
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
    const auto bad = CopySource("IFFDYUV \"P.IFF\" \"" + dir.Write("bad.iff", contents) + "\"");
    EXPECT_FALSE(bad->result.ok);
    EXPECT_EQ(bad->messages, std::vector<std::string>{message});
  }
}

}  // namespace
}  // namespace vcd2
