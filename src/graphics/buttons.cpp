// The on-screen buttons: hover and clicks (before the task of each pass) and drawing (frame step).
#include "app/TForm1.h"
#include "graphics/ABitmapFilters32.h"
#include "sound/sound_files.h"

namespace mokuren {

namespace {

constexpr int32_t kRowLeft = 160, kButtonWidth = 64, kButtonHeight = 20;
constexpr int32_t kMainRowTop = 580, kFloatRowTop = 164;

// Picture of button k (1-10) in state s (0-4).
size_t ButtonSlot(int k, int s) { return static_cast<size_t>(8 + (k - 1) + button::Count * s); }

}  // namespace

void TForm1::EnableButtons() { ButtonsEnabled = 1; }

void TForm1::SetButtonStates(const std::array<int32_t, button::Count>& states) { ButtonState = states; }

void TForm1::Kumo_DrawButton() {
  if (TaskCode != task::MessageWait || !WindowShown || !ButtonsEnabled) return;
  const bool floating = platform().FloatVisible();
  TABitmap& target = floating ? FloatSurface : FrameSurface;
  const int32_t top = floating ? kFloatRowTop : kMainRowTop;
  for (int k = 1; k <= button::Count; ++k) {
    const int32_t s = ButtonState[static_cast<size_t>(k - 1)];
    if (s < button_state::Normal || s > button_state::Disabled) continue;  // hidden
    DrawAlpha(SurfaceTable[ButtonSlot(k, s)], target, kRowLeft + kButtonWidth * (k - 1), top, kButtonWidth,
              kButtonHeight, 0, 0, 255);
  }
}

void TForm1::Kumo_CheckButton() {
  using namespace button_state;
  if (TaskCode != task::MessageWait || !WindowShown || !ButtonsEnabled) return;
  auto state = [this](int k) -> int32_t& { return ButtonState[static_cast<size_t>(k - 1)]; };
  auto on = [this](int k) -> uint8_t& { return ButtonOn[static_cast<size_t>(k - 1)]; };
  const bool voiceKnown = CurrentVoice >= 0 && static_cast<size_t>(CurrentVoice) < ResourceNameArray.size();
  // The voice button is usable when there is a voice to replay.
  if (LogView) {
    state(button::Voice) = ViewedLogVoicePath && !ViewedLogVoicePath().empty() ? Normal : Disabled;
  } else {
    state(button::Voice) = voiceKnown ? Normal : Disabled;
  }
  // The read-skip and auto buttons show whether fast-forward and auto mode are on.
  on(button::ReadSkip) = FastForward;
  on(button::Auto) = AutoMode;
  // Hover lasts only while the pointer is on the button.
  for (int k = 1; k <= button::Count; ++k)
    if (state(k) >= Normal && state(k) <= OnHover) state(k) = on(k) ? On : Normal;
  // Hit test on the row of the window the buttons are in.
  const bool floating = platform().FloatVisible();
  const Point p = floating ? FloatMousePos : MousePos;
  const int32_t top = floating ? kFloatRowTop : kMainRowTop;
  if (p.y < top || p.y >= top + kButtonHeight) return;
  // Truncates toward zero, as x - 96 does; in 64 bits, so a pointer far to the left cannot overflow.
  const int64_t column = (int64_t{p.x} - (kRowLeft - kButtonWidth)) / kButtonWidth;
  if (column < 1 || column > button::Count) return;
  const int d = static_cast<int>(column);
  if (state(d) >= Normal && state(d) <= OnHover) {
    state(d) = on(d) ? OnHover : Hover;
    if (ClickPending) {
      ButtonLatch[static_cast<size_t>(d - 1)] = 1;
      ClickPending = 0;
    }
  }
  // Act on a click latched on the hovered button, unless the button is disabled.
  uint8_t& latch = ButtonLatch[static_cast<size_t>(d - 1)];
  if (!latch || state(d) == Disabled) return;
  latch = 0;
  SaveRecord& live = Block->Live;
  switch (d) {
    case button::MusicVariant: Kumo_PlayBGM(live.BgmNo, 1, live.BgmVariant ? 0 : 1, live.BgmLoop); break;
    case button::Voice:
      if (LogView) {
        if (ViewedLogVoicePath) Kumo_PlayVOICE(ViewedLogVoicePath(), 1);
      } else if (voiceKnown) {
        Kumo_PlayVOICE(VoiceFileName(ResourceNameArray[static_cast<size_t>(CurrentVoice)]), 1);
      }
      on(button::Voice) = 1;
      break;
    case button::QuickSave: QuickSave(); break;
    case button::QuickLoad: QuickLoad(); break;
    case button::SaveScreen: ShowSaveLoadScreen(0); break;
    case button::LoadScreen: ShowSaveLoadScreen(1); break;
    case button::ReadSkip:
      ReadSkip = 1;
      on(button::ReadSkip) = 1;
      break;
    case button::Auto:
      AutoMode = 1;
      on(button::Auto) = 1;
      if (LoopingVoice) {
        StopSlot(stream::Voice);
        LoopingVoice = 0;
      }
      break;
    default: break;
  }
}

}  // namespace mokuren
