#include "script/script_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace vcd2 {
namespace {

// A reader over a script held in memory.
class Reader {
 public:
  explicit Reader(const std::string& text)
      : file_(std::tmpfile(), std::fclose), reader_(file_.get()) {
    std::fwrite(text.data(), 1, text.size(), file_.get());
    std::rewind(file_.get());
  }
  ScriptReader* operator->() { return &reader_; }

  // Every word up to the end, with a marker for quoted ones.
  std::vector<std::string> Words() {
    std::vector<std::string> words;
    while (reader_.ReadWord()) words.push_back((reader_.IsQuoted() ? "q:" : "") + reader_.Word());
    return words;
  }

 private:
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_;
  ScriptReader reader_;
};

using Words = std::vector<std::string>;

TEST(ScriptReaderTest, WordsAndQuotedStrings) {
  EXPECT_EQ(Reader("version \"version\" \"a b\r\nc\" \"\" x\"y z").Words(),
            (Words{"VERSION", "q:version", "q:a b\r\nc", "q:", "X\"Y", "Z"}));
  EXPECT_EQ(Reader("\"cut off").Words(), Words{"q:cut off"});
  EXPECT_EQ(Reader("word \"").Words(), Words{"WORD"});
  EXPECT_EQ(Reader("\x01tab\tgr\xfc\xdf").Words(), (Words{"TAB", "GR\xfc\xdf"}));
}

TEST(ScriptReaderTest, HexCodedStrings) {
  EXPECT_EQ(Reader("U\"0041\" next").Words(), (Words{"q:A", "NEXT"}));
  EXPECT_EQ(Reader("U\"00410042\"").Words(), Words{"q:AB"});
  // FFFF reads as an end: it ends the word, and reading goes on behind it.
  EXPECT_EQ(Reader("U\"0041FFFF0042\"").Words(), (Words{"q:A", "B\""}));
  // The U of MENU stands before the closing quote: hex mode, and "zz" is no digit.
  EXPECT_EQ(Reader("\"MENU\" 0041zz rest").Words(), Words{"q:MEN"});
  EXPECT_EQ(Reader("u\"x\" UU").Words(), (Words{"U\"X\"", "UU"}));
}

TEST(ScriptReaderTest, LineCounting) {
  struct Case {
    const char* text;
    uint32_t lines;
  };
  for (const Case& c : {Case{"a\r\nb\r\nc", 3}, Case{"a\nb\nc", 3}, Case{"a\n\rb", 2},
                        Case{"a\r\rb", 3}, Case{"a\n\nb", 3}, Case{"a\r\n\r\nb", 3}}) {
    Reader reader(c.text);
    reader.Words();
    EXPECT_EQ(reader->Line(), c.lines) << c.text;
  }
}

TEST(ScriptReaderTest, LineSkipAndUnget) {
  Reader reader("REM a comment\nNEXT\nREM\n\"Quoted\" REM last");
  ASSERT_TRUE(reader->ReadWord());
  reader->SkipLine();
  ASSERT_TRUE(reader->ReadWord());
  EXPECT_EQ(reader->Word(), "NEXT");
  EXPECT_EQ(reader->Line(), 3u);  // the line break that ended the word is behind it
  ASSERT_TRUE(reader->ReadWord());
  reader->SkipLine();  // REM ended its line: the next line is kept
  ASSERT_TRUE(reader->ReadWord());
  reader->UngetWord();
  ASSERT_TRUE(reader->ReadWord());
  EXPECT_EQ(reader->Word(), "Quoted");  // delivered again with its kind
  EXPECT_TRUE(reader->IsQuoted());
  EXPECT_EQ(reader->Line(), 4u);
  ASSERT_TRUE(reader->ReadWord());
  reader->SkipLine();  // runs into the end of the file
  EXPECT_FALSE(reader->ReadWord());
}

TEST(ScriptReaderTest, IntegersAndVersionNumbers) {
  struct Case {
    bool version;
    const char* word;
    bool ok;
    int32_t value;
  };
  for (const Case& c :
       {Case{false, "42", true, 42}, Case{false, "-7", true, -7}, Case{false, "-", true, 0},
        Case{false, "\"\"", true, 0}, Case{false, "12A", false, 0}, Case{false, "+5", false, 0},
        Case{false, "4294967297", true, 1}, Case{true, "2.0", true, 20}, Case{true, "2", true, 20},
        Case{true, "2.00", true, 20}, Case{true, "1.1", true, 11}, Case{true, "1.15", true, 11},
        Case{true, "1.19", true, 11}, Case{true, "-1.5", true, -15}, Case{true, "2.0.0", false, 0},
        Case{true, "v2", false, 0}}) {
    Reader reader(c.word);
    ASSERT_TRUE(reader->ReadWord());
    int32_t value = -1;
    EXPECT_EQ(c.version ? reader->ParseVersionNumber(value) : reader->ParseInteger(value), c.ok)
        << c.word;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.word;
    }
  }
}

}  // namespace
}  // namespace vcd2
