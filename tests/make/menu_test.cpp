// MAKE MENU: the statement, its label check, and the made stills read back
// as a viewer would: OCR finds the title and every number with its text at
// both resolutions, and a thumbnail of colour bars shows colour bars.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "make/menu/menu_layout.h"
#include "make/perform_makes.h"
#include "support/media_tools.h"
#include "support/message_capture.h"
#include "support/script_runner.h"
#include "support/temp_dir.h"

namespace vcd2 {
namespace {

class MenuTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_.Path() / name; }
  std::string Quoted(const std::string& name) const { return "\"" + Path(name) + "\""; }

  // A selection of n items, each through a play list of the colour bars.
  std::string Selection(int n) const {
    std::string items;
    std::string lists;
    for (int i = 1; i <= n; ++i) {
      items += " P" + std::to_string(i);
      lists += "PLAYLIST P" + std::to_string(i) + " PLAY BARS ENDPLAY ENDPLAYLIST\n";
    }
    return "MPGTRACK BARS 1 " + Quoted("bars.mpg") + "\nSELECTION START ITEMS" + items +
           " ENDITEMS ENDSELECTION\n" + lists;
  }

  // The picture of an MPEG still as 24-bit RGB, w x h.
  std::vector<uint8_t> Pixels(const std::string& still, int w, int h) const {
    const std::string raw = Path("pixels.rgb");
    test::Shell("ffmpeg -y -i '" + still + "' -frames:v 1 -f rawvideo -pix_fmt rgb24 '" + raw +
                "'");
    std::ifstream in(raw, std::ios::binary);
    std::vector<uint8_t> pixels(static_cast<size_t>(w * h * 3));
    in.read(reinterpret_cast<char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
    return pixels;
  }

  // What tesseract reads in a still, enlarged so that OCR sees low
  // resolution text at the size it is trained on.
  std::string Read(const std::string& still, int zoom) const {
    const std::string png = Path("ocr.png");
    test::Shell("ffmpeg -y -i '" + still + "' -frames:v 1 -vf scale=iw*" + std::to_string(zoom) +
                ":ih*" + std::to_string(zoom) + ":flags=bicubic '" + png + "'");
    return test::Capture("OMP_THREAD_LIMIT=1 tesseract '" + png + "' stdout --psm 3 2>/dev/null");
  }

  test::TempDir dir_;
};

// Every part inside the title-safe area, no two cells overlapping, labels
// readable at low resolution, thumbnails 4:3, for one item up to a full
// grid, on both canvases and resolutions.
TEST(MenuLayoutTest, PartsStayInsideTheSafeAreaAndApart) {
  struct Canvas {
    double width, height, scale;
  };
  for (const Canvas& c : {Canvas{384, 288, 1}, Canvas{320, 240, 1}, Canvas{768, 576, 2}}) {
    for (size_t n = 0; n <= 12; ++n) {
      SCOPED_TRACE(testing::Message() << c.width << " wide, " << n << " items");
      const MenuLayout layout = LayOutMenu(c.width, c.height, c.scale, n);
      ASSERT_EQ(layout.cells.size(), n);
      EXPECT_GE(layout.min_text_size, 16 * c.scale);
      EXPECT_TRUE(n == 0 || layout.label_size >= layout.min_text_size);
      const auto inside = [&c](const MenuBox& box) {
        return box.x >= c.width * 0.1 - 1e-9 && box.y >= c.height * 0.1 - 1e-9 &&
               box.x + box.width <= c.width * 0.9 + 1e-9 &&
               box.y + box.height <= c.height * 0.9 + 1e-9 && box.width >= 0 && box.height >= 0;
      };
      EXPECT_TRUE(inside(layout.title));
      for (size_t i = 0; i < n; ++i) {
        EXPECT_TRUE(inside(layout.cells[i]) && inside(layout.thumbnails[i]) &&
                    inside(layout.labels[i]))
            << i;
        EXPECT_NEAR(layout.thumbnails[i].width * 3, layout.thumbnails[i].height * 4, 1e-6);
        for (size_t j = 0; j < i; ++j) {
          const MenuBox& a = layout.cells[i];
          const MenuBox& b = layout.cells[j];
          EXPECT_TRUE(a.x >= b.x + b.width || b.x >= a.x + a.width || a.y >= b.y + b.height ||
                      b.y >= a.y + a.height)
              << i << " overlaps " << j;
        }
      }
      EXPECT_EQ(n > 4, n > 1 && layout.cells[1].x > layout.cells[0].x);
    }
  }
}

TEST_F(MenuTest, StatementMakesARuleAndItsCompanion) {
  const auto run = test::Parse(test::Script20(
      "MAKE MENU NTSCHIGH \"hi.mpg\" \"lo.mpg\" FROM SELECTION START TITLE \"Grüße\" "
      "ITEMS \"One\" Two ENDITEMS BACKGROUND BMP \"bg.png\" ENDMAKE"));
  ASSERT_TRUE(run.ok);
  ASSERT_EQ(run.project->makes.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    const auto& rule = static_cast<const MenuMakeRule&>(*run.project->makes[i]);
    ASSERT_EQ(rule.Kind(), MakeKind::kMenu);
    EXPECT_EQ(rule.GetTarget()->GetFileType(),
              i == 0 ? FileType::kNtscHighStill : FileType::kNtscLowStill);
    EXPECT_EQ(rule.low_resolution, i);
    EXPECT_EQ(rule.selection.kind, TargetKind::kStart);
    EXPECT_EQ(rule.title, "Grüße");
    EXPECT_EQ(rule.item_texts, (std::vector<std::string>{"One", "TWO"}));
    ASSERT_EQ(rule.GetSources().size(), 1u);
    EXPECT_EQ(rule.GetSources()[0]->FirstName(), "bg.png");
    EXPECT_EQ(rule.line, 2u);
  }
}

TEST_F(MenuTest, RefusalsNameTheScriptAndLine) {
  struct Case {
    std::string body;
    std::string message;
  };
  const std::string sel =
      "SELECTION START ITEMS A ENDITEMS ENDSELECTION\n"
      "PLAYLIST A ENDPLAYLIST\n";
  for (const Case& c : {
           Case{"MAKE MENU PALLOW \"m.mpg\" FROM LIST START ENDMAKE",
                test::AtLine(2, "Expected FROM SELECTION after the MAKE MENU target.")},
           Case{"MAKE MENU PALLOW \"m.mpg\" FROM SELECTION START COLOUR red ENDMAKE",
                test::AtLine(2, "Expected TITLE, ITEMS, BACKGROUND or ENDMAKE, found COLOUR.")},
           Case{sel + "MAKE MENU PALLOW \"m.mpg\" FROM SELECTION A ENDMAKE",
                test::AtLine(4, "MAKE MENU: A is no SELECTION.")},
           Case{sel + "\nMAKE MENU PALLOW \"m.mpg\" FROM SELECTION NOWHERE ENDMAKE",
                test::AtLine(5, "MAKE MENU: NOWHERE is no SELECTION.")},
           Case{sel + "MAKE MENU PALLOW \"m.mpg\" FROM SELECTION START ITEMS x y ENDITEMS ENDMAKE",
                test::AtLine(4, "MAKE MENU: 2 ITEMS texts for the 1 items of START.")},
       }) {
    const auto run = test::ParseSortCheck(test::Script20(c.body));
    EXPECT_FALSE(run.ok) << c.body;
    ASSERT_FALSE(run.messages.empty()) << c.body;
    EXPECT_EQ(run.messages.front(), c.message);
  }
}

TEST_F(MenuTest, UnreadableBackgroundIsRefusedWithItsLine) {
  dir_.Write("bg.bmp", "BM not really a picture");
  auto run = test::ParseSortCheck(test::Script20(
      "SELECTION START ITEMS A ENDITEMS ENDSELECTION PLAYLIST A ENDPLAYLIST\n"
      "MAKE MENU PALLOW " +
      Quoted("m.mpg") + " FROM SELECTION START BACKGROUND BMP " + Quoted("bg.bmp") + " ENDMAKE"));
  ASSERT_TRUE(run.ok);
  test::MessageCapture capture;
  EXPECT_FALSE(PerformMakes(*run.project));
  ASSERT_EQ(capture.Messages().size(), 1u);
  EXPECT_EQ(capture.Messages()[0],
            test::AtLine(3, "Could not read the menu background " + Path("bg.bmp") + "."));
  EXPECT_FALSE(std::ifstream(Path("m.mpg")).good());
}

struct Menu {
  const char* resolution;
  int items;
  int high_width, high_height, low_width, low_height;
  std::vector<std::string> texts;
};

TEST_F(MenuTest, TitleNumbersTextsAndThumbnailsReadBack) {
  ASSERT_TRUE(test::Shell("ffmpeg -y -f lavfi -i smptebars=size=352x288:rate=25 -t 0.2 "
                          "-target pal-vcd '" +
                          Path("bars.mpg") + "'") == 0);
  for (const Menu& menu :
       {Menu{"PALHIGH", 3, 704, 576, 352, 288, {"Harbour", "Forest", "Castle"}},
        Menu{
            "NTSCHIGH", 6, 704, 480, 352, 240, {"Red", "Blue", "Green", "Gold", "Pink", "Grey"}}}) {
    SCOPED_TRACE(menu.resolution);
    std::string texts;
    for (const auto& text : menu.texts) texts += " \"" + text + "\"";
    auto run = test::ParseSortCheck(test::Script20(
        Selection(menu.items) + "MAKE MENU " + menu.resolution + " " + Quoted("hi.mpg") + " " +
        Quoted("lo.mpg") + " FROM SELECTION START TITLE \"Our Holiday\" ITEMS" + texts +
        " ENDITEMS ENDMAKE"));
    ASSERT_TRUE(run.ok);
    ASSERT_TRUE(PerformMakes(*run.project));
    for (const bool high : {true, false}) {
      const std::string still = Path(high ? "hi.mpg" : "lo.mpg");
      const auto probe = test::ProbeStream(still);
      EXPECT_EQ(probe.at("width"), std::to_string(high ? menu.high_width : menu.low_width));
      const std::string text = Read(still, high ? 1 : 3);
      EXPECT_NE(text.find("Our Holiday"), std::string::npos) << text;
      for (size_t i = 0; i < menu.texts.size(); ++i) {
        const std::string label = std::to_string(i + 1) + ". " + menu.texts[i];
        EXPECT_NE(text.find(label), std::string::npos) << label << " in\n" << text;
      }
    }
    // The first thumbnail, in the low still's pixels: the bars' top part
    // runs grey, yellow, cyan, green, magenta, red, blue from left to right.
    const int w = menu.low_width;
    const int h = menu.low_height;
    const double canvas_width = h * 4.0 / 3;
    const MenuBox thumb = LayOutMenu(canvas_width, h, 1, menu.texts.size()).thumbnails[0];
    const auto pixels = Pixels(Path("lo.mpg"), w, h);
    const int y = static_cast<int>(thumb.y + thumb.height * 0.3);
    struct Bar {
      double at;  // share of the thumbnail's width
      bool red, green, blue;
    };
    for (const Bar& bar : {Bar{0.21, true, true, false}, Bar{0.36, false, true, true},
                           Bar{0.5, false, true, false}, Bar{0.64, true, false, true},
                           Bar{0.79, true, false, false}, Bar{0.93, false, false, true}}) {
      const int x = static_cast<int>((thumb.x + thumb.width * bar.at) * w / canvas_width);
      const uint8_t* p = &pixels[static_cast<size_t>((y * w + x) * 3)];
      SCOPED_TRACE(testing::Message() << "bar at " << bar.at << ": " << int(p[0]) << ","
                                      << int(p[1]) << "," << int(p[2]));
      EXPECT_EQ(p[0] > 110, bar.red);
      EXPECT_EQ(p[1] > 110, bar.green);
      EXPECT_EQ(p[2] > 110, bar.blue);
    }
  }
}

// A track shows its start, an entry its own time, a segment its first
// picture: blue for the first second of the stream, red after it.
TEST_F(MenuTest, ThumbnailsShowWhereTheItemStarts) {
  ASSERT_EQ(test::Shell("ffmpeg -y -f lavfi -i \"color=c=blue:size=352x288:rate=25,"
                        "drawbox=c=red:t=fill:enable='gte(t,1)'\" -t 1.6 -target pal-vcd '" +
                        Path("clip.mpg") + "'"),
            0);
  auto run = test::ParseSortCheck(
      test::Script20("MPGTRACK T 1 " + Quoted("clip.mpg") + "\nSEGMENT S 1 " + Quoted("clip.mpg") +
                     "\nDEFENTRY E 0:0:1:5 T\nSELECTION START ITEMS A B C ENDITEMS ENDSELECTION\n"
                     "PLAYLIST A PLAY T ENDPLAY ENDPLAYLIST PLAYLIST B PLAY E ENDPLAY ENDPLAYLIST\n"
                     "PLAYLIST C PLAY S ENDPLAY ENDPLAYLIST\n"
                     "MAKE MENU PALLOW " +
                     Quoted("lo.mpg") + " FROM SELECTION START ENDMAKE"));
  ASSERT_TRUE(run.ok);
  ASSERT_TRUE(PerformMakes(*run.project));
  const auto pixels = Pixels(Path("lo.mpg"), 352, 288);
  const MenuLayout layout = LayOutMenu(384, 288, 1, 3);
  for (size_t i = 0; i < 3; ++i) {
    const MenuBox& thumb = layout.thumbnails[i];
    const int x = static_cast<int>((thumb.x + thumb.width / 2) * 352 / 384);
    const int y = static_cast<int>(thumb.y + thumb.height / 2);
    const uint8_t* p = &pixels[static_cast<size_t>((y * 352 + x) * 3)];
    const bool red = i == 1;
    EXPECT_EQ(p[0] > 128, red) << i;
    EXPECT_EQ(p[2] > 128, !red) << i;
  }
}

}  // namespace
}  // namespace vcd2
