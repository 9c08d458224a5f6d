// Members of TForm1 for sound: the device, the mixer and its streams, and the engine's sound commands.
// Included inside TForm1's class body.

// Loads the Vorbis binding, creates the player, its seven stream decoders and the mixing wave on
// channel 0 (start-up). Without a sound device the game runs silent.
void CreateSound();
// Releases the mixing wave, the stream decoders, the player and the Vorbis binding (shutdown).
void ReleaseSound();
// Plays what the headless device has due by now and runs its refills on this thread (once per pass).
// The real-time device runs by itself, so this does nothing there.
void PumpSound();
// Applies BgmVolume, SeVolume and VoiceVolume to the player's slot volumes.
void ApplyVolumes();
// SlotStatus of a player slot: 0 or 1 = not playing. Without a working device nothing ever plays, so a
// started voice cannot hold auto mode up.
int SlotStatus(int slot);
void StopSlot(int slot);
// Sets the remembered effect number of each effect channel whose slot has stopped to 0.
void SweepFinishedEffects();
void Kumo_PlayBGM(int no, int fadeSeconds, int variant, int loop);
void Kumo_PlaySE(int position, int no, int loop, int fadeSeconds);
void Kumo_PlayVOICE(const std::u16string& path, int repeat);

// The movie's sound on channel 1: 16-bit interleaved stereo at the given rate, played once.
void PlayMovieSound(const std::vector<int16_t>& stereo, int rate);
void StopMovieSound();
bool MovieSoundPlaying();

// The device, the mixer and its streams (defined in sound/sound_objects.h, which tests include).
struct SoundObjects;
struct SoundObjectsDeleter {
  void operator()(SoundObjects* p) const;
};
std::unique_ptr<SoundObjects, SoundObjectsDeleter> Sound;
