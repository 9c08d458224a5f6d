#include "app/movie_link.h"

#include "app/TForm1.h"

namespace mokuren {

void MovieLink::PlayMovieSound(std::unique_ptr<PcmSource> sound, int rate) {
  form_.Audio().PlayMovieSound(std::move(sound), rate);
}

void MovieLink::StopMovieSound() { form_.Audio().StopMovieSound(); }

bool MovieLink::MovieSoundPlaying() { return form_.Audio().MovieSoundPlaying(); }

void MovieLink::StopMusic() {
  SoundSystem& sound = form_.Audio();
  sound.Kumo_PlayBGM(0, 0, sound.BgmVariant, 0);
}

void MovieLink::SetTaskCode(int32_t taskCode) { form_.TaskCode = taskCode; }

bool MovieLink::SkipPressed() { return form_.Text().KeyEnter || form_.Text().KeyCtrl || form_.Text().ClickPending; }

void MovieLink::DropPendingClick() { form_.Text().ClickPending = 0; }

}  // namespace mokuren
