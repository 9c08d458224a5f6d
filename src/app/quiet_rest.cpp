// How long the main loop may rest when the game only waits for the player. Passes come every 10 ms, but
// while a message, a choice, a menu or an album page waits with no clock of its own running, most passes
// find nothing to do: the backend may then rest until the first frame that shows something new (the
// waiting icon's next turn, the notice going, a character typed), waking at once for input.
#include <algorithm>
#include <cmath>

#include "app/TForm1.h"
#include "app/frame_grid.h"
#include "text/TNameForm.h"
#include "text/waiting_icon.h"

namespace mokuren {

namespace {

// A game with nothing due still takes a pass this often (the timer's sweeps, anything not foreseen).
constexpr uint32_t kLongestRest = 1000;
// The music room's mark follows the music the mixer really plays, which may stop by itself.
constexpr uint32_t kMusicRoomRest = 250;
// The name dialog's timer brings its hint back in steps of 100 ms.
constexpr uint32_t kNameHintStep = 100;

}  // namespace

std::optional<uint32_t> TForm1::QuietUntil() {
  switch (TaskCode) {
    case task::MessageTyping:
    case task::MessageWait:
    case task::SelectWait:
    case task::TitleMenu:
    case task::WaitKey:
    case task::NameEntry:
    case task::AlbumMenu:
    case task::BgmMenu:
    case task::CgMenu:
    case task::Cg:
    case task::EvMenu: break;
    default: return std::nullopt;
  }
  // Anything that runs on the 10 ms timer or on the clock between frames keeps the ordinary rhythm: a
  // held key's lock, auto mode and the skip modes, a movie, and the events file's timed events.
  if (text_.KeyLock > 0 || text_.AutoMode || text_.ReadSkip || text_.SceneSkip || text_.FastForward ||
      text_.SectionSkip || movie_.MoviePlaying() || automation_.Pending())
    return std::nullopt;
  const uint32_t now = platform_.TickCount();
  // The earliest moment something may change without input, as an offset from now.
  uint32_t wait = kLongestRest;
  auto dueAt = [&](uint32_t tick) {
    wait = std::min(wait, static_cast<uint32_t>(std::max<int32_t>(0, static_cast<int32_t>(tick - now))));
  };
  // Typing moves at every frame, and so does a log entry typed again; the waiting icon turns on its clock.
  if (TaskCode == task::MessageTyping || (TaskCode == task::MessageWait && text_.LogView)) dueAt(now);
  if (TaskCode == task::MessageWait && text_.WindowShown && !text_.LogView)
    dueAt(text_.WaitingSince + WaitingIconNextTurn(now - text_.WaitingSince));
  // The notice line goes when the timer has counted its ticks down.
  if (!text_.NoticeText.empty())
    dueAt(loop_.lastTimerTick + 10 * static_cast<uint32_t>(std::max(0, text_.NoticeTimer) + 1));
  if (NameForm->MessageTimer > 1) dueAt(now + kNameHintStep);
  if (TaskCode == task::BgmMenu) dueAt(now + kMusicRoomRest);
  // Shown at the first frame of the grid at or after it.
  double frame = NextFrameTime;
  const double due = static_cast<double>(now) + wait;
  if (due > frame) frame += std::ceil((due - frame) / kFrameInterval) * kFrameInterval;
  return static_cast<uint32_t>(static_cast<int64_t>(std::ceil(frame)));
}

}  // namespace mokuren
