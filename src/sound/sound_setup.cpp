// Creating and releasing the engine's sound objects, the refill of the mixing wave, and the slot helpers
// the main loop and the other subsystems call.
#include "base/error_list.h"
#include "base/text_codec.h"
#include "platform/platform.h"
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
    device = std::make_unique<WebSoundDevice>(platform_.TickCount());  // the page's Web Audio pulls from it
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
    errors_.Add(u"音声出力を開けません（" + FromUtf8(failed) +
                u"）。音は聞こえませんが、ゲームは続けます / no sound output: " + FromUtf8(failed));
    device = std::make_unique<VirtualSoundDevice>(platform_.TickCount());
  }
  if (!recordingFile_.empty()) {
    auto recorder = std::make_unique<WavRecorder>(recordingFile_);
    if (recorder->Good())
      device->SetRecorder(std::move(recorder));
    else
      errors_.Add(u"cannot write the sound recording " + FromUtf8(recordingFile_));
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

void SoundSystem::PlayMovieSound(const std::vector<int16_t>& stereo, int rate) {
  if (!objects_ || stereo.size() < 2) return;
  TDDSDChannel* ch = objects_->DDSD->Channel(1);
  if (ch == nullptr) return;
  ch->setWaveData(nullptr);
  int32_t bytes = static_cast<int32_t>(std::min<size_t>(stereo.size() / 2 * 4, 256u << 20));
  objects_->MovieWave = std::make_unique<TDDSDWaveData>(*objects_->DDSD, false, bytes, true, 16, rate);
  objects_->MovieWave->WriteData(0, stereo.data(), bytes);
  ch->setWaveData(objects_->MovieWave.get());
  ch->PlayOnce();
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
