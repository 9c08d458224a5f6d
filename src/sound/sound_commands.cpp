// The engine's sound commands: music with cross-fades between streams A and B, the three effect
// positions and the voice, with the sound state a saved game keeps. Loop flags are bytes: a script
// operand of 256 is "once", as its stored low byte says.
#include <string>

#include "base/error_list.h"
#include "base/error_texts.h"
#include "base/text_codec.h"
#include "platform/game_files.h"
#include "sound/sound_files.h"
#include "sound/sound_objects.h"
#include "sound/sound_system.h"

namespace mokuren {

namespace {

// Loads the game's file `name` into the stream. False when the file is missing, or when it exists but
// cannot be played: not a regular file, too large or not decodable (the error list then names it and why: a
// broken file must not take the game down with it).
bool LoadSound(const std::filesystem::path& gameDir, ErrorList& errors, TOggData& stream, const std::string& name,
               bool& missing) {
  std::filesystem::path path = FindGameFile(gameDir, name);
  std::error_code ec;
  missing = !std::filesystem::exists(path, ec);
  if (missing) return false;
  try {
    return stream.LoadFromFile(path);
  } catch (const EOggLoad& e) {
    errors.Add(ShownSoundPath(FromUtf8(name)) + u": " + FromUtf8(e.what()));
    return false;
  }
}

}  // namespace

void SoundSystem::Kumo_PlayBGM(int no, int fadeSeconds, int variant, int loop) {
  if (!objects_) return;
  SoundObjects& s = *objects_;
  // What a save records, even when the music goes on unchanged.
  BgmNo = no;
  BgmLoop = static_cast<uint8_t>(loop);
  // The same track in the same version goes on as it is.
  if (no == s.BgmPlayingNo && static_cast<uint8_t>(variant) == BgmVariant) return;
  BgmVariant = static_cast<uint8_t>(variant);
  s.BgmPlayingNo = no;
  // The two music streams take turns, so the old track can fade out while the new one fades in.
  int oldIndex = s.BgmCurrent;
  int newIndex = oldIndex == stream::MusicA ? stream::MusicB : stream::MusicA;
  s.BgmCurrent = newIndex;
  TOggData& fresh = *s.Streams[static_cast<size_t>(newIndex)];
  TOggData& old = *s.Streams[static_cast<size_t>(oldIndex)];
  // Tracks 1-7 have a second version. Without its file both music slots stop; track 0 is silence.
  std::string name = MusicFileName(no, static_cast<uint8_t>(variant) != 0);
  bool missing = false;
  if (LoadSound(gameDir_, errors_, fresh, name, missing)) {
    s.OggPlayer->AttachStream(newIndex, &fresh, true);
    fresh.SetVolume(0);
    fresh.FadeTo(fadeSeconds, 1.0);
    s.OggPlayer->PlaySlot(newIndex, static_cast<uint8_t>(loop) != 0);
  } else {
    if (missing && no != 0) errors_.Add(error_text::kFileMissing, {{u"file", ShownSoundPath(FromUtf8(name))}});
    s.OggPlayer->StopSlot(oldIndex);
    s.OggPlayer->StopSlot(newIndex);
  }
  // Music volume from the settings.
  s.OggPlayer->SetSlotVolume(stream::MusicA, BgmVolume / 100.0);
  s.OggPlayer->SetSlotVolume(stream::MusicB, BgmVolume / 100.0);
  // The old stream stops itself once it is silent.
  old.FadeTo(fadeSeconds, 0.0);
}

void SoundSystem::Kumo_PlaySE(int position, int no, int loop, int fadeSeconds) {
  if (!objects_) return;
  SoundObjects& s = *objects_;
  // What a save records for the position.
  if (position >= 1 && position <= 3) {
    SeNo[position - 1] = no;
    SeLoop[position - 1] = static_cast<uint8_t>(loop);
  }
  // A position the engine has no stream for (a malformed script) plays nothing.
  if (position < 0 || position > 3) return;
  int slot = stream::EffectSlot(position);
  TOggData& fx = *s.Streams[static_cast<size_t>(stream::EffectSlot(position))];
  // Effect 0 fades the position out.
  if (no == 0) {
    fx.FadeTo(fadeSeconds, 0.0);
    return;
  }
  // Nothing starts while a scene is skipped.
  if (host_.SceneSkipping()) return;
  std::string name = EffectFileName(no);
  bool missing = false;
  bool loaded = LoadSound(gameDir_, errors_, fx, name, missing);
  if (loaded) {
    s.OggPlayer->AttachStream(slot, &fx, true);
    fx.SetVolume(0);
    fx.FadeTo(fadeSeconds, 1.0);
    s.OggPlayer->PlaySlot(slot, static_cast<uint8_t>(loop) != 0);
  } else if (missing) {
    errors_.Add(error_text::kFileMissing, {{u"file", ShownSoundPath(FromUtf8(name))}});
  }
  // Effect volume from the settings.
  for (int k = stream::EffectFirst; k <= stream::EffectSlot(3); ++k) s.OggPlayer->SetSlotVolume(k, SeVolume / 100.0);
  // Without its file, whatever the position's stream still holds fades up to full level.
  if (!loaded) fx.FadeTo(fadeSeconds, 1.0);
}

void SoundSystem::Kumo_PlayVOICE(const std::u16string& path, int repeat) {
  if (!objects_) return;
  SoundObjects& s = *objects_;
  // Any voice stops first; an empty path only stops it.
  s.OggPlayer->StopSlot(stream::Voice);
  if (path.empty()) return;
  // The new voice plays at full level, scaled by the voice volume setting.
  TOggData& voice = *s.Streams[stream::Voice];
  bool missing = false;
  if (LoadSound(gameDir_, errors_, voice, ToUtf8(path), missing)) {
    s.OggPlayer->AttachStream(stream::Voice, &voice, true);
    voice.SetVolume(1.0);
    s.OggPlayer->SetSlotVolume(stream::Voice, VoiceVolume / 100.0);
    s.OggPlayer->PlaySlot(stream::Voice, static_cast<uint8_t>(repeat) != 0);
  } else if (missing) {
    errors_.Add(error_text::kFileMissing, {{u"file", ShownSoundPath(path)}});
  }
}

void SoundSystem::CheckVoiceFile(const std::u16string& path) {
  std::error_code ec;
  if (!path.empty() && !std::filesystem::exists(FindGameFile(gameDir_, ToUtf8(path)), ec))
    errors_.Add(error_text::kFileMissing, {{u"file", ShownSoundPath(path)}});
}

int32_t SoundSystem::TrackPlaying() {
  if (!objects_) return 0;
  // What the mixer plays, so that a track whose file is missing gets no mark; a machine without a
  // sound device still shows the track chosen.
  return objects_->OggPlayer->SlotStatus(objects_->BgmCurrent) > 1 ? objects_->BgmPlayingNo : 0;
}

}  // namespace mokuren
