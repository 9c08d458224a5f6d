// Frames drawn again only where they changed: what the player sees is the same as when every frame is
// composed whole, and a game that waits for the player paints nothing, or only the waiting icon.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/engine_fixture.h"

namespace mokuren::testing {
namespace {

const std::string kDemo = std::string(MOKUREN_BIN_DIR) + "/demo-game";

void CopyDemo(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  std::filesystem::copy(kDemo, dir, std::filesystem::copy_options::recursive);
}

// The demo's story from the opening to the way home: the movie skipped, the title, typing, waits, the
// name entry, choices, the log, the floating window, a notice, auto mode and scene skip, with a
// screenshot of each window every 250 ms.
constexpr int kStoryMs = 25000;
constexpr int kShots = (kStoryMs - 200 + 249) / 250;
std::string StoryEvents(const std::filesystem::path& shots) {
  std::string e = "100 key Enter\n1500 move 200 110\n2000 click 200 110\n6000 wheel up\n6300 key Enter\n";
  e += "7500 quicksave\n8000 menu menuFloat\n10500 menu menuFloat\n15000 menu menuAuto\n19000 menu menuSSkip\n";
  for (int t = 2600; t < kStoryMs; t += 700) {
    e += std::to_string(t) + " click 400 250\n" + std::to_string(t + 100) + " name カザミネ\n";
    e += std::to_string(t + 350) + " click 400 300\n";
  }
  for (int t = 200, n = 0; t < kStoryMs; t += 250, ++n) {
    e += std::to_string(t) + " screenshot " + (shots / ("main" + std::to_string(n) + ".png")).string() + "\n";
    e += std::to_string(t) + " screenshot-float " + (shots / ("float" + std::to_string(n) + ".png")).string() + "\n";
  }
  return e;
}

TEST(QuietFrames, TheDemoLooksTheSameAsWithEveryFrameComposedWhole) {
  ASSERT_TRUE(std::filesystem::exists(kDemo + "/SCRIPT.DAT")) << "the demo game is built with the ALL target";
  TempDir work;
  std::vector<std::string> traces;
  for (const char* mode : {"parts", "whole"}) {
    const auto dir = work.path() / mode;
    CopyDemo(dir / "game");
    std::filesystem::create_directory(dir / "shots");
    WriteFile(dir / "events.txt", StoryEvents(dir / "shots"));
    const std::string env = std::string(mode) == "whole" ? "MOKUREN_FULL_FRAMES=1 " : "MOKUREN_FULL_FRAMES=0 ";
    ASSERT_EQ(std::system((env + ProgramPath() + " '" + (dir / "game").string() + "' --headless --max-ms " +
                           std::to_string(kStoryMs) + " --events '" + (dir / "events.txt").string() + "' --trace '" +
                           (dir / "trace.txt").string() + "' 2>/dev/null")
                              .c_str()),
              0);
    traces.push_back(ReadFile(dir / "trace.txt"));
  }
  EXPECT_EQ(traces[0], traces[1]);
  // The story got as far as the second scene's choice.
  EXPECT_NE(traces[0].find("NO=3 "), std::string::npos) << traces[0];
  int compared = 0;
  for (const auto& shot : std::filesystem::directory_iterator(work.path() / "whole" / "shots")) {
    const std::string whole = ReadFile(shot.path());
    const std::string parts = ReadFile(work.path() / "parts" / "shots" / shot.path().filename());
    ASSERT_FALSE(whole.empty()) << shot.path();
    ASSERT_TRUE(whole == parts) << shot.path().filename() << " differs";
    ++compared;
  }
  EXPECT_EQ(compared, 2 * kShots);
}

// Records where the main window is painted.
class PaintLog : public HeadlessPlatform {
 public:
  std::vector<Rect> areas;
  std::vector<Rect> floatAreas;
  void PaintMainArea(const TABitmap& frame, const Rect& changed) override {
    areas.push_back(changed);
    HeadlessPlatform::PaintMainArea(frame, changed);
  }
  void PaintFloatArea(const TABitmap& frame, const Rect& changed) override { floatAreas.push_back(changed); }
};

class QuietGame : public EngineFixture {
 protected:
  void SetUp() override {
    CopyDemo(dir_.path());
    auto log = std::make_unique<PaintLog>();
    log_ = log.get();
    // Skip the movie, wait at the title, start the story and wait at its first line.
    StartEngine("100 key Enter\n5000 click 200 110\n", 0, {}, std::move(log));
  }
  // The areas painted during `ms` of the game from now.
  std::vector<Rect> PaintedDuring(uint32_t ms) {
    log_->areas.clear();
    log_->floatAreas.clear();
    RunMs(ms);
    return log_->areas;
  }
  PaintLog* log_ = nullptr;  // owned by platform_
};

TEST_F(QuietGame, TheTitleIsNotPaintedAgainAndAWaitingMessageOnlyWhereItsIconTurns) {
  ASSERT_TRUE(RunUntilTask(task::TitleMenu));
  Passes(100);  // the title's fade has ended
  EXPECT_TRUE(PaintedDuring(2000).empty());
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Passes(10);
  const std::vector<Rect> painted = PaintedDuring(2000);
  // Eight pictures of 55 ms each: a new one in most frames of the 30-per-second grid.
  EXPECT_GE(painted.size(), 30u);
  for (const Rect& area : painted) EXPECT_EQ(area, (Rect{752, 552, 32, 32}));
  for (const Rect& area : log_->floatAreas) EXPECT_EQ(area, (Rect{752, 136, 32, 32}));
}

}  // namespace
}  // namespace mokuren::testing
