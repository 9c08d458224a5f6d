// Creating and releasing the engine's sound objects, the refill of the mixing wave, and the slot helpers
// the main loop and the other subsystems call.
#include "sound/sound_objects.h"
#include "sound/virtual_sound_device.h"
#include "sound/wav_recorder.h"
#include "base/text_codec.h"

namespace mokuren {

void TForm1::SoundObjectsDeleter::operator()(SoundObjects* p) const { delete p; }

void TForm1::CreateSound() {
  LoadVorbisLibrary("wuvorbis.dll");
  auto objects = std::unique_ptr<SoundObjects, SoundObjectsDeleter>(new SoundObjects);
  // Headless runs mix on the virtual clock, on this thread, so they are repeatable.
  std::unique_ptr<SoundDevice> device;
  if (platform_.Headless())
    device = std::make_unique<VirtualSoundDevice>(platform_.TickCount());
  else
    device = MakeSdlSoundDevice();
  if (!options_.recordAudio.empty()) {
    auto recorder = std::make_unique<WavRecorder>(options_.recordAudio);
    if (recorder->Good())
      device->SetRecorder(std::move(recorder));
    else
      ReportError(u"cannot write the sound recording " + FromUtf8(options_.recordAudio));
  }
  objects->DDSD = std::make_unique<TDDSD>(std::move(device));
  objects->DDSD->SetDebugOption(dsoHaltOnError);
  objects->DDSD->Loaded();  // false: no device, and the game runs silent without a word

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
  Sound = std::move(objects);
}

void TForm1::ReleaseSound() {
  if (!Sound) return;
  if (TDDSDChannel* ch = Sound->DDSD->Channel(0)) {
    ch->Stop();
    ch->setWaveData(nullptr);
  }
  if (TDDSDChannel* ch = Sound->DDSD->Channel(1)) ch->setWaveData(nullptr);
  Sound->MixWave.reset();
  Sound->MovieWave.reset();
  for (auto& s : Sound->Streams) s.reset();
  Sound->OggPlayer.reset();
  Sound.reset();
}

void TForm1::PumpSound() {
  if (Sound && Sound->DDSD->Available()) Sound->DDSD->Device().Pump(platform_.TickCount());
}

void TForm1::ApplyVolumes() {
  if (!Sound) return;
  TOggPlayer& p = *Sound->OggPlayer;
  p.SetSlotVolume(stream::MusicA, BgmVolume / 100.0);
  p.SetSlotVolume(stream::MusicB, BgmVolume / 100.0);
  for (int slot = stream::EffectFirst; slot <= stream::EffectSlot(3); ++slot) p.SetSlotVolume(slot, SeVolume / 100.0);
  p.SetSlotVolume(stream::Voice, VoiceVolume / 100.0);
}

int TForm1::SlotStatus(int slot) {
  if (!Sound) return 0;
  int status = Sound->OggPlayer->SlotStatus(slot);
  return Sound->Playing() ? status : std::min(status, 1);
}

void TForm1::StopSlot(int slot) {
  if (Sound) Sound->OggPlayer->StopSlot(slot);
}

void TForm1::SweepFinishedEffects() {
  for (int ch = 0; ch < 3; ++ch)
    if (SlotStatus(stream::EffectSlot(ch + 1)) <= 1) Block->Live.SeNo[ch] = 0;
}

void TForm1::PlayMovieSound(const std::vector<int16_t>& stereo, int rate) {
  if (!Sound || stereo.size() < 2) return;
  TDDSDChannel* ch = Sound->DDSD->Channel(1);
  if (ch == nullptr) return;
  ch->setWaveData(nullptr);
  int32_t bytes = static_cast<int32_t>(std::min<size_t>(stereo.size() / 2 * 4, 256u << 20));
  Sound->MovieWave = std::make_unique<TDDSDWaveData>(*Sound->DDSD, false, bytes, true, 16, rate);
  Sound->MovieWave->WriteData(0, stereo.data(), bytes);
  ch->setWaveData(Sound->MovieWave.get());
  ch->PlayOnce();
}

void TForm1::StopMovieSound() {
  if (!Sound) return;
  if (TDDSDChannel* ch = Sound->DDSD->Channel(1)) {
    ch->Stop();
    ch->setWaveData(nullptr);
  }
  Sound->MovieWave.reset();
}

bool TForm1::MovieSoundPlaying() {
  if (!Sound) return false;
  TDDSDChannel* ch = Sound->DDSD->Channel(1);
  return ch != nullptr && (ch->GetStatus() & kStatusPlaying) != 0;
}

}  // namespace mokuren
