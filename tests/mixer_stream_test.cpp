// The streams and the mixer on generated Ogg files: conversion, end of stream, loop points, fades,
// gains, the limiter and the slot table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "ogg_encode.h"
#include "sound/OggPlayerLib.h"

namespace mokuren {
namespace {

using testing::DecodeOgg;
using testing::EncodeOgg;
using testing::Sine;

constexpr int32_t kBytes = 163840;
constexpr int32_t kHalf = kBytes / 8;  // frames per render

void Load(TOggData& s, const std::string& file) {
  ASSERT_TRUE(s.LoadFromStream(std::make_unique<TMemoryStream>(std::vector<uint8_t>(file.begin(), file.end()))));
}

// Renders n halves and returns their frames one after the other (32-bit interleaved).
std::vector<int32_t> RenderHalves(TOggData& s, int n) {
  std::vector<int32_t> all;
  for (int i = 0; i < n; ++i) {
    if (s.RenderHalf() == 0) {
      all.insert(all.end(), static_cast<size_t>(kHalf) * 2, 0);
      continue;
    }
    all.insert(all.end(), s.CurrentHalf(), s.CurrentHalf() + kHalf * 2);
  }
  return all;
}

int32_t PeakIn(const std::vector<int32_t>& v, size_t firstFrame, size_t lastFrame) {
  int32_t p = 0;
  for (size_t i = firstFrame * 2; i < std::min(v.size(), lastFrame * 2); ++i) p = std::max(p, std::abs(v[i]));
  return p;
}

size_t LastAudibleFrame(const std::vector<int32_t>& v, int32_t threshold) {
  for (size_t i = v.size(); i-- > 0;)
    if (std::abs(v[i]) > threshold) return i / 2;
  return 0;
}

TEST(OggStream, MonoAt22050HzGivesEverySampleFourTimes) {
  std::string file = EncodeOgg(Sine(300, 12000, 0.5, 1, 22050), 1, 22050);
  std::vector<int16_t> ref = DecodeOgg(file);
  TOggData s(kBytes);
  Load(s, file);
  EXPECT_EQ(s.Channels(), 1);
  EXPECT_EQ(s.SampleRate(), 22050);
  s.Play(false);
  std::vector<int32_t> out = RenderHalves(s, 1);
  // Unity gains and level: the output is the decoded sample itself, on both sides of two frames.
  for (size_t i = 0; i < 10000; ++i) {
    ASSERT_EQ(out[i * 4 + 0], ref[i]) << i;
    ASSERT_EQ(out[i * 4 + 1], ref[i]) << i;
    ASSERT_EQ(out[i * 4 + 2], ref[i]) << i;
    ASSERT_EQ(out[i * 4 + 3], ref[i]) << i;
  }
}

TEST(OggStream, StereoAt44100HzPassesUnchangedAndAnEndedFileStopsAndRewinds) {
  std::string file = EncodeOgg(Sine(440, 9000, 0.3, 2, 44100, 1), 2, 44100);
  std::vector<int16_t> ref = DecodeOgg(file);
  TOggData s(kBytes);
  Load(s, file);
  s.Play(false);
  EXPECT_EQ(s.Status(), 2);
  std::vector<int32_t> out = RenderHalves(s, 1);
  size_t frames = ref.size() / 2;
  ASSERT_LT(frames, static_cast<size_t>(kHalf));
  for (size_t i = 0; i < frames * 2; ++i) ASSERT_EQ(out[i], ref[i]) << i;
  // The rest of the block is silent, and the stream is back at "loaded".
  EXPECT_EQ(PeakIn(out, frames, kHalf), 0);
  EXPECT_EQ(s.Status(), 1);
  // Played again it starts from the beginning.
  s.Play(false);
  out = RenderHalves(s, 1);
  EXPECT_EQ(out[200], ref[200]);
}

TEST(OggStream, UnsupportedRateIsSilentAndFallsBackToLoaded) {
  std::string file = EncodeOgg(Sine(440, 9000, 0.5, 2, 48000), 2, 48000);
  TOggData s(kBytes);
  Load(s, file);
  s.Play(true);
  std::vector<int32_t> out = RenderHalves(s, 2);
  EXPECT_EQ(PeakIn(out, 0, 2 * kHalf), 0);
  EXPECT_EQ(s.Status(), 1);
}

TEST(OggStream, ALoopingFileWithoutLoopPointsRestartsWithoutAGap) {
  std::string file = EncodeOgg(Sine(441, 9000, 0.2, 2, 44100), 2, 44100);
  std::vector<int16_t> ref = DecodeOgg(file);
  TOggData s(kBytes);
  Load(s, file);
  s.Play(true);
  std::vector<int32_t> out = RenderHalves(s, 1);
  size_t frames = ref.size() / 2;
  for (size_t k = 0; k < 2; ++k)
    for (size_t i = 0; i < frames * 2; ++i) ASSERT_EQ(out[k * frames * 2 + i], ref[i]) << k << " " << i;
  EXPECT_EQ(s.Status(), 3);
}

TEST(OggStream, LoopTimeWithLimitTwoJumpsBackTwiceThenPlaysPastTheEnd) {
  // 1.5 s of tone; the loop 0.5 s .. 1.0 s is taken twice, so 1.0 + 0.5 + 0.5 + 0.5 = 2.5 s play.
  std::string file = EncodeOgg(Sine(441, 12000, 1.5, 2, 44100), 2, 44100, {{"COMMENT", "*looptime,0,0.5,1.0,2"}});
  TOggData s(kBytes);
  Load(s, file);
  EXPECT_EQ(s.Loops()[0].Limit, 2);
  s.Play(false);
  std::vector<int32_t> out = RenderHalves(s, 7);
  double seconds = static_cast<double>(LastAudibleFrame(out, 200)) / 44100.0;
  EXPECT_NEAR(seconds, 2.5, 0.01);
  EXPECT_EQ(s.Status(), 1);
  // Past the loop end the counter went back to 0, so the next play loops twice again.
  EXPECT_EQ(s.Loops()[0].Counter, 0);
}

TEST(OggStream, LoopSampleWithoutLimitLoopsForever) {
  std::string file =
      EncodeOgg(Sine(441, 12000, 1.0, 2, 44100), 2, 44100, {{"comment", "*LoopSample, 3, 11025, 22050 // a quarter"}});
  TOggData s(kBytes);
  Load(s, file);
  EXPECT_DOUBLE_EQ(s.Loops()[3].Start, 0.25);
  EXPECT_DOUBLE_EQ(s.Loops()[3].End, 0.5);
  EXPECT_EQ(s.Loops()[3].Limit, -1);
  s.Play(false);
  std::vector<int32_t> out = RenderHalves(s, 10);  // 4.6 s, far longer than the file
  EXPECT_GT(PeakIn(out, 9 * kHalf, 10 * kHalf), 5000);
  EXPECT_EQ(s.Status(), 2);
}

TEST(OggLoopComment, FieldsDefaultsAndIgnoredLines) {
  OggLoopTable t{};
  ParseLoopComment(
      "*looptime,1,2.5,7.25,3\r\n"
      " * LOOPTIME , 2 ,\t1,\r\n"  // end and limit missing: 0 and -1
      "*looptime,16,1,2,3\r\n"     // entry out of range
      "*looptime,-1,1,2,3\r\n"
      "*loopsample,4,44100,88200,x\r\n"  // a limit that is no number: -1
      "*looptimes,5,1,2,3\r\n"           // another key
      "// *looptime,6,1,2,3\r\n"
      "*looptime,7,1,2,3,9,9\r\n",  // a sixth field is ignored
      44100, t);
  EXPECT_DOUBLE_EQ(t[1].Start, 2.5);
  EXPECT_DOUBLE_EQ(t[1].End, 7.25);
  EXPECT_EQ(t[1].Limit, 3);
  EXPECT_DOUBLE_EQ(t[2].Start, 1);
  EXPECT_DOUBLE_EQ(t[2].End, 0);
  EXPECT_EQ(t[2].Limit, -1);
  EXPECT_DOUBLE_EQ(t[4].Start, 1.0);
  EXPECT_DOUBLE_EQ(t[4].End, 2.0);
  EXPECT_EQ(t[4].Limit, -1);
  EXPECT_EQ(t[5].Limit, 0);
  EXPECT_EQ(t[6].Limit, 0);
  EXPECT_EQ(t[7].Limit, 3);
  EXPECT_EQ(t[0].Limit, 0);
}

TEST(OggStream, FadeToSilenceOverTwoSecondsEndsAfter88200FramesAndStops) {
  std::string file = EncodeOgg(Sine(441, 12000, 1.0, 2, 44100), 2, 44100);
  TOggData s(kBytes);
  Load(s, file);
  s.SetVolume(1.0);
  s.Play(true);
  s.FadeTo(2, 0);
  std::vector<int32_t> out = RenderHalves(s, 5);
  EXPECT_GT(PeakIn(out, 86000, 87000), 0);
  EXPECT_EQ(PeakIn(out, 88200, 5 * kHalf), 0);
  EXPECT_EQ(s.FadeCurrent(), 0);
  // The level halves at the midpoint.
  EXPECT_NEAR(PeakIn(out, 43600, 44600), 6000, 300);
  // The next refill finds it silent and stops it.
  EXPECT_EQ(s.Status(), 3);
  EXPECT_EQ(s.RenderHalf(), 0);
  EXPECT_EQ(s.Status(), 1);
}

TEST(OggStream, FadeToSilenceAtOnceStopsAtTheNextRefillAndGainsScale) {
  std::string file = EncodeOgg(Sine(441, 12000, 1.0, 2, 44100), 2, 44100);
  std::vector<int16_t> ref = DecodeOgg(file);
  TOggData s(kBytes);
  Load(s, file);
  s.SetStreamGain(0.5);
  s.SetSlotGain(0.3);  // round(76.8) = 77
  EXPECT_EQ(s.StreamGain(), 128);
  EXPECT_EQ(s.SlotGain(), 77);
  s.SetVolume(1.0);
  s.Play(false);
  std::vector<int32_t> out = RenderHalves(s, 1);
  // G = 128 * 77 / 256 = 38; F = 38 * 256 / 256 = 38; sample * 38 / 256, toward zero.
  for (size_t i = 0; i < 2000; ++i) ASSERT_EQ(out[i], ref[i] * 38 / 256) << i;
  s.FadeTo(0, 0);
  EXPECT_EQ(s.RenderHalf(), 0);
  EXPECT_EQ(s.Status(), 1);
}

TEST(OggStream, BrokenFilesRaiseAndLeaveTheStreamEmpty) {
  TOggData s(kBytes);
  EXPECT_FALSE(s.LoadFromStream(nullptr));
  EXPECT_FALSE(s.LoadFromFile("/nonexistent/M01.ogg"));
  std::string garbage(5000, 'x');
  EXPECT_THROW(s.LoadFromStream(std::make_unique<TMemoryStream>(std::vector<uint8_t>(garbage.begin(), garbage.end()))),
               EOggLoad);
  EXPECT_EQ(s.Status(), 0);
  // Damage in the middle of the audio: what decodes plays, and the damage stops the stream (never loops
  // on it or reads beyond the data).
  std::string file = EncodeOgg(Sine(441, 12000, 2.0, 2, 44100), 2, 44100);
  for (size_t i = file.size() * 2 / 5; i < file.size() * 3 / 5; ++i) file[i] = static_cast<char>(file[i] ^ 0x5A);
  Load(s, file);
  s.Play(true);
  std::vector<int32_t> out = RenderHalves(s, 12);
  EXPECT_GT(PeakIn(out, 0, kHalf), 5000);
  EXPECT_LE(s.Status(), 3);
}

TEST(OggMixer, TwoLoudStreamsAreLimitedWithoutWrapAroundAndRecoverSlowly) {
  std::string file = EncodeOgg(Sine(441, 30000, 1.5, 2, 44100), 2, 44100);
  std::vector<int16_t> ref = DecodeOgg(file);
  TOggData a(kBytes), b(kBytes);
  Load(a, file);
  Load(b, file);
  TOggPlayer p(kBytes, 10);
  p.AttachStream(0, &a);
  p.AttachStream(1, &b);
  p.PlaySlot(0, false);
  p.PlaySlot(1, false);
  p.MixHalf();
  EXPECT_GT(p.Envelope(), TOggPlayer::kFloor * 256);
  const int16_t* out = p.CurrentHalf();
  int wrong = 0;
  for (int i = 0; i < kHalf * 2; ++i) {
    int32_t sum = 2 * ref[static_cast<size_t>(i)];
    // The sign always follows the sum; after the first blocks of attack the output stays in range.
    if (std::abs(sum) > 2000 && (sum > 0) != (out[i] > 0)) ++wrong;
  }
  EXPECT_EQ(wrong, 0);
  // Once the sound has stopped the envelope holds about a second, then falls 500 per 32 frames.
  a.Stop();
  b.Stop();
  p.MixHalf();
  p.MixHalf();
  int32_t held = p.Envelope();
  p.MixHalf();
  p.MixHalf();
  EXPECT_LT(p.Envelope(), held);
  EXPECT_GT(p.Envelope(), TOggPlayer::kFloor * 256);
}

TEST(OggMixer, QuietMixPassesUnchangedWithMasterGain) {
  std::string file = EncodeOgg(Sine(441, 8000, 0.3, 2, 44100), 2, 44100);
  std::vector<int16_t> ref = DecodeOgg(file);
  TOggData a(kBytes);
  Load(a, file);
  TOggPlayer p(kBytes, 10);
  p.AttachStream(6, &a);
  p.PlaySlot(6, false);
  p.MasterGain = 128;
  p.MixHalf();
  EXPECT_EQ(p.Envelope(), TOggPlayer::kFloor * 256);
  for (size_t i = 0; i < 4000; ++i) ASSERT_EQ(p.CurrentHalf()[i], ref[i] * 128 / 256) << i;
}

TEST(OggMixer, AttachingToAnotherSlotEmptiesTheOldOneAndEmptySlotsAreHarmless) {
  TOggData a(kBytes);
  TOggPlayer p(kBytes, 10);
  p.AttachStream(3, &a);
  p.AttachStream(4, &a);
  EXPECT_EQ(p.Slot(3), nullptr);
  EXPECT_EQ(p.Slot(4), &a);
  EXPECT_EQ(p.SlotStatus(3), 0);
  EXPECT_EQ(p.SlotStatus(4), 0);  // nothing loaded
  p.PlaySlot(7, true);
  p.StopSlot(99);
  p.AttachStream(-1, &a);
  EXPECT_EQ(p.SlotStatus(-5), 0);
  p.AttachStream(4, nullptr);
  EXPECT_EQ(p.Slot(4), nullptr);
  p.MixHalf();
  EXPECT_EQ(*std::max_element(p.CurrentHalf(), p.CurrentHalf() + kHalf * 2), 0);
}

}  // namespace
}  // namespace mokuren
