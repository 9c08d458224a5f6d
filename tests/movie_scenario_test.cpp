// The opening movie on the real program, headless: the script's movie command and movie wait, seen in the
// trace, the screenshots and the recorded sound; a skip by click; the opening-movie switch; files that
// cannot play; and the album's start of the movie.
#include <gtest/gtest.h>

#include <sstream>

#include "base/text_codec.h"
#include "graphics/png_decoder.h"
#include "ogg_encode.h"
#include "sound/sound_objects.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"
#include "support/test_movie.h"
#include "support/wav_file.h"

namespace mokuren::testing {
namespace {

constexpr uint32_t kRed = 0xD02020, kBlue = 0x2030D0;
// The script plays the movie and waits for it, then waits without taking clicks, so that the trace
// shows where the movie wait ended.
const std::string kScript = "movie\nwait movie\nwait 30000\n";

// A 320x240 movie at 10 frames a second: red for its first second, blue after, with a sine as sound.
std::string RedThenBlue(double pictureSeconds, double soundSeconds) {
  TestMovie movie;
  movie.width = 320, movie.height = 240;
  movie.frames = static_cast<int>(pictureSeconds * 10);
  movie.draw = FlatFrames([](int n) { return n < 10 ? kRed : kBlue; });
  movie.soundSeconds = soundSeconds;
  return MakeTestMovie(movie);
}

uint32_t Rgb(const TABitmap& s, int32_t x, int32_t y) {
  const uint8_t* p = s.ScanLine(y) + 4 * x;
  return static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
}

bool Near(uint32_t got, uint32_t want) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((got >> shift) & 255) - static_cast<int>((want >> shift) & 255)) > 12) return false;
  return true;
}

class MovieScenario : public ::testing::Test {
 protected:
  // Builds the game with the script and, unless empty, op.ogv; then runs it for ms of virtual time with
  // the events, recording its sound and trace.
  void Run(const std::string& script, const std::string& movie, uint32_t ms, const std::string& events = {}) {
    TestGame game;
    game.scripts[1] = script;
    BuildTestGame(dir_.path(), game);
    if (!movie.empty()) WriteFile(dir_.path() / "op.ogv", movie);
    WriteFile(dir_.path() / "events.txt", events);
    const std::string args = "'" + dir_.path().string() + "' --headless --max-ms " + std::to_string(ms) +
                             " --record-audio '" + Path("out.wav") + "' --trace '" + Path("trace.txt") +
                             "' --events '" + Path("events.txt") + "'";
    ASSERT_EQ(RunProgram(args, {}, Path("stderr.txt")), 0) << ReadFile(Path("stderr.txt"));
    sound_ = ReadWav(Path("out.wav"));
  }
  std::string Path(const std::string& name) const { return (dir_.path() / name).string(); }
  // The events line for a screenshot at ms into the game directory.
  std::string Shot(uint32_t ms, const std::string& name) const {
    return std::to_string(ms) + " screenshot " + Path(name) + "\n";
  }
  // Start and end (ms) of the first movie wait, from the trace: when TaskCode became 0x800103 and when
  // it next changed.
  std::pair<uint32_t, uint32_t> MovieWait() {
    std::istringstream in(ReadFile(Path("trace.txt")));
    std::string line;
    uint32_t start = 0, end = 0;
    bool inWait = false;
    while (std::getline(in, line)) {
      const auto ms = static_cast<uint32_t>(std::stoul(line));
      const bool wait = line.find(" TC=800103 ") != std::string::npos;
      if (wait && !inWait && start == 0) start = ms, inWait = true;
      if (!wait && inWait) return {start, ms};
    }
    return {start, end};
  }
  uint32_t ShotAt(const std::string& name, int32_t x, int32_t y) {
    const std::string bytes = ReadFile(Path(name));
    PngImage image;
    std::string error;
    EXPECT_TRUE(DecodePng(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), image, error))
        << name << ": " << error;
    return image.pixels.IsValid() ? Rgb(image.pixels, x, y) & 0xFFFFFF : 0xFFFFFFFF;
  }
  // Milliseconds from the first loud sample of the recording to the last.
  double HeardMs() const {
    size_t first = sound_.s.size(), last = 0;
    for (size_t i = 0; i < sound_.s.size(); ++i)
      if (std::abs(sound_.s[i]) > 1000) first = std::min(first, i), last = i;
    return last > first ? static_cast<double>(last - first) / 2 / 44.1 : 0;
  }

  TempDir dir_;
  WavRecording sound_;
};

TEST_F(MovieScenario, PlaysPictureAndSoundTogetherAndWaitsForTheEnd) {
  Run(kScript, RedThenBlue(2.0, 2.0), 3000, Shot(500, "a.png") + Shot(1500, "b.png") + Shot(2600, "c.png"));
  const auto [start, end] = MovieWait();
  ASSERT_GT(end, start) << ReadFile(Path("trace.txt"));
  EXPECT_LT(start, 100u);
  EXPECT_NEAR(end - start, 2000, 60);
  EXPECT_TRUE(Near(ShotAt("a.png", 160, 120), kRed)) << std::hex << ShotAt("a.png", 160, 120);
  EXPECT_TRUE(Near(ShotAt("b.png", 160, 120), kBlue)) << std::hex << ShotAt("b.png", 160, 120);
  // Around the smaller picture, and after the movie, the scene (black here) shows.
  EXPECT_EQ(ShotAt("b.png", 500, 400), 0u);
  EXPECT_EQ(ShotAt("c.png", 160, 120), 0u);
  EXPECT_NEAR(HeardMs(), 2000, 60);
}

TEST_F(MovieScenario, ClickEndsPictureAndSoundAtOnce) {
  Run(kScript, RedThenBlue(2.0, 2.0), 2000, "1000 click 400 300\n" + Shot(1100, "after.png"));
  const auto [start, end] = MovieWait();
  ASSERT_GT(end, start) << ReadFile(Path("trace.txt"));
  EXPECT_NEAR(end, 1000, 20);
  EXPECT_EQ(ShotAt("after.png", 160, 120), 0u);
  // Heard for as long as the wait lasted, within the device's mixing latency.
  EXPECT_NEAR(HeardMs(), end - start, 30);
}

TEST_F(MovieScenario, WaitLastsForTheLongerOfPictureAndSound) {
  // Sound shorter than the picture: the wait goes on until the last frame is due.
  Run(kScript, RedThenBlue(2.0, 1.0), 2600);
  auto [start, end] = MovieWait();
  EXPECT_NEAR(end - start, 2000, 60);
  EXPECT_NEAR(HeardMs(), 1000, 60);
  // Sound longer: the last picture stops being shown, and the wait goes on until the sound ends.
  Run(kScript, RedThenBlue(1.0, 2.0), 2600, Shot(1500, "late.png"));
  std::tie(start, end) = MovieWait();
  EXPECT_NEAR(end - start, 2000, 60);
  EXPECT_EQ(ShotAt("late.png", 160, 120), 0u);
  EXPECT_NEAR(HeardMs(), 2000, 60);
}

TEST_F(MovieScenario, OpeningMovieSwitchSkipsMovieAndWait) {
  Run("S451 = -1\n" + kScript, RedThenBlue(2.0, 2.0), 1000, Shot(500, "a.png"));
  EXPECT_EQ(ReadFile(Path("trace.txt")).find("TC=800103"), std::string::npos);
  EXPECT_NE(ReadFile(Path("trace.txt")).find("TC=800101"), std::string::npos);
  EXPECT_EQ(ShotAt("a.png", 160, 120), 0u);
  EXPECT_EQ(HeardMs(), 0);
}

// ---- In the engine: files that cannot play, and the album's movie ---------------------------------------

class MovieEngine : public EngineFixture {
 protected:
  void Start(const std::string& script) {
    TestGame game;
    game.scripts[1] = script;
    BuildTestGame(dir_.path(), game);
    StartEngine();
  }
  bool PassUntil(int32_t taskCode, int passes) { return RunUntilTask(taskCode, passes); }
  // The opening movie, the layer the album starts it through, and whether its sound plays.
  OpeningMovie& Movie() { return form_->Movie(); }
  bool MovieSound() { return form_->Audio().MovieSoundPlaying(); }
};

TEST_F(MovieEngine, FilesThatCannotPlayAreListedAndTheScriptGoesOn) {
  const std::string good = RedThenBlue(1.0, 1.0);
  std::string garbage(5000, '\0');
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 7919u) >> 3);
  TestMovie silent;
  silent.draw = FlatFrames([](int) { return kRed; });
  silent.options.soundChannels = 0;
  const struct {
    const char* what;
    std::string bytes;  // "-" for no file at all
    const char* listed;
  } cases[] = {{"missing", "-", "op.ogvが見つかりません"},
               {"empty", "", "op.ogv: the file is empty"},
               {"cut off", good.substr(0, good.size() - 100), "op.ogv: the file ends before"},
               {"garbage", garbage, "op.ogv: the file is not an Ogg file"},
               {"sound only", EncodeOgg(Sine(440, 8000, 1.0, 2, 44100), 2, 44100),
                "op.ogv: the file has no Theora picture stream"},
               {"picture only", MakeTestMovie(silent), "op.ogv: the file has no Vorbis sound track"}};
  for (const auto& c : cases) {
    form_.reset();
    std::filesystem::remove(dir_.path() / "op.ogv");
    if (c.bytes != "-") WriteFile(dir_.path() / "op.ogv", c.bytes);
    Start(kScript);
    EXPECT_TRUE(PassUntil(task::Wait, 10)) << c.what << ": the script stopped at TaskCode " << Task();
    EXPECT_FALSE(Movie().MoviePlaying()) << c.what;
    const std::vector<std::string> errors = Errors();
    ASSERT_EQ(errors.size(), 1u) << c.what;
    EXPECT_NE(errors[0].find(c.listed), std::string::npos) << c.what << ": " << errors[0];
  }
}

TEST_F(MovieEngine, AlbumMoviePlaysToItsEndOrToAClickAndReturnsToTheAlbum) {
  WriteFile(dir_.path() / "op.ogv", RedThenBlue(1.0, 1.0));
  std::filesystem::create_directories(dir_.path() / "Sound");
  WriteFile(dir_.path() / "Sound" / "M03.ogg", EncodeOgg(Sine(330, 6000, 3.0, 2, 44100), 2, 44100));
  Start("bgm 3, 1\nwait 30000\n");
  Passes(2);
  ASSERT_EQ(MusicKept(), 3);
  form_->Text().Input.ClickPending = 1;  // the album's click that starts the movie does not skip it
  Movie().StartAlbumMovie();
  EXPECT_EQ(Task(), task::WaitMovieAlbum);
  EXPECT_EQ(MusicKept(), 0) << "the music stops";
  Passes(50);
  EXPECT_TRUE(Movie().MoviePlaying());
  EXPECT_TRUE(MovieSound());
  EXPECT_TRUE(PassUntil(task::AlbumMenuOpen, 60)) << "the movie is over after about a second";

  // A second playback, ended by a click: picture and sound stop on the same pass.
  Movie().StartAlbumMovie();
  Passes(20);
  ASSERT_TRUE(MovieSound());
  Click(400, 300);
  Passes(1);
  EXPECT_EQ(Task(), task::AlbumMenuOpen);
  EXPECT_FALSE(Movie().MoviePlaying());
  EXPECT_FALSE(MovieSound());
}

}  // namespace
}  // namespace mokuren::testing
