// The on-screen buttons: hover and clicks (before the task of each pass) and drawing (frame step).
#include "base/task_codes.h"
#include "graphics/ABitmapFilters32.h"
#include "graphics/graphics.h"
#include "platform/platform.h"

namespace mokuren {

namespace {

constexpr int32_t kRowLeft = 160, kButtonWidth = 64, kButtonHeight = 20;
constexpr int32_t kMainRowTop = 580, kFloatRowTop = 164;

// Picture of button k (1-10) in state s (0-4).
size_t ButtonSlot(int k, int s) { return static_cast<size_t>(8 + (k - 1) + button::Count * s); }

}  // namespace

void Graphics::EnableButtons() { ButtonsEnabled = 1; }

void Graphics::SetButtonStates(const std::array<int32_t, button::Count>& states) { ButtonState = states; }

void Graphics::Kumo_DrawButton() {
  if (host_.TaskCode() != task::MessageWait || !host_.MessageWindowShown() || !ButtonsEnabled) return;
  const bool floating = platform_.FloatVisible();
  TABitmap& target = floating ? FloatSurface : FrameSurface;
  const int32_t top = floating ? kFloatRowTop : kMainRowTop;
  for (int k = 1; k <= button::Count; ++k) {
    const int32_t s = ButtonState[static_cast<size_t>(k - 1)];
    if (s < button_state::Normal || s > button_state::Disabled) continue;  // hidden
    DrawAlpha(SurfaceTable[ButtonSlot(k, s)], target, kRowLeft + kButtonWidth * (k - 1), top, kButtonWidth,
              kButtonHeight, 0, 0, 255);
  }
}

void Graphics::Kumo_CheckButton() {
  using namespace button_state;
  if (host_.TaskCode() != task::MessageWait || !host_.MessageWindowShown() || !ButtonsEnabled) return;
  auto state = [this](int k) -> int32_t& { return ButtonState[static_cast<size_t>(k - 1)]; };
  auto on = [this](int k) -> uint8_t& { return ButtonOn[static_cast<size_t>(k - 1)]; };
  // The voice button is usable when there is a voice to replay.
  state(button::Voice) = host_.HasVoiceToReplay() ? Normal : Disabled;
  // The read-skip and auto buttons show whether fast-forward and auto mode are on.
  const PlayModes& modes = host_.Modes();
  on(button::ReadSkip) = modes.FastForward;
  on(button::Auto) = modes.AutoMode;
  // The voice button is lit while the voice it started plays.
  if (on(button::Voice) && !host_.VoicePlaying()) on(button::Voice) = 0;
  // Hover lasts only while the pointer is on the button.
  for (int k = 1; k <= button::Count; ++k)
    if (state(k) >= Normal && state(k) <= OnHover) state(k) = on(k) ? On : Normal;
  // Hit test on the row of the window the buttons are in.
  PassInput& input = host_.Input();
  const bool floating = platform_.FloatVisible();
  const Point p = floating ? input.FloatMousePos : input.MousePos;
  const int32_t top = floating ? kFloatRowTop : kMainRowTop;
  if (p.y < top || p.y >= top + kButtonHeight) return;
  // Truncates toward zero, as x - 96 does; in 64 bits, so a pointer far to the left cannot overflow.
  const int64_t column = (int64_t{p.x} - (kRowLeft - kButtonWidth)) / kButtonWidth;
  if (column < 1 || column > button::Count) return;
  const int d = static_cast<int>(column);
  if (state(d) >= Normal && state(d) <= OnHover) {
    state(d) = on(d) ? OnHover : Hover;
    if (input.ClickPending) {
      ButtonLatch[static_cast<size_t>(d - 1)] = 1;
      input.ClickPending = 0;
    }
  }
  // Act on a click latched on the hovered button, unless the button is disabled. What the button does is
  // the host's; the read-skip and auto buttons then look switched on, the voice button while it plays.
  uint8_t& latch = ButtonLatch[static_cast<size_t>(d - 1)];
  if (!latch || state(d) == Disabled) return;
  latch = 0;
  host_.PressButton(d);
  if (d == button::ReadSkip || d == button::Auto) on(d) = 1;
  if (d == button::Voice) on(d) = host_.VoicePlaying() ? 1 : 0;
}

}  // namespace mokuren
