// MAKE MPEG on clips made by ffmpeg: the tracks are decoded back and judged
// (picture, rate, bands, length, sync of a flash and a beep each second,
// channels, compliance as --inspect sees it); refusals; reuse of a target.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "base/progress.h"
#include "make/clip/make_mpeg.h"
#include "make/perform_makes.h"
#include "media/stream_compliance.h"
#include "media/stream_facts.h"
#include "support/media_tools.h"
#include "support/message_capture.h"
#include "support/script_runner.h"
#include "support/temp_dir.h"

namespace vcd2 {
namespace {

namespace fs = std::filesystem;

// A grey picture that turns white for the first tenth of every second, and
// a beep at the same moments.
const std::string kFlash =
    "-f lavfi -i \"color=c=gray:s=%s:r=%s,drawbox=x=0:y=0:w=iw:h=ih:color=white:t=fill:"
    "enable='lt(mod(t,1),0.1)'\" -f lavfi -i \"aevalsrc='0.5*sin(2*PI*1000*t)*lt(mod(t,1),0.1)'"
    ":s=48000\" ";

std::string Flash(const char* size, const char* rate) {
  char text[512];
  std::snprintf(text, sizeof text, kFlash.c_str(), size, rate);
  return text;
}

struct Clip {
  const char* name;
  std::string ffmpeg;  // inputs and output options
  const char* norm;
  const char* cut;
};

const Clip kClips[] = {
    {"wide.mp4", Flash("640x360", "30") + "-t 3 -c:v libx264 -preset ultrafast -c:a aac", "PAL",
     ""},
    {"dvd.mpg",
     "-f lavfi -i testsrc2=s=720x576:r=25 -f lavfi -i "
     "\"aevalsrc='sin(2*PI*300*t)|sin(2*PI*400*t)|0|0|0|0':c=5.1:s=48000\" -t 2 -c:v mpeg2video "
     "-flags +ilme+ildct -top 1 -aspect 16:9 -c:a ac3 -f vob",
     "PAL", ""},
    {"portrait.mp4",
     "-f lavfi -i color=c=gray:s=640x360:r=25 -t 2 -c:v libx264 -preset ultrafast "
     "-movflags frag_keyframe+empty_moov -f mp4 - | ffmpeg -y -i - -c copy "
     "-metadata:s:v:0 rotate=90",
     "PAL", ""},
    {"ntsc.mp4", Flash("640x480", "30000/1001") + "-t 4 -c:v libx264 -preset ultrafast -c:a aac",
     "NTSC", "SKIP 1:0 LENGTH 2:0"},
};

struct Track {
  int width = 0;
  int height = 0;
  std::string rate;
  double video_start = 0;
  double video_length = 0;
  double audio_start = 0;
  double audio_length = 0;
  int channels = 0;
};

double Number(const std::string& text) {
  return std::atof(text.c_str());
}

Track Probe(const std::string& path) {
  Track track;
  const auto video = test::ProbeStream(path);
  track.width = std::atoi(video.at("width").c_str());
  track.height = std::atoi(video.at("height").c_str());
  track.rate = video.at("r_frame_rate");
  track.video_start = Number(video.at("start_time"));
  track.video_length = Number(video.at("duration"));
  const std::string audio = test::Capture(
      "ffprobe -v error -select_streams a:0 -show_entries stream=start_time,duration,channels "
      "-of csv=p=0 '" +
      path + "'");
  const size_t comma = audio.find(',');
  track.channels = std::atoi(audio.c_str());
  track.audio_start = Number(audio.substr(comma + 1));
  track.audio_length = Number(audio.substr(audio.find(',', comma + 1) + 1));
  return track;
}

// Grey levels of the decoded pictures, one row after another.
std::vector<uint8_t> Frames(const std::string& path) {
  const std::string raw = test::Capture("ffmpeg -v error -i '" + path +
                                        "' -vsync passthrough -f rawvideo -pix_fmt gray -");
  return {raw.begin(), raw.end()};
}

// Seconds at which the light comes on (from the decoded pictures) and the
// beep starts (from the decoded sound).
std::vector<double> FlashTimes(const std::string& path, const Track& track) {
  const std::vector<uint8_t> pixels = Frames(path);
  const size_t frame = static_cast<size_t>(track.width) * track.height;
  const double rate = track.height == 288 ? 25 : 30000.0 / 1001;
  std::vector<double> times;
  bool lit = false;
  for (size_t i = 0; (i + 1) * frame <= pixels.size(); ++i) {
    const uint8_t centre = pixels[i * frame + frame / 2 + track.width / 2];
    if (centre > 200 && !lit) times.push_back(track.video_start + static_cast<double>(i) / rate);
    lit = centre > 200;
  }
  return times;
}

std::vector<double> BeepTimes(const std::string& path, const Track& track) {
  const std::string raw =
      test::Capture("ffmpeg -v error -i '" + path + "' -ac 1 -f s16le -acodec pcm_s16le -");
  std::vector<double> times;
  size_t quiet = 44100;
  for (size_t i = 0; i + 1 < raw.size(); i += 2) {
    const auto sample =
        static_cast<int16_t>(static_cast<uint8_t>(raw[i]) | static_cast<uint8_t>(raw[i + 1]) << 8);
    if (std::abs(sample) > 2000) {
      if (quiet > 44100 / 2)
        times.push_back(track.audio_start + static_cast<double>(i / 2) / 44100);
      quiet = 0;
    } else {
      ++quiet;
    }
  }
  return times;
}

class MakeMpegTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { dir_ = new test::TempDir; }
  // Makes the clips and transcodes them all in one make phase.
  static bool MakeTracks() {
    bool made = true;
    std::string body;
    for (const Clip& clip : kClips) {
      const std::string source = Path(clip.name);
      made &= test::Shell("ffmpeg -v error -y " + clip.ffmpeg + " '" + source + "'") == 0;
      body += std::string("MAKE MPEG ") + clip.norm + " \"" + Target(clip.name) +
              "\" FROM VIDEO \"" + source + "\" " + clip.cut + " ENDMAKE ";
    }
    std::vector<std::string> messages;
    if (made) made = Make(body, &messages);
    for (const auto& message : messages) std::fprintf(stderr, "%s\n", message.c_str());
    return made;
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static std::string Path(const std::string& name) { return dir_->Path() / name; }
  static std::string Target(const std::string& name) { return Path(name + ".vcd.mpg"); }
  static bool Make(const std::string& body, std::vector<std::string>* messages = nullptr) {
    auto parsed = test::ParseSortCheck(test::Script20(body));
    if (!parsed.ok) {
      if (messages != nullptr) *messages = parsed.messages;
      return false;
    }
    test::MessageCapture capture;
    const bool ok = static_cast<bool>(PerformMakes(*parsed.project));
    if (messages != nullptr) *messages = capture.Messages();
    return ok;
  }
  static void ExpectCompliant();
  static void ExpectBands();
  static void ExpectSync();

  static test::TempDir* dir_;
};

test::TempDir* MakeMpegTest::dir_ = nullptr;

// Encoded once, checked many ways.
TEST_F(MakeMpegTest, TracksAreJudgedByDecodingThem) {
  ASSERT_TRUE(MakeTracks()) << "the clips or their tracks could not be made";
  ExpectCompliant();
  ExpectBands();
  ExpectSync();
}

// Size, rate, length, sound and compliance as --inspect judges it.
void MakeMpegTest::ExpectCompliant() {
  struct Expected {
    const char* clip;
    int height;
    const char* rate;
    double length;
  } cases[] = {
      {"wide.mp4", 288, "25/1", 3},
      {"dvd.mpg", 288, "25/1", 2},
      {"portrait.mp4", 288, "25/1", 2},
      {"ntsc.mp4", 240, "30000/1001", 2},
  };
  for (const Expected& c : cases) {
    const std::string target = Target(c.clip);
    const Track track = Probe(target);
    EXPECT_EQ(track.width, 352) << c.clip;
    EXPECT_EQ(track.height, c.height) << c.clip;
    EXPECT_EQ(track.rate, c.rate) << c.clip;
    EXPECT_NEAR(track.video_length, c.length, 1.0 / 25 + 1e-3) << c.clip;
    EXPECT_NEAR(track.audio_length + track.audio_start - track.video_start, c.length, 0.05)
        << c.clip << ": sound as long as the picture, silence for a clip without sound";
    EXPECT_EQ(track.channels, 2) << c.clip;
    StreamFacts facts;
    std::string reason;
    ASSERT_TRUE(ReadStreamFacts(target, facts, reason)) << reason;
    EXPECT_TRUE(FindStreamProblems(target, facts).empty()) << DescribeStream(target, facts, {});
    EXPECT_TRUE(fs::exists(target + ".make")) << c.clip;
  }
}

void MakeMpegTest::ExpectBands() {
  struct Expected {
    const char* clip;
    bool letterbox;  // bands above and below; else at the sides
  } cases[] = {{"wide.mp4", true}, {"dvd.mpg", true}, {"portrait.mp4", false}};
  for (const Expected& c : cases) {
    const std::string target = Target(c.clip);
    const Track track = Probe(target);
    const std::vector<uint8_t> pixels = Frames(target);
    const size_t frame = 352 * static_cast<size_t>(track.height);
    ASSERT_GE(pixels.size(), 2 * frame) << c.clip;
    const uint8_t* last = pixels.data() + (pixels.size() / frame - 1) * frame;
    // Mean grey of a row (letterbox) or a column (pillarbox) of the last picture.
    const auto mean = [&](int at) {
      int sum = 0;
      const int count = c.letterbox ? 352 : track.height;
      for (int i = 0; i < count; ++i) sum += c.letterbox ? last[at * 352 + i] : last[i * 352 + at];
      return sum / count;
    };
    EXPECT_LT(mean(8), 30) << c.clip << ": a black band";
    EXPECT_GT(mean(c.letterbox ? track.height / 2 : 176), 60) << c.clip << ": the picture";
  }
}

// The flash and the beep of each second within 45 ms.
void MakeMpegTest::ExpectSync() {
  for (const char* clip : {"wide.mp4", "ntsc.mp4"}) {
    const std::string target = Target(clip);
    const Track track = Probe(target);
    const std::vector<double> flashes = FlashTimes(target, track);
    const std::vector<double> beeps = BeepTimes(target, track);
    ASSERT_GE(flashes.size(), 2u) << clip;
    ASSERT_EQ(flashes.size(), beeps.size()) << clip;
    for (size_t i = 0; i < flashes.size(); ++i) {
      EXPECT_NEAR(flashes[i], beeps[i], 0.045) << clip << " mark " << i;
    }
  }
}

TEST_F(MakeMpegTest, BadClipsAreRefusedWithoutOutput) {
  test::TempDir dir;
  const std::string text = dir.Write("notes.mp4", "These are no pictures.\n");
  const std::string sound = dir.Path() / "sound.wav";
  ASSERT_EQ(test::Shell("ffmpeg -y -f lavfi -i sine=r=44100 -t 0.2 '" + sound + "'"), 0);
  // A Matroska header whose pictures were cut off.
  const std::string headless = dir.Path() / "headless.mkv";
  ASSERT_EQ(test::Shell("ffmpeg -y -f lavfi -i testsrc=s=320x240:r=25 -t 1 -c:v libx264 '" +
                        headless + "' && truncate -s 1500 '" + headless + "'"),
            0);
  struct Case {
    std::string source;
    std::string message;
  } cases[] = {
      {headless, headless + " could not be decoded."},
      {text, text + " is not a media file."},
      {sound, sound + " has no picture."},
      {dir.Path() / "missing.mp4",
       "Could not find dependency file " + (dir.Path() / "missing.mp4").string() + "."},
  };
  for (const Case& c : cases) {
    const std::set<std::string> before = dir.Listing();
    std::vector<std::string> messages;
    const std::string target = dir.Path() / "out.mpg";
    EXPECT_FALSE(Make("MAKE MPEG PAL \"" + target + "\" FROM VIDEO \"" + c.source + "\" ENDMAKE",
                      &messages));
    ASSERT_EQ(messages.size(), 1u) << c.source;
    EXPECT_EQ(messages[0], c.message);
    EXPECT_EQ(dir.Listing(), before) << c.source << ": nothing left behind";
  }
}

TEST_F(MakeMpegTest, TargetIsKeptAndReusedUntilTheRuleChanges) {
  const std::string target = Path("again.mpg");
  const std::string clip = Path("short.mkv");
  ASSERT_EQ(test::Shell("ffmpeg -y -f lavfi -i testsrc=s=320x240:r=25 -t 1 '" + clip + "'"), 0);
  const std::string rule = "\" FROM VIDEO \"" + clip + "\" ENDMAKE";
  ASSERT_TRUE(Make("MAKE MPEG PAL \"" + target + rule));
  ASSERT_TRUE(fs::exists(target)) << "kept after the build";
  const auto first = fs::last_write_time(target);
  ASSERT_TRUE(Make("MAKE MPEG PAL \"" + target + rule));
  EXPECT_EQ(fs::last_write_time(target), first) << "reused";
  // As --check sees it: the same rule is current, a changed one is not.
  for (const auto& [norm, current] : {std::pair{"PAL", true}, std::pair{"NTSC", false}}) {
    const auto parsed =
        test::Parse(test::Script20(std::string("MAKE MPEG ") + norm + " \"" + target + rule));
    ASSERT_EQ(parsed.project->makes.size(), 1u);
    EXPECT_EQ(IsCurrent(static_cast<const MpegMakeRule&>(*parsed.project->makes.front())), current)
        << norm;
  }
  ASSERT_TRUE(Make("MAKE MPEG NTSC \"" + target + rule));
  EXPECT_EQ(Probe(target).height, 240) << "made again for the changed rule";
}

// Stopped from the progress function once the encoding shows progress: the
// make fails without a message and leaves neither target nor record.
TEST_F(MakeMpegTest, StopLeavesNoTarget) {
  const std::string clip = Path("long.mkv");
  ASSERT_EQ(test::Shell("ffmpeg -y -f lavfi -i testsrc=s=320x240:r=25 -t 20 '" + clip + "'"), 0);
  const std::string target = Path("stopped.mpg");
  SetProgressCallback([](int32_t, const char* text) -> int32_t {
    return text == nullptr || std::string(text).rfind("Making", 0) != 0;
  });
  std::vector<std::string> messages;
  const auto start = std::chrono::steady_clock::now();
  const bool made =
      Make("MAKE MPEG PAL \"" + target + "\" FROM VIDEO \"" + clip + "\" ENDMAKE", &messages);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  SetProgressCallback(nullptr);
  ClearAbortRequest();
  EXPECT_FALSE(made);
  EXPECT_TRUE(messages.empty());
  EXPECT_LT(seconds, 15) << "stopped long before the end of the clip";
  for (const auto& entry : fs::directory_iterator(dir_->Path())) {
    EXPECT_EQ(entry.path().filename().string().find("stopped"), std::string::npos) << entry.path();
  }
}

}  // namespace
}  // namespace vcd2
