// Creating and releasing the engine's sound objects, the refill of the mixing wave, and the slot helpers
// the main loop and the other subsystems call.
#include <algorithm>
#include <vector>

#include "base/error_list.h"
#include "base/error_texts.h"
#include "base/text_codec.h"
#include "platform/platform.h"
#include "sound/pcm_source.h"
#include "sound/sound_objects.h"
#include "sound/sound_system.h"
#include "sound/virtual_sound_device.h"
#include "sound/wav_recorder.h"
#ifdef __EMSCRIPTEN__
#include "sound/web_sound_device.h"
#endif

namespace mokuren {

SoundSystem::SoundSystem(SoundHost& host, Platform& platform, ErrorList& errors, SaveBlock& block,
                         const std::filesystem::path& gameDir, std::string recordingFile)
    : BgmNo(block.Live.BgmNo),
      BgmLoop(block.Live.BgmLoop),
      BgmVariant(block.Live.BgmVariant),
      SeNo(block.Live.SeNo),
      SeLoop(block.Live.SeLoop),
      VoiceVolume(block.VoiceVolume),
      BgmVolume(block.BgmVolume),
      SeVolume(block.SeVolume),
      host_(host),
      platform_(platform),
      errors_(errors),
      gameDir_(gameDir),
      recordingFile_(std::move(recordingFile)) {}

SoundSystem::~SoundSystem() = default;

void SoundSystem::CreateSound() {
  LoadVorbisLibrary("wuvorbis.dll");
  auto objects = std::make_unique<SoundObjects>();
  // Headless runs mix on the virtual clock, on this thread, so they are repeatable.
  std::unique_ptr<SoundDevice> device;
  std::string failed;
  if (platform_.Headless()) {
    failed = platform_.SoundOutputFault();
    if (failed.empty()) device = std::make_unique<VirtualSoundDevice>(platform_.TickCount());
  } else {
#ifdef __EMSCRIPTEN__
    // The page's Web Audio pulls from it, bringing it up to the engine's clock as it does.
    device = std::make_unique<WebSoundDevice>([&platform = platform_] { return platform.TickCount(); });
#else
    device = MakeSdlSoundDevice();
    if (!device->Open()) {
      failed = device->OpenError();
      device.reset();
    }
#endif
  }
  // Without an output the game still mixes, on a device that plays to nobody at the pace of the clock,
  // so music waits and the recording hold what the game played.
  if (!device) {
    outputFailed_ = true;
    errors_.Add(error_text::kNoSoundOutput, {{u"error", FromUtf8(failed)}});
    device = std::make_unique<VirtualSoundDevice>(platform_.TickCount());
  }
  if (!recordingFile_.empty()) {
    auto recorder = std::make_unique<WavRecorder>(recordingFile_);
    if (recorder->Good()) {
      recorder_ = recorder.get();
      device->SetRecorder(std::move(recorder));
    } else {
      recordingOpenProblem_ = recorder->OpenProblem();
      errors_.Add(error_text::kRecordingNotWritten, {{u"file", FromUtf8(recordingFile_)}});
    }
  }
  objects->DDSD = std::make_unique<TDDSD>(std::move(device));
  objects->DDSD->SetDebugOption(dsoHaltOnError);
  objects->DDSD->Loaded();

  objects->OggPlayer = std::make_unique<TOggPlayer>(kMixBytes, 10);
  for (auto& s : objects->Streams) s = std::make_unique<TOggData>(kMixBytes);

  objects->MixWave =
      std::make_unique<TDDSDWaveData>(*objects->DDSD, TDDSDWaveData::StreamingTag{}, false, kMixBytes, true, 16, 44100);
  // The refill: runs on the notify thread (the engine thread for the headless device).
  TOggPlayer* player = objects->OggPlayer.get();
  objects->MixWave->OnNotify = [player](TDDSDGenWave& sender, TDDSDChannel*, int32_t offset, int32_t size) {
    player->MixHalf();
    sender.WriteData(offset, player->CurrentHalf(), size);
  };
  if (TDDSDChannel* ch = objects->DDSD->Channel(0)) {
    ch->setWaveData(objects->MixWave.get());
    ch->PlayLoop();
  }
  objects_ = std::move(objects);
}

void SoundSystem::ReleaseSound() {
  if (!objects_) return;
  if (TDDSDChannel* ch = objects_->DDSD->Channel(0)) {
    ch->Stop();
    ch->setWaveData(nullptr);
  }
  if (TDDSDChannel* ch = objects_->DDSD->Channel(1)) ch->setWaveData(nullptr);
  objects_->MixWave.reset();
  objects_->MovieWave.reset();
  for (auto& s : objects_->Streams) s.reset();
  objects_->OggPlayer.reset();
  objects_.reset();
  recorder_ = nullptr;
}

std::optional<std::string> SoundSystem::RecordingProblem() const {
  if (!recordingOpenProblem_.empty()) return recordingOpenProblem_;
  return recorder_ ? recorder_->WriteProblem() : std::nullopt;
}

void SoundSystem::PumpSound() {
  if (objects_ && objects_->DDSD->Available()) objects_->DDSD->Device().Pump(platform_.TickCount());
}

void SoundSystem::ApplyVolumes() {
  if (!objects_) return;
  TOggPlayer& p = *objects_->OggPlayer;
  p.SetSlotVolume(stream::MusicA, BgmVolume / 100.0);
  p.SetSlotVolume(stream::MusicB, BgmVolume / 100.0);
  for (int slot = stream::EffectFirst; slot <= stream::EffectSlot(3); ++slot) p.SetSlotVolume(slot, SeVolume / 100.0);
  p.SetSlotVolume(stream::Voice, VoiceVolume / 100.0);
}

int SoundSystem::SlotStatus(int slot) {
  if (!objects_) return 0;
  int status = objects_->OggPlayer->SlotStatus(slot);
  return objects_->Playing() ? status : std::min(status, 1);
}

void SoundSystem::StopSlot(int slot) {
  if (objects_) objects_->OggPlayer->StopSlot(slot);
}

void SoundSystem::SweepFinishedEffects() {
  for (int ch = 0; ch < 3; ++ch)
    if (SlotStatus(stream::EffectSlot(ch + 1)) <= 1) SeNo[ch] = 0;
}

namespace {

// Feeds a streaming wave from a sound made as it plays: each refill decodes the next half buffer, and the
// refill that finds the sound's end tells the wave where to stop. Runs where the wave's refills run.
class MovieSoundFeed {
 public:
  MovieSoundFeed(std::unique_ptr<PcmSource> sound, int32_t halfBytes)
      : sound_(std::move(sound)), scratch_(static_cast<size_t>(halfBytes) / 2) {}

  void Fill(TDDSDGenWave& wave, int32_t offset, int32_t size) {
    const int64_t wanted = std::min<int64_t>(size, static_cast<int64_t>(scratch_.size()) * 2) / 4;
    const int64_t got = ended_ ? 0 : sound_->Read(scratch_.data(), wanted);
    std::fill(scratch_.begin() + got * 2, scratch_.begin() + wanted * 2, int16_t{0});
    wave.WriteData(offset, scratch_.data(), static_cast<int32_t>(wanted * 4));
    fed_ += static_cast<uint64_t>(got);
    if (got < wanted && !ended_) {
      ended_ = true;
      wave.EndAt(fed_);
    }
  }
  uint64_t Fed() const { return fed_; }

 private:
  std::unique_ptr<PcmSource> sound_;
  std::vector<int16_t> scratch_;
  uint64_t fed_ = 0;
  bool ended_ = false;
};

}  // namespace

void SoundSystem::PlayMovieSound(std::unique_ptr<PcmSource> sound, int rate) {
  if (!objects_ || !sound || rate <= 0) return;
  TDDSDChannel* ch = objects_->DDSD->Channel(1);
  if (ch == nullptr) return;
  ch->setWaveData(nullptr);
  objects_->MovieWave.reset();
  // Each half of the buffer holds a quarter of a second, whatever the rate: far more than a refill's
  // delay, and little to decode before the first picture.
  const int32_t halfBytes = std::max(rate / 4, 1) * 4;
  auto wave = std::make_unique<TDDSDWaveData>(*objects_->DDSD, TDDSDWaveData::StreamingTag{}, false, 2 * halfBytes,
                                              true, 16, rate);
  auto feed = std::make_shared<MovieSoundFeed>(std::move(sound), halfBytes);
  // The first half is there before the sound starts; the refills follow the play cursor from there.
  feed->Fill(*wave, 0, halfBytes);
  if (feed->Fed() == 0) return;
  wave->OnNotify = [feed](TDDSDGenWave& sender, TDDSDChannel*, int32_t offset, int32_t size) {
    feed->Fill(sender, offset, size);
  };
  objects_->MovieWave = std::move(wave);
  ch->setWaveData(objects_->MovieWave.get());
  ch->PlayLoop();
}

void SoundSystem::StopMovieSound() {
  if (!objects_) return;
  if (TDDSDChannel* ch = objects_->DDSD->Channel(1)) {
    ch->Stop();
    ch->setWaveData(nullptr);
  }
  objects_->MovieWave.reset();
}

bool SoundSystem::MovieSoundPlaying() {
  if (!objects_) return false;
  TDDSDChannel* ch = objects_->DDSD->Channel(1);
  return ch != nullptr && (ch->GetStatus() & kStatusPlaying) != 0;
}

}  // namespace mokuren
