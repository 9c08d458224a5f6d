// SoundSystem: the engine's sound. It owns the device component, the mixer with its seven streams and the
// waves (made at start-up, released at shutdown), and runs the engine's sound commands: music that
// cross-fades between streams A and B, the three effect positions, the voice and the opening movie's
// sound. What a saved game keeps of it (the music and effects playing, the three volumes) lives in the
// save block it is given. Its methods run on the engine thread; the real-time device's own threads see
// only the mixer, behind its locks.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/save_block.h"
#include "sound/sound_host.h"

namespace mokuren {

class ErrorList;
class PcmSource;
class Platform;
class WavRecorder;
struct SoundObjects;

class SoundSystem {
 public:
  // `gameDir` is read each time a file is opened, so it may be set after construction. Unless
  // `recordingFile` is empty, everything the device plays is also written there as a WAV file.
  SoundSystem(SoundHost& host, Platform& platform, ErrorList& errors, SaveBlock& block,
              const std::filesystem::path& gameDir, std::string recordingFile);
  ~SoundSystem();
  SoundSystem(const SoundSystem&) = delete;
  SoundSystem& operator=(const SoundSystem&) = delete;

  // Loads the Vorbis binding, creates the player, its seven stream decoders and the mixing wave on
  // channel 0 (start-up). Without a sound device the game runs silent. Until then every command below
  // does nothing, and so it does again after ReleaseSound.
  void CreateSound();
  // Releases the mixing wave, the stream decoders, the player and the Vorbis binding (shutdown); closes
  // the recording.
  void ReleaseSound();
  // Plays what the headless device has due by now and runs its refills on this thread (once per pass).
  // The real-time device runs by itself, so this does nothing there.
  void PumpSound();
  // Applies BgmVolume, SeVolume and VoiceVolume to the player's slot volumes.
  void ApplyVolumes();
  // SlotStatus of a player slot (stream:: names them): 0 or 1 = not playing. Without a working device
  // nothing ever plays, so a started voice cannot hold auto mode up.
  int SlotStatus(int slot);
  void StopSlot(int slot);
  // Sets the remembered effect number of each effect position whose slot has stopped to 0.
  void SweepFinishedEffects();
  void Kumo_PlayBGM(int no, int fadeSeconds, int variant, int loop);
  void Kumo_PlaySE(int position, int no, int loop, int fadeSeconds);
  void Kumo_PlayVOICE(const std::u16string& path, int repeat);
  // Tells the error list when the voice file `path` is missing, as playing it would, without playing it.
  void CheckVoiceFile(const std::u16string& path);
  // The track the music room marks: the music the mixer plays now, 0 when none.
  int32_t TrackPlaying();
  // Whether CreateSound found no sound output, so that the game plays silent.
  bool OutputFailed() const { return outputFailed_; }

  // The movie's sound on channel 1, at the given rate, played once: decoded as it plays, a refill at a
  // time, and stopped at its last frame. A sound with no frames does not play.
  void PlayMovieSound(std::unique_ptr<PcmSource> sound, int rate);
  void StopMovieSound();
  bool MovieSoundPlaying();

  // Why the recording --record-audio asked for cannot be made, once it cannot: it could not be opened, or
  // a write failed (a full disk). Nothing while it goes well, or when none was asked for.
  std::optional<std::string> RecordingProblem() const;

  // Kept in the save block: what a saved game restarts (the music, and the effect of each position
  // 1-3) and the settings' volumes in percent.
  int32_t& BgmNo;
  uint8_t& BgmLoop;
  uint8_t& BgmVariant;  // tracks 1-7: play the second version
  int32_t (&SeNo)[3];
  uint8_t (&SeLoop)[3];
  int32_t& VoiceVolume;
  int32_t& BgmVolume;
  int32_t& SeVolume;

  // Transition: the sound objects, for the tests that still look inside them; this goes with the
  // engine's old names.
  const std::unique_ptr<SoundObjects>& Objects() const { return objects_; }

 private:
  SoundHost& host_;
  Platform& platform_;
  ErrorList& errors_;
  const std::filesystem::path& gameDir_;
  const std::string recordingFile_;
  bool outputFailed_ = false;
  // Made by CreateSound and released by ReleaseSound together: without them nothing plays.
  std::unique_ptr<SoundObjects> objects_;
  // The recording the device writes to (the device owns it), and why it could not be opened.
  const WavRecorder* recorder_ = nullptr;
  std::string recordingOpenProblem_;
};

}  // namespace mokuren
