// The sound objects SoundSystem owns: the device component, the mixer, its seven streams and the waves.
#pragma once

#include <array>
#include <memory>

#include "base/sound_slots.h"
#include "sound/OggPlayerLib.h"
#include "sound/ddsd.h"

namespace mokuren {

inline constexpr int32_t kMixBytes = 0x28000;  // 163840: the mixing wave, the player and every stream

struct SoundObjects {
  // Destroyed from the bottom up: the waves (and the mixing wave's refill poll) go before the mixer and
  // the streams they feed from, and everything before the component that owns the device.
  std::unique_ptr<TDDSD> DDSD;
  std::unique_ptr<TOggPlayer> OggPlayer;
  std::array<std::unique_ptr<TOggData>, stream::Count> Streams;
  std::unique_ptr<TDDSDWaveData> MixWave;
  std::unique_ptr<TDDSDWaveData> MovieWave;

  // Not saved: the track now playing (with the saved variant flag it filters repeated requests) and the
  // current music stream, A at first so that the first request uses B.
  int32_t BgmPlayingNo = 0;
  int BgmCurrent = stream::MusicA;

  bool Playing() const { return DDSD && DDSD->Available() && !DDSD->Device().Lost(); }
};

}  // namespace mokuren
