// The sound device component over the virtual device (and once over SDL's dummy driver in real time):
// channels, refill requests, the error check and its options, and a device that goes away.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

#include "base/text_codec.h"
#include "platform/sdl_library.h"
#include "sound/ddsd.h"
#include "sound/virtual_sound_device.h"
#include "sound/wav_recorder.h"
#include "support/engine_fixture.h"
#include "support/wav_file.h"

namespace mokuren {
namespace {

constexpr int32_t kBytes = 0x28000;
constexpr int32_t kHalfBytes = kBytes / 2;
constexpr uint32_t kHalfFrames = kHalfBytes / 4;

struct Request {
  int32_t offset;
  int32_t size;
};

class DDSDComponent : public ::testing::Test {
 protected:
  DDSDComponent() {
    auto device = std::make_unique<VirtualSoundDevice>();
    device_ = device.get();
    ddsd_ = std::make_unique<TDDSD>(std::move(device));
    ddsd_->LogPath = dir_.path() / "DDSD_DebugLog.txt";
  }
  std::unique_ptr<TDDSDWaveData> StreamWave() {
    auto w = std::make_unique<TDDSDWaveData>(*ddsd_, TDDSDWaveData::StreamingTag{}, false, kBytes, true, 16, 44100);
    w->OnNotify = [this](TDDSDGenWave&, TDDSDChannel*, int32_t offset, int32_t size) {
      requests_.push_back({offset, size});
    };
    return w;
  }

  testing::TempDir dir_;
  VirtualSoundDevice* device_;
  std::unique_ptr<TDDSD> ddsd_;
  std::vector<Request> requests_;
};

TEST_F(DDSDComponent, InvalidChannelNumbersAreReportedWithTheRange) {
  ddsd_->SetDebugOption(dsoDebugMessage);
  ASSERT_TRUE(ddsd_->InitDevice());
  EXPECT_NE(ddsd_->Channel(7), nullptr);
  EXPECT_EQ(ddsd_->Channel(8), nullptr);
  EXPECT_EQ(ddsd_->Channel(-1), nullptr);
  EXPECT_EQ(ddsd_->ReportCount(), 2);
  std::string log = testing::ReadFile(ddsd_->LogPath);
  EXPECT_EQ(log,
            "debug#00001 ... チャンネル番号8は無効です、0～7の範囲で指定してください\r\n"
            "debug#00002 ... チャンネル番号-1は無効です、0～7の範囲で指定してください\r\n");
}

TEST_F(DDSDComponent, RefillsNameTheHalfNotPlayingAndComeOnlyWhilePlaying) {
  ASSERT_TRUE(ddsd_->Loaded());
  auto wave = StreamWave();
  TDDSDChannel* ch = ddsd_->Channel(0);
  ch->setWaveData(wave.get());
  // Stopped: the cursors pass both halves without a single request.
  device_->Advance(441);
  EXPECT_TRUE(requests_.empty());
  ch->PlayLoop();
  device_->Advance(441);
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].offset, kHalfBytes);
  EXPECT_EQ(requests_[0].size, kHalfBytes);
  for (int i = 0; i < 30; ++i) device_->Advance(441);
  EXPECT_EQ(requests_.size(), 1u);  // still the first half
  while (requests_.size() < 2) device_->Advance(441);
  uint32_t play = 0, write = 0;
  ASSERT_TRUE(wave->CurrentPosition(play, write));
  EXPECT_GT(play, static_cast<uint32_t>(kHalfBytes));
  EXPECT_EQ(requests_[1].offset, 0);
  EXPECT_EQ(requests_[1].size, kHalfBytes);
  // Setting the same streaming wave again does not stop it.
  ch->setWaveData(wave.get());
  EXPECT_EQ(ch->GetStatus() & kStatusPlaying, kStatusPlaying);
  // Stopped again: no more requests however far the clock runs.
  ch->Stop();
  for (int i = 0; i < 100; ++i) device_->Advance(441);
  EXPECT_EQ(requests_.size(), 2u);
}

TEST_F(DDSDComponent, WrittenDataIsWhatTheDevicePlaysAndIsRecorded) {
  ASSERT_TRUE(ddsd_->Loaded());
  std::string wav = (dir_.path() / "out.wav").string();
  device_->SetRecorder(std::make_unique<WavRecorder>(wav));
  auto wave = StreamWave();
  std::vector<int16_t> ramp(kHalfFrames * 2);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i % 1000);
  wave->WriteData(0, ramp.data(), kHalfBytes);
  ddsd_->Channel(0)->setWaveData(wave.get());
  ddsd_->Channel(0)->PlayLoop();
  device_->Advance(1000);
  device_->SetRecorder(nullptr);
  testing::WavRecording r = testing::ReadWav(wav);
  EXPECT_EQ(r.channels, 2);
  EXPECT_EQ(r.rate, 44100);
  ASSERT_EQ(r.s.size(), 2000u);
  for (size_t i = 0; i < 2000; ++i) ASSERT_EQ(r.s[i], ramp[i]);
}

TEST_F(DDSDComponent, AStaticWaveOfAnotherRateIsResampledAndPlaysOnce) {
  ASSERT_TRUE(ddsd_->Loaded());
  std::string wav = (dir_.path() / "out.wav").string();
  device_->SetRecorder(std::make_unique<WavRecorder>(wav));
  // 0.1 s of a constant level at 22050 Hz plays for 0.1 s at 44100 Hz.
  std::vector<int16_t> pcm(2205 * 2, 1000);
  TDDSDWaveData wave(*ddsd_, false, static_cast<int32_t>(pcm.size() * 2), true, 16, 22050);
  wave.WriteData(0, pcm.data(), static_cast<int32_t>(pcm.size() * 2));
  TDDSDChannel* ch = ddsd_->Channel(1);
  ch->setWaveData(&wave);
  ch->PlayOnce();
  device_->Advance(44100 / 5);
  EXPECT_EQ(ch->GetStatus(), 0u);
  device_->SetRecorder(nullptr);
  testing::WavRecording r = testing::ReadWav(wav);
  ASSERT_GT(r.Frames(), 4500u);
  EXPECT_EQ(r.s[2 * 2000], 1000);
  EXPECT_EQ(r.s[2 * 4500], 0);
}

TEST_F(DDSDComponent, FailuresUnderTheHaltOptionLeaveTheGameSilentWithoutALog) {
  ASSERT_TRUE(ddsd_->Loaded());
  auto stream = StreamWave();
  ddsd_->Channel(0)->setWaveData(stream.get());
  ddsd_->Channel(0)->PlayLoop();
  TDDSDWaveData bad(*ddsd_, false, 4096, true, 12, 44100);  // 12 bits: no such buffer
  EXPECT_FALSE(ddsd_->Available());
  EXPECT_FALSE(std::filesystem::exists(ddsd_->LogPath));
  // The stream stops with it rather than repeating its last half, and nothing is asked of it.
  EXPECT_EQ(ddsd_->Channel(0)->GetStatus(), 0u);
  for (int i = 0; i < 50; ++i) device_->Advance(441);
  EXPECT_TRUE(requests_.empty());
}

TEST_F(DDSDComponent, TheExceptionOptionRaisesWithTheCodeAndTheLogOptionWrites) {
  ddsd_->SetDebugOption(dsoExceptOnError | dsoDebugMessage);
  ASSERT_TRUE(ddsd_->InitDevice());
  try {
    TDDSDWaveData bad(*ddsd_, false, 4096, true, 12, 44100);
    FAIL() << "no exception";
  } catch (const EDDSD& e) {
    EXPECT_EQ(ToUtf8(e.Message), "サウンドバッファの作成に失敗しました(Error Code(88780064))");
  }
  EXPECT_TRUE(ddsd_->Available());
  EXPECT_EQ(testing::ReadFile(ddsd_->LogPath),
            "debug#00001 ... サウンドバッファの作成に失敗しました(Error Code(88780064))\r\n");
}

TEST_F(DDSDComponent, ALostDeviceGetsNoRefillsAndDoesNotFail) {
  ASSERT_TRUE(ddsd_->Loaded());
  auto wave = StreamWave();
  ddsd_->Channel(0)->setWaveData(wave.get());
  ddsd_->Channel(0)->PlayLoop();
  device_->SetLost(true);
  for (int i = 0; i < 200; ++i) device_->Pump(static_cast<uint32_t>(i * 10));
  EXPECT_TRUE(requests_.empty());
  EXPECT_TRUE(ddsd_->Available());
}

TEST(SoundDeviceRealTime, NoDeviceMeansSilenceWithoutAWord) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  TDDSD ddsd(MakeSdlSoundDevice());
  EXPECT_FALSE(ddsd.Loaded());
  TDDSDWaveData wave(ddsd, TDDSDWaveData::StreamingTag{}, false, kBytes, true, 16, 44100);
  TDDSDChannel* ch = ddsd.Channel(0);
  ASSERT_NE(ch, nullptr);
  ch->setWaveData(&wave);
  ch->PlayLoop();
  wave.WriteData(0, std::vector<int16_t>(16).data(), 32);
  EXPECT_EQ(ch->GetStatus(), 0u);
  EXPECT_EQ(ddsd.ReportCount(), 0);
  unsetenv("SDL_AUDIODRIVER");
}

TEST(SoundDeviceRealTime, DummyDriverRefillsTheHalfNotPlayingOnlyWhilePlaying) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  PrepareSdl();  // as the windowed game does: the device takes the audio SDL started on a second thread
  TDDSD ddsd(MakeSdlSoundDevice());
  if (!ddsd.Loaded()) GTEST_SKIP() << "no SDL audio";
  ASSERT_TRUE(ddsd.Device().RealTime());
  std::mutex m;
  std::condition_variable changed;
  std::vector<Request> requests;
  std::vector<bool> namedOtherHalf;
  TDDSDWaveData wave(ddsd, TDDSDWaveData::StreamingTag{}, false, kBytes, true, 16, 44100);
  wave.OnNotify = [&](TDDSDGenWave& w, TDDSDChannel*, int32_t offset, int32_t size) {
    uint32_t play = 0, write = 0;
    w.CurrentPosition(play, write);
    bool playingFirst = play < static_cast<uint32_t>(kHalfBytes);
    std::lock_guard lock(m);
    requests.push_back({offset, size});
    namedOtherHalf.push_back(playingFirst == (offset == kHalfBytes));
    changed.notify_all();
  };
  TDDSDChannel* ch = ddsd.Channel(0);
  ch->setWaveData(&wave);
  ch->PlayLoop();
  {
    std::unique_lock lock(m);
    ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(10), [&] { return requests.size() >= 3; }));
  }
  ch->Stop();
  size_t seen = 0;
  {
    std::lock_guard lock(m);
    for (size_t i = 0; i < requests.size(); ++i) {
      EXPECT_EQ(requests[i].offset, i % 2 == 0 ? kHalfBytes : 0) << i;
      EXPECT_TRUE(namedOtherHalf[i]) << i;
    }
    seen = requests.size();
  }
  // A poll that saw the wave playing just before the stop may still deliver its refill; after that,
  // none may come while the wave stands still.
  std::unique_lock lock(m);
  EXPECT_FALSE(changed.wait_for(lock, std::chrono::milliseconds(600), [&] { return requests.size() > seen + 1; }));
}

}  // namespace
}  // namespace mokuren
