// The engine's sound commands on a headless engine, checked through the recorded output (WAV) and the
// sound state a saved game keeps.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "base/text_codec.h"
#include "ogg_encode.h"
#include "sound/sound_objects.h"
#include "sound/sound_system.h"
#include "support/engine_fixture.h"

namespace mokuren {
namespace {

using testing::EncodeOgg;
using testing::Sine;

struct Wav {
  std::vector<int16_t> samples;  // interleaved stereo
  size_t Frames() const { return samples.size() / 2; }
  // Root mean square of one side over [from, from + count) frames.
  double Rms(size_t from, size_t count, int side) const {
    double sum = 0;
    size_t n = 0;
    for (size_t i = from; i < std::min(from + count, Frames()); ++i, ++n) {
      double v = samples[i * 2 + static_cast<size_t>(side)];
      sum += v * v;
    }
    return n ? std::sqrt(sum / static_cast<double>(n)) : 0;
  }
};

constexpr size_t kWindow = 2205;  // 50 ms

class SoundEngine : public testing::EngineFixture {
 protected:
  void Start() {
    LaunchOptions options;
    options.recordAudio = (dir_.path() / "out.wav").string();
    // Only the commands under test make sound: the script waits for a key that never comes.
    StartScript("wait click\n", options);
    S().BgmVolume = S().SeVolume = S().VoiceVolume = 100;
  }
  // The sound system, the layer these tests drive.
  SoundSystem& S() { return form_->Audio(); }
  void Put(const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories((dir_.path() / name).parent_path());
    testing::WriteFile(dir_.path() / name, bytes);
  }
  Wav Recorded() {
    S().ReleaseSound();  // closes the recording
    std::string bytes = testing::ReadFile(dir_.path() / "out.wav");
    Wav w;
    if (bytes.size() > 44) {
      w.samples.resize((bytes.size() - 44) / 2);
      std::memcpy(w.samples.data(), bytes.data() + 44, w.samples.size() * 2);
    }
    return w;
  }
  bool Reported(const std::string& line) {
    const std::vector<std::string> list = Errors();
    return std::find(list.begin(), list.end(), line) != list.end();
  }
  // The first window, from frame `from` on, whose level on `side` is above `level`.
  static size_t FirstAbove(const Wav& w, size_t from, int side, double level) {
    for (size_t f = from; f + kWindow <= w.Frames(); f += kWindow / 5)
      if (w.Rms(f, kWindow, side) > level) return f;
    return w.Frames();
  }
};

TEST_F(SoundEngine, MusicCrossFadesOverTwoSeconds) {
  // Track 1 sounds on the left only, track 2 on the right only, so each side shows one track's level.
  Put("Sound/M01.ogg", EncodeOgg(Sine(440, 16000, 3.0, 2, 44100, 1), 2, 44100));
  Put("Sound/M02.ogg", EncodeOgg(Sine(440, 16000, 3.0, 2, 44100, 2), 2, 44100));
  Start();
  S().Kumo_PlayBGM(1, 0, 0, 1);
  Passes(200);
  S().Kumo_PlayBGM(2, 2, 0, 1);
  Passes(400);
  EXPECT_EQ(S().BgmNo, 2);
  Wav w = Recorded();
  size_t leftStart = FirstAbove(w, 0, 0, 1000);
  ASSERT_LT(leftStart, w.Frames());
  double full = w.Rms(leftStart + 44100, kWindow, 0);
  EXPECT_NEAR(full, 16000 / std::sqrt(2.0), 800);  // fade 0: at full level at once
  size_t fadeStart = FirstAbove(w, leftStart, 1, full * 0.05);
  ASSERT_LT(fadeStart + 3 * 44100, w.Frames());
  // Half way through, both tracks sound at half level; after two seconds only track 2 is left.
  EXPECT_NEAR(w.Rms(fadeStart + 44100, kWindow, 0), full / 2, full * 0.1);
  EXPECT_NEAR(w.Rms(fadeStart + 44100, kWindow, 1), full / 2, full * 0.1);
  EXPECT_LT(w.Rms(fadeStart + 2 * 44100 + kWindow, kWindow, 0), full * 0.03);
  EXPECT_NEAR(w.Rms(fadeStart + 2 * 44100 + kWindow, kWindow, 1), full, full * 0.05);
}

TEST_F(SoundEngine, RepeatedTrackIsIgnoredButItsVariantSwitchesFiles) {
  Put("Sound/M03.ogg", EncodeOgg(Sine(440, 8000, 1.0, 2, 44100), 2, 44100));
  Put("Sound/M03P.ogg", EncodeOgg(Sine(660, 8000, 1.0, 2, 44100), 2, 44100));
  Start();
  auto& s = *S().Objects();
  S().Kumo_PlayBGM(3, 0, 0, 1);
  EXPECT_EQ(s.BgmCurrent, stream::MusicB);  // the first request uses B
  EXPECT_EQ(S().SlotStatus(1), 3);
  Passes(10);
  S().Kumo_PlayBGM(3, 2, 0, 1);
  EXPECT_EQ(s.BgmCurrent, stream::MusicB);
  EXPECT_EQ(s.Streams[stream::MusicB]->FadeTarget(), int64_t{1} << 40);
  S().Kumo_PlayBGM(3, 2, 1, 1);
  EXPECT_EQ(s.BgmCurrent, stream::MusicA);
  EXPECT_EQ(S().BgmVariant, 1);
  EXPECT_EQ(S().SlotStatus(0), 3);
  EXPECT_EQ(s.Streams[stream::MusicB]->FadeTarget(), 0);  // fading out
  EXPECT_TRUE(Errors().empty());
  // Tracks above 7 have no second version; a missing file is named in the error list.
  S().Kumo_PlayBGM(12, 0, 1, 1);
  EXPECT_TRUE(Reported("Sound/M12.oggが見つかりません"));
  S().Kumo_PlayBGM(5, 0, 1, 1);
  EXPECT_TRUE(Reported("Sound/M05P.oggが見つかりません"));
  EXPECT_LE(S().SlotStatus(0), 1);
  EXPECT_LE(S().SlotStatus(1), 1);
  // Track 0 is the way to stop, and says nothing.
  size_t lines = Errors().size();
  S().Kumo_PlayBGM(0, 0, 0, 0);
  EXPECT_EQ(Errors().size(), lines);
  EXPECT_EQ(S().BgmNo, 0);
}

TEST_F(SoundEngine, LoopingEffectRepeatsUntilFadedOutAndTheSweepThenForgetsIt) {
  Put("Sound/S01.ogg", EncodeOgg(Sine(880, 10000, 0.25, 2, 44100), 2, 44100));
  Start();
  S().Kumo_PlaySE(1, 1, 1, 0);
  EXPECT_EQ(S().SeNo[0], 1);
  EXPECT_EQ(S().SeLoop[0], 1);
  Passes(300);
  EXPECT_EQ(S().SlotStatus(3), 3);
  EXPECT_EQ(S().SeNo[0], 1);  // still playing: the sweeps keep it
  S().Kumo_PlaySE(1, 0, 0, 1);
  Passes(250);
  EXPECT_LE(S().SlotStatus(3), 1);
  EXPECT_EQ(S().SeNo[0], 0);
  Wav w = Recorded();
  size_t start = FirstAbove(w, 0, 0, 1000);
  ASSERT_LT(start + 2 * 44100, w.Frames());
  // Ten repetitions of the quarter second with no silent gap between them.
  for (size_t f = start + kWindow; f < start + 2 * 44100; f += kWindow)
    ASSERT_GT(w.Rms(f, kWindow, 0), 5000) << (f - start) / 44.1 << " ms";
}

TEST_F(SoundEngine, EffectVolumeScalesTheRecordedSamplesExactly) {
  std::string file = EncodeOgg(Sine(500, 20000, 0.5, 2, 44100), 2, 44100);
  std::vector<int16_t> ref = testing::DecodeOgg(file);
  Put("Sound/S02.ogg", file);
  Start();
  S().SeVolume = 50;
  S().Kumo_PlaySE(2, 2, 0, 0);
  Passes(150);
  Wav w = Recorded();
  // Slot gain 128: every sample is the decoded one halved, toward zero.
  size_t refFirst = 0;
  while (refFirst < ref.size() && ref[refFirst] / 2 == 0) ++refFirst;
  size_t wavFirst = 0;
  while (wavFirst < w.samples.size() && w.samples[wavFirst] == 0) ++wavFirst;
  ASSERT_LT(wavFirst, w.samples.size());
  ASSERT_EQ(wavFirst % 2, refFirst % 2);
  for (size_t i = 0; i < 20000; ++i) ASSERT_EQ(w.samples[wavFirst + i], ref[refFirst + i] * 128 / 256) << i;
}

TEST_F(SoundEngine, LoopFlagsCountOnlyTheirLowByte) {
  Put("Sound/S01.ogg", EncodeOgg(Sine(880, 10000, 0.25, 2, 44100), 2, 44100));
  Start();
  S().Kumo_PlaySE(1, 1, 256, 0);
  EXPECT_EQ(S().SeLoop[0], 0);
  EXPECT_EQ(S().SlotStatus(3), 2);
  S().Kumo_PlaySE(1, 1, 257, 0);
  EXPECT_EQ(S().SlotStatus(3), 3);
}

TEST_F(SoundEngine, SkippingRecordsTheEffectButPlaysNothing) {
  Put("Sound/S04.ogg", EncodeOgg(Sine(500, 20000, 0.5, 2, 44100), 2, 44100));
  Start();
  form_->Text().Modes.SceneSkip = 1;  // as the popup menu's scene skip sets it
  S().Kumo_PlaySE(2, 4, 1, 0);
  EXPECT_EQ(S().SeNo[1], 4);
  EXPECT_LE(S().SlotStatus(4), 1);
  Passes(60);
  EXPECT_EQ(S().SeNo[1], 0);  // the sweep: it is not playing
}

TEST_F(SoundEngine, VoiceHoldsAutoTimeUntilItEndsAndALoopedVoiceRepeats) {
  Put("VOICE/v001.ogg", EncodeOgg(Sine(300, 10000, 0.4, 1, 22050), 1, 22050));
  Start();
  S().Kumo_PlayVOICE(u"VOICE\\v001.ogg", 0);
  form_->Text().AutoElapsed = 0;
  EXPECT_EQ(S().SlotStatus(6), 2);
  Passes(20);
  EXPECT_EQ(form_->Text().AutoElapsed, 0);
  int passes = 0;
  while (S().SlotStatus(6) == 2 && passes < 500) {
    Passes(1);
    ++passes;
  }
  EXPECT_LT(passes, 200);
  Passes(10);
  EXPECT_GT(form_->Text().AutoElapsed, 0);
  S().Kumo_PlayVOICE(u"VOICE\\v001.ogg", 1);
  Passes(300);
  EXPECT_EQ(S().SlotStatus(6), 3);
  S().Kumo_PlayVOICE(u"", 0);  // stop only
  EXPECT_EQ(S().SlotStatus(6), 1);
  S().Kumo_PlayVOICE(u"VOICE\\none.ogg", 0);
  EXPECT_TRUE(Reported("VOICE/none.oggが見つかりません"));
}

TEST_F(SoundEngine, AFileThatDoesNotDecodeIsReportedAndTheGameGoesOn) {
  Put("Sound/S03.ogg", std::string(3000, '\x55'));
  Put("Sound/M04.ogg", "OggS but not really");
  Start();
  S().Kumo_PlaySE(3, 3, 0, 0);
  S().Kumo_PlayBGM(4, 1, 0, 1);
  EXPECT_TRUE(Reported("Sound/S03.ogg: ファイルの読み込みに失敗"));
  EXPECT_TRUE(Reported("Sound/M04.ogg: ファイルの読み込みに失敗"));
  EXPECT_LE(S().SlotStatus(5), 1);
  Passes(100);
  EXPECT_EQ(Task(), task::WaitKey);
}

}  // namespace
}  // namespace mokuren
