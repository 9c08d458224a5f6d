// A machine without a sound device: the game is told once which output failed and why, the player reads
// on the screen that there is no sound, and the game goes on mixing on a silent device, so that a
// recording holds the whole sound.
#include <gtest/gtest.h>

#include "ogg_encode.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"
#include "support/wav_file.h"

namespace mokuren::testing {
namespace {

class SilentOutput : public EngineFixture {};

TEST_F(SilentOutput, AFailedOutputIsToldOnceAndTheRecordingHoldsTheWholeSound) {
  std::filesystem::create_directories(dir() / "Sound");
  WriteFile(dir() / "Sound" / "M01.ogg", EncodeOgg(Sine(440, 16000, 3.0, 2, 44100, 1), 2, 44100));
  TestGame game;
  game.scripts[1] = "bgm 1, 1\nwait 3000\n";
  BuildTestGame(dir(), game);
  auto platform = std::make_unique<HeadlessPlatform>();
  platform->FailSoundOutput("no sound card in this machine");
  LaunchOptions options;
  options.recordAudio = (dir() / "out.wav").string();
  options.maxMs = 2000;
  StartEngine({}, 0, options, std::move(platform));
  RunMs(1000);
  EXPECT_EQ(Notice(), u"音声出力を開けないため、音は聞こえません");
  RunMs(2000);
  EXPECT_EQ(ErrorsWith("no sound card in this machine"), 1);
  form_.reset();  // the program ends, and the recording with it
  const WavRecording r = ReadWav(dir() / "out.wav");
  EXPECT_GE(r.Frames(), 44100u * 19 / 10);
  const size_t start = r.FirstAbove(0, 0, 500);
  EXPECT_GT(r.Rms(start + 22050, 2205, 0), 1000);
}

}  // namespace
}  // namespace mokuren::testing
