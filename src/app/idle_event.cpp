// The main loop: one pass of IdleEvent, the 10 ms timer and the window's repaint.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/TForm1.h"
#include "app/frame_grid.h"
#include "dialogs/TDebugForm.h"
#include "graphics/ABitmapFilters32.h"
#include "platform/quit_signals.h"
#include "save/TForm7.h"
#include "text/TNameForm.h"
#include "text/engine_texts.h"

namespace mokuren {

namespace {

// How long the notice of a game without sound stays: 6 s in ticks of the 10 ms timer.
constexpr int32_t kNoSoundNoticeTicks = 600;

// Tasks that run at once and wait for nothing: start-up, the script's steps, a title to open, a movie that
// is not playing.
bool RunsAtOnce(int32_t taskCode, bool moviePlaying) {
  switch (taskCode) {
    case task::Init:
    case task::Script:
    case task::TitleMenuOpen: return true;
    case task::WaitMovie: return !moviePlaying;
    default: return false;
  }
}

}  // namespace

void TForm1::IdleEvent() {
  if (close_.terminated) return;
  ++loop_.passes;
  if (loop_.started) automation_.ApplyDueEvents(ElapsedMs());
  if (options_.maxMs && loop_.started && ElapsedMs() >= *options_.maxMs) CloseConfirmed();
  // Logout, shutdown or Ctrl+C: saved and closed without a question.
  if (QuitSignal() != 0) CloseConfirmed();
  if (close_.terminated) return;
  TraceTaskCode();

  // Movie step.
  movie_.MovieFrameStep();
  // Popup menu items and buttons.
  EnableMenuItems();
  // Input.
  text_.Kumo_CheckKeyPush();
  graphics_.Kumo_CheckButton();
  TraceTaskCode();
  // Dispatch: at most one handler per pass.
  switch (TaskCode) {
    case task::Init: Kumo_TaskInit(); break;
    case task::Script: script_.Kumo_TaskScript(); break;
    case task::Effect01: graphics_.Kumo_DispEffect_01(); break;
    case task::Effect91: graphics_.Kumo_DispEffect_91(); break;
    case task::MessageWait: text_.Kumo_WaitMessage(); break;
    case task::SelectWait: text_.Kumo_WaitSelect(); break;
    case task::TitleMenuOpen: title_.Kumo_DispTitleMenu(); break;
    case task::TitleMenu: title_.Kumo_WaitTitleMenu(); break;
    case task::AlbumMenuOpen: album_.Kumo_DispAlbumMenu(); break;
    case task::AlbumMenu: album_.Kumo_WaitAlbumMenu(); break;
    case task::BgmMenuOpen: album_.Kumo_DispBgmMenu(); break;
    case task::BgmMenu: album_.Kumo_WaitBgmMenu(); break;
    case task::CgMenuOpen: album_.Kumo_DispCgMenu(); break;
    case task::CgMenu: album_.Kumo_WaitCgMenu(); break;
    case task::CgOpen: album_.Kumo_DispCg(); break;
    case task::Cg: album_.Kumo_WaitCg(); break;
    case task::EvMenuOpen: album_.Kumo_DispEvMenu(); break;
    case task::EvMenu: album_.Kumo_WaitEvMenu(); break;
    case task::Restore: save_.Kumo_RestoreGame(); break;
    case task::Wait: script_.Kumo_Wait(); break;
    case task::WaitKey: script_.Kumo_WaitKey(); break;
    case task::WaitMovie: movie_.Kumo_WaitMovie(); break;
    case task::WaitMovieAlbum: movie_.Kumo_WaitMovieAlbum(); break;
    case task::MessageTyping: break;  // the frame step types the message
    case task::NameEntry: break;      // the name dialog ends it
    default: title_.LeaveUnknownTask(); break;
  }
  TraceTaskCode();
  if (close_.terminated) return;
  // Status lines of the debug window.
  DebugForm->Kumo_Debug();
  // Frame: while a scene is skipped only the typing goes on, nothing is rendered.
  if (text_.SceneSkip) {
    text_.Kumo_DrawMessage();
  } else if (static_cast<double>(platform_.TickCount()) >= NextFrameTime) {
    ComposeFrame();
  }
  TraceTaskCode();
  // Rest, letting the windows have their turn, then the timer.
  const std::optional<uint32_t> quietUntil = QuietUntil();
  // Resting past the next frame passes over frames that would show nothing new (typing, which moves at
  // every frame, never rests past it, so late frames of it are still caught up one a pass).
  const bool passesFrames =
      quietUntil && *quietUntil != static_cast<uint32_t>(static_cast<int64_t>(std::ceil(NextFrameTime)));
  // Start-up (the script's first steps, a movie that is not there, the title's pictures) waits for nothing:
  // until the game first waits, a window takes the next pass at once and the first picture comes sooner.
  // The headless clock keeps its 10 ms a pass, so every run there stays as it was.
  if (!loop_.settled && !RunsAtOnce(TaskCode, movie_.MoviePlaying())) {
    loop_.settled = true;
    // Start-up's pictures not loaded by now are not needed soon: they are loaded again when they are.
    graphics_.SystemPicturesAhead.Drop();
    // A player who started the game from a menu sees no standard error: the silence is told on screen.
    if (sound_.OutputFailed()) {
      text_.NoticeText = text_.EngineText(kNoSoundNotice);
      text_.NoticeTimer = kNoSoundNoticeTicks;
      text_.SpeakShown(text_.NoticeText);
    }
  }
  const uint32_t rested = platform_.Rest(loop_.settled || platform_.Headless() ? 10 : 0, quietUntil);
  // The next frame is then the grid's last one by now, not a burst of the ones passed.
  if (passesFrames && rested > 10) {
    const double now = platform_.TickCount();
    if (now >= NextFrameTime + kFrameInterval)
      NextFrameTime += std::floor((now - NextFrameTime) / kFrameInterval) * kFrameInterval;
  }
  sound_.PumpSound();
  FireDelayTimer(rested > 10 ? rested - 10 : 0);
  save_.SaveLoadForm->Timer1Timer();
  if (save_.SaveLoadForm->Visible && save_.SaveLoadForm->TakePictureChange()) platform_.FormChanged(FormId::TForm7);
  TraceTaskCode();
}

void TForm1::ComposeFrame() {
  mainRecorder_.Begin();
  floatRecorder_.Begin();
  // Scene, then the movie over it while one plays.
  CopyOpaque(graphics_.DisplaySurface, graphics_.FrameSurface, 0, 0);
  if (movie_.MoviePlaying()) movie_.DrawMovieFrame(graphics_.FrameSurface);
  // Background of the floating message window.
  CopyOpaque(graphics_.SurfaceTable[7], graphics_.FloatSurface, 0, 0);
  // Each draws only while its own task is active.
  text_.Kumo_DrawMessage();
  text_.Kumo_DrawSelect();
  graphics_.Kumo_DrawButton();
  title_.Kumo_DrawTitleMenu();
  album_.Kumo_DrawAlbumMenu();
  album_.Kumo_DrawBgmMenu();
  album_.Kumo_DrawCgMenu();
  album_.Kumo_DrawEvMenu();
  if (!text_.NoticeText.empty()) text_.DrawNotice(graphics_.FrameSurface);
  // The dismissed message's empty window frame stays on screen.
  if (text_.MessageDone && !platform_.FloatVisible()) graphics_.DrawMessageFrame();
  // Onto both windows, where they changed.
  if (const Rect changed = mainRecorder_.End(); !changed.Empty())
    platform_.PaintMainArea(graphics_.FrameSurface, changed);
  if (const Rect changed = floatRecorder_.End(); !changed.Empty())
    platform_.PaintFloatArea(graphics_.FloatSurface, changed);
  ++loop_.frames;
  // The next frame is due one grid step later, however late this one was.
  NextFrameTime += kFrameInterval;
}

void TForm1::EnableMenuItems() {
  static constexpr MenuItem kPlayItems[] = {MenuItem::menuKSkip,  MenuItem::menuSSkip, MenuItem::menuAuto,
                                            MenuItem::menuWindow, MenuItem::menuFloat, MenuItem::menuSave,
                                            MenuItem::menuLoad};
  if (TaskCode == task::MessageWait || TaskCode == task::SelectWait) {
    for (MenuItem item : kPlayItems) platform_.SetMenuEnabled(item, text_.SystemMenuAllowed != 0);
    // The music variant, quick save and load, and the save and load screens; a replay cannot save or load.
    static constexpr int kSaveButtons[] = {button::QuickSave, button::QuickLoad, button::SaveScreen,
                                           button::LoadScreen};
    static constexpr int kPlayButtons[] = {button::MusicVariant, button::QuickSave, button::QuickLoad,
                                           button::SaveScreen, button::LoadScreen};
    if (script_.NormalPlay == 1) {
      if (text_.SystemMenuAllowed) {
        for (int k : kPlayButtons) graphics_.ButtonState[k - 1] = button_state::Normal;
      }
      platform_.SetMenuEnabled(MenuItem::menuSave, text_.SystemMenuAllowed != 0);
      platform_.SetMenuEnabled(MenuItem::menuLoad, text_.SystemMenuAllowed != 0);
    } else {
      graphics_.ButtonState[button::MusicVariant - 1] = button_state::Normal;
      for (int k : kSaveButtons) graphics_.ButtonState[k - 1] = button_state::Disabled;
      platform_.SetMenuEnabled(MenuItem::menuSave, false);
      platform_.SetMenuEnabled(MenuItem::menuLoad, false);
    }
  } else {
    for (MenuItem item : kPlayItems) platform_.SetMenuEnabled(item, false);
  }
}

void TForm1::FireDelayTimer(uint32_t extraRest) {
  // Like a window timer, it does not catch up: a stall gives one tick, not a burst. A longer rest the loop
  // chose (a quiet game resting until its next frame) is no stall: its ticks come now.
  const uint32_t now = platform_.TickCount();
  uint32_t& last = loop_.lastTimerTick;
  if (now - last < 10) return;
  const uint32_t ticks = std::min(1 + extraRest / 10, (now - last) / 10);
  last = ticks > 1 ? last + ticks * 10 : now;
  for (uint32_t i = 0; i < ticks; ++i) DelayTimerTimer();
}

void TForm1::DelayTimerTimer() {
  ++DelayTicks;
  if (text_.KeyLock > 0) --text_.KeyLock;
  // Auto mode counts only the time while the voice slot is not playing.
  if (sound_.SlotStatus(stream::Voice) <= 1) text_.AutoElapsed += 10;
  // The notice line disappears when its time runs out.
  if (--text_.NoticeTimer < 0) {
    text_.NoticeTimer = 0;
    text_.NoticeText.clear();
  }
  // Every half second, effect channels that went quiet forget their effect, so a save does not restart it.
  if (DelayTicks % 50 == 0) sound_.SweepFinishedEffects();
  // The name dialog's 100 ms timer, which brings its hint back after a refusal.
  if (DelayTicks % 10 == 0 && NameForm->Timer1Timer()) platform_.FormChanged(FormId::TNameForm);
}

void TForm1::FormPaint() { platform_.PaintMain(graphics_.FrameSurface); }

}  // namespace mokuren
