// Scenarios on the real program, headless: compiled scripts play music, effects and voices, and the
// recorded output (--record-audio) is checked against what the player should hear.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>

#include "app/engine_state.h"
#include "base/buttons.h"
#include "base/sound_slots.h"
#include "base/task_codes.h"
#include "ogg_encode.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"
#include "support/wav_file.h"

namespace mokuren::testing {
namespace {

constexpr size_t kWindow = 2205;  // 50 ms

using Recording = WavRecording;

class SoundScenario : public ::testing::Test {
 protected:
  void Put(const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories((dir_.path() / name).parent_path());
    WriteFile(dir_.path() / name, bytes);
  }
  // Builds the game with script 1 and runs it for ms of virtual time.
  Recording Run(const std::string& script, uint32_t ms, const std::string& events = {}) {
    TestGame game;
    game.scripts[1] = script;
    BuildTestGame(dir_.path(), game);
    std::string args = "'" + dir_.path().string() + "' --headless --max-ms " + std::to_string(ms) +
                       " --record-audio '" + (dir_.path() / "out.wav").string() + "' --trace '" +
                       (dir_.path() / "trace.txt").string() + "'";
    if (!events.empty()) {
      WriteFile(dir_.path() / "events.txt", events);
      args += " --events '" + (dir_.path() / "events.txt").string() + "'";
    }
    EXPECT_EQ(RunProgram(args, {}, (dir_.path() / "stderr.txt").string()), 0) << ReadFile(dir_.path() / "stderr.txt");
    return ReadWav(dir_.path() / "out.wav");
  }
  // Times (ms) at which TaskCode became `code`, from the trace.
  std::vector<uint32_t> TraceTimes(const std::string& code) {
    std::istringstream in(ReadFile(dir_.path() / "trace.txt"));
    std::vector<uint32_t> times;
    std::string line;
    while (std::getline(in, line))
      if (line.find(" TC=" + code + " ") != std::string::npos) times.push_back(static_cast<uint32_t>(std::stoul(line)));
    return times;
  }
  TempDir dir_;
};

TEST_F(SoundScenario, MusicCrossFadesOverTwoSecondsAtTheSettingsVolume) {
  Put("Sound/M01.ogg", EncodeOgg(Sine(440, 20000, 4.0, 2, 44100, 1), 2, 44100));
  Put("Sound/M02.ogg", EncodeOgg(Sine(440, 20000, 4.0, 2, 44100, 2), 2, 44100));
  Recording r = Run("bgm 1, 1\nwait 2000\nbgm 2, 1, 2\nwait 5000\n", 7000);
  size_t start = r.FirstAbove(0, 0, 500);
  ASSERT_LT(start + 44100, r.Frames());
  // The first run's music volume is 30: slot gain round(0.3 * 256) = 77.
  double full = r.Rms(start + 22050, kWindow, 0);
  EXPECT_NEAR(full, 20000 / std::sqrt(2.0) * 77 / 256, 250);
  size_t fade = r.FirstAbove(start, 1, full * 0.05);
  ASSERT_LT(fade + 3 * 44100, r.Frames());
  EXPECT_NEAR(r.Rms(fade + 44100, kWindow, 0), full / 2, full * 0.1);
  EXPECT_NEAR(r.Rms(fade + 44100, kWindow, 1), full / 2, full * 0.1);
  EXPECT_LT(r.Rms(fade + 2 * 44100 + kWindow, kWindow, 0), full * 0.03);
  EXPECT_NEAR(r.Rms(fade + 2 * 44100 + kWindow, kWindow, 1), full, full * 0.05);
}

TEST_F(SoundScenario, LoopingEffectPlaysWithoutGapsAndAMissingOneIsOnlyListed) {
  Put("Sound/S01.ogg", EncodeOgg(Sine(660, 12000, 0.3, 1, 22050), 1, 22050));
  Recording r = Run("se2 9\nse1 1, 1\nwait 4000\n", 4000);
  EXPECT_NE(ReadFile(dir_.path() / "stderr.txt").find("Sound/S09.oggが見つかりません"), std::string::npos);
  size_t start = r.FirstAbove(0, 0, 1000);
  ASSERT_LT(start + 2 * 44100 + kWindow, r.Frames());
  for (size_t f = start + kWindow; f < start + 2 * 44100; f += kWindow)
    ASSERT_GT(r.Rms(f, kWindow, 0), 8000 / std::sqrt(2.0)) << (f - start) / 44.1 << " ms";
}

TEST_F(SoundScenario, VolumeSettingsFromTheSaveFileScaleTheOutputExactly) {
  std::string file = EncodeOgg(Sine(500, 24000, 0.5, 2, 44100), 2, 44100);
  std::vector<int16_t> ref = DecodeOgg(file);
  Put("Sound/S02.ogg", file);
  Put("Sound/M01.ogg", EncodeOgg(Sine(440, 20000, 2.0, 2, 44100), 2, 44100));
  auto block = std::make_unique<SaveBlock>();
  block->MessageSpeed = 2;
  block->AutoDelay = 2;
  block->BgmVolume = 0;  // the music is mute: only the effect reaches the output
  block->SeVolume = 50;
  block->VoiceVolume = 100;
  WriteFile(dir_.path() / "SAVE.DAT", std::string(reinterpret_cast<const char*>(block.get()), sizeof(SaveBlock)));
  Recording r = Run("bgm 1, 1\nse1 2\nwait 2000\n", 2000);
  size_t refFirst = 0;
  while (refFirst < ref.size() && ref[refFirst] / 2 == 0) ++refFirst;
  size_t first = 0;
  while (first < r.s.size() && r.s[first] == 0) ++first;
  ASSERT_LT(first + 20000, r.s.size());
  ASSERT_EQ(first % 2, refFirst % 2);
  for (size_t i = 0; i < 20000; ++i) ASSERT_EQ(r.s[first + i], ref[refFirst + i] * 128 / 256) << i;
}

TEST_F(SoundScenario, AutoModeWaitsForTheVoiceToEnd) {
  Put("VOICE/V001.ogg", EncodeOgg(Sine(220, 16000, 1.5, 1, 22050), 1, 22050));
  Recording r = Run("sysmenu 1\nmsg \"はじめ\"\nmsg \"こんにちは\", \"V001\"\nmsg \"おわり\"\nwait 3000\n", 12000,
                    "600 menu menuAuto\n");
  std::vector<uint32_t> typed = TraceTimes("6001");
  ASSERT_GE(typed.size(), 3u) << ReadFile(dir_.path() / "trace.txt");
  // The voiced message waits out its voice on top of the auto delay.
  uint32_t plain = typed[1] - typed[0];
  uint32_t voiced = typed[2] - typed[1];
  EXPECT_GT(voiced, plain + 1000);
  // And the voice is over, as heard, before the next message starts.
  double voiceEnd = static_cast<double>(r.LastAbove(0, 1000)) / 44.1;
  EXPECT_GT(voiceEnd, typed[1]);
  EXPECT_LT(voiceEnd, typed[2]);
}

class VoiceButton : public EngineFixture {};

// One press of the voice button plays the voice once, lit while it plays; a press while it plays stops it.
TEST_F(VoiceButton, PlaysTheVoiceOnceAndAPressWhileItPlaysStopsIt) {
  std::filesystem::create_directories(dir() / "VOICE");
  WriteFile(dir() / "VOICE/V001.ogg", EncodeOgg(Sine(220, 16000, 1.0, 1, 22050), 1, 22050));
  LaunchOptions options;
  options.recordAudio = (dir() / "out.wav").string();
  StartGame(TestGame{{{1, "sysmenu 1\nmsg \"こんにちは\", \"V001\"\n"}}, {}, {}}, options);
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  RunMs(2000);  // the message's own voice is over
  const auto press = [&] {
    const uint32_t at = Now();
    Click(380, 590);
    Passes(1);
    MoveTo(400, 300);
    return at;
  };
  const uint32_t once = press();
  RunMs(300);
  EXPECT_EQ(ButtonLook(button::Voice), button_state::On);
  RunMs(2700);
  EXPECT_EQ(ButtonLook(button::Voice), button_state::Normal) << "unlit once the voice is over";
  const uint32_t again = press();
  RunMs(700);
  const uint32_t stop = press();
  RunMs(1000);
  EXPECT_EQ(ButtonLook(button::Voice), button_state::Normal);
  CloseGame();

  const WavRecording r = ReadWav(dir() / "out.wav");
  const auto level = [&](uint32_t ms) { return r.Rms(static_cast<size_t>(ms * 44.1), kWindow, 0); };
  EXPECT_GT(level(once + 400), 3000);
  for (uint32_t ms = once + 1200; ms + 100 < again; ms += 50) ASSERT_LT(level(ms), 100) << "played again at " << ms;
  // Heard again after the second press (the mixer may take a few passes to start it), and no more soon after
  // the third.
  double heard = 0;
  for (uint32_t ms = again; ms < stop; ms += 50) heard = std::max(heard, level(ms));
  EXPECT_GT(heard, 3000);
  for (uint32_t ms = stop + 150; ms < stop + 900; ms += 50) ASSERT_LT(level(ms), 100) << "not stopped at " << ms;
}

}  // namespace
}  // namespace mokuren::testing
