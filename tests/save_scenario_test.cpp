// A played scenario on the headless engine: quick save at a message, play on, quick load. The message
// comes back typed from its beginning, over its picture, with its music and effect, after the 500 ms
// restore fade that the trace shows.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "base/sound_slots.h"
#include "ogg_encode.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"
#include "support/test_surfaces.h"

namespace mokuren::testing {
namespace {

struct TraceLine {
  uint32_t ms;
  std::string taskCode;
  int step;
};

std::vector<TraceLine> ReadTrace(const std::filesystem::path& path) {
  std::vector<TraceLine> lines;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    TraceLine t{};
    std::string tc, no, st;
    fields >> t.ms >> tc >> no >> st;
    t.taskCode = tc.substr(3);
    t.step = std::stoi(st.substr(3));
    lines.push_back(t);
  }
  return lines;
}

constexpr int kFirstMessageStep = 6;

class QuickSaveScenario : public EngineFixture {
 protected:
  void SetUp() override {
    TestGame game;
    game.scripts[1] =
        "sysmenu 1\n"
        "bg \"BG01\"\n"
        "layer1 center, \"CH01\"\n"
        "show\n"
        "bgm 3, 1\n"
        "se1 5, 1\n"
        "msg \"最初のメッセージです。\"\n"  // step 6
        "bg \"BG02\"\n"
        "layer1 keep, 0\n"
        "show\n"
        "bgm 0\n"
        "msg \"次のメッセージ。\"\n"
        "msg \"おわり。\"\n";
    game.graphics = {{"BG01", SolidPng(800, 600, 0xC0, 0x30, 0x30)},
                     {"CH01", SolidPng(200, 400, 0x30, 0xC0, 0x30)},
                     {"BG02", SolidPng(800, 600, 0x30, 0x30, 0xC0)}};
    BuildTestGame(dir_.path(), game);
    std::filesystem::create_directories(dir_.path() / "Sound");
    const std::string tone = EncodeOgg(Sine(330, 6000, 3.0, 2, 44100), 2, 44100);
    WriteFile(dir_.path() / "Sound" / "M03.ogg", tone);
    WriteFile(dir_.path() / "Sound" / "S05.ogg", tone);
    LaunchOptions options;
    options.traceFile = (dir_.path() / "trace.txt").string();
    StartEngine(
        "4000 quicksave\n"
        "4500 click 400 300\n"
        "9000 quickload\n",
        0, options);
    loopStart_ = Now();
  }
  // Time since the main loop started, the clock the events file counts on, and passes until it is `ms`.
  uint32_t Elapsed() { return Now() - loopStart_; }
  void RunUntil(uint32_t ms) {
    EngineFixture::RunUntil([&] { return Elapsed() >= ms; }, 100000);
  }
  bool MusicPlaying() const { return SoundSlot(stream::MusicA) > 1 || SoundSlot(stream::MusicB) > 1; }
  // The scene above the message window: the frame's rows 0-415.
  std::vector<uint8_t> Scene() const {
    std::vector<uint8_t> rows;
    for (int32_t y = 0; y < 416; ++y) rows.insert(rows.end(), Frame().ScanLine(y), Frame().ScanLine(y) + 800 * 4);
    return rows;
  }

  uint32_t loopStart_ = 0;
};

TEST_F(QuickSaveScenario, QuickLoadTypesTheSavedMessageAgainOverItsPictureWithItsSound) {
  RunUntil(3990);
  ASSERT_EQ(Task(), task::MessageWait);
  ASSERT_EQ(Step(), kFirstMessageStep);
  const std::vector<uint8_t> savedScene = Scene();
  EXPECT_EQ(Rgb(Frame(), 600, 300), 0xC03030u);
  EXPECT_EQ(Rgb(Frame(), 20, 20), 0x2FBF2Fu);  // character 1 at (0, 0), blended at 255/256

  RunUntil(4010);
  EXPECT_EQ(SavedGame(100).Used, 1);
  EXPECT_EQ(SavedGame(100).StepNo, kFirstMessageStep);
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "THUMB" / "SAVE100.dat"));

  // Play on: another picture, the music stopped, the next message.
  RunUntil(8990);
  ASSERT_EQ(Task(), task::MessageWait);
  ASSERT_GT(Step(), kFirstMessageStep);
  EXPECT_EQ(Rgb(Frame(), 20, 20), 0x3030C0u);  // and no character
  EXPECT_FALSE(MusicPlaying());
  EXPECT_EQ(MusicKept(), 0);

  // Quick load, then watch the message come back one character at a time.
  int32_t fewestShown = 1000;
  bool sawTyping = false;
  const MessageWindow& text = form_->Text();
  EngineFixture::RunUntil(
      [&] {
        if (Task() == task::MessageTyping && Elapsed() > 9000) {
          sawTyping = true;
          fewestShown = std::min(fewestShown, text.RevealCount);
        }
        return Elapsed() >= 12000 || (sawTyping && Task() == task::MessageWait);
      },
      100000);
  EXPECT_EQ(Notice(), u"クイックロードしました");
  ASSERT_TRUE(sawTyping);
  EXPECT_LE(fewestShown, 2);
  EXPECT_EQ(Task(), task::MessageWait);
  EXPECT_EQ(Step(), kFirstMessageStep);
  EXPECT_EQ(text.MessageLines[1].substr(0, 4), u"最初のメ");
  EXPECT_TRUE(Scene() == savedScene);
  EXPECT_TRUE(MusicPlaying());
  EXPECT_EQ(MusicKept(), 3);
  EXPECT_GT(SoundSlot(stream::EffectSlot(1)), 1);  // the looping effect at position 1

  // The trace: restore, a 500 ms fade, then the script runs the message again.
  const auto trace = ReadTrace(dir_.path() / "trace.txt");
  size_t restore = 0;
  for (size_t i = 0; i < trace.size(); ++i)
    if (trace[i].taskCode == "800001") restore = i;
  ASSERT_GT(restore, 0u);
  ASSERT_LT(restore + 3, trace.size());
  EXPECT_EQ(trace[restore + 1].taskCode, "2091");
  EXPECT_EQ(trace[restore + 2].taskCode, "0");
  const uint32_t fade = trace[restore + 2].ms - trace[restore + 1].ms;
  EXPECT_GE(fade, 500u);
  EXPECT_LE(fade, 520u);
  EXPECT_EQ(trace[restore + 3].taskCode, "6001");
  EXPECT_EQ(trace[restore + 3].step, kFirstMessageStep);
}

}  // namespace
}  // namespace mokuren::testing
