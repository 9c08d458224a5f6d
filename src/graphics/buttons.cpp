// The on-screen buttons: hover and clicks (before the task of each pass) and drawing (frame step).
#include <span>

#include "base/spoken_texts.h"
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
  PassInput& input = host_.Input();
  const bool floating = platform_.FloatVisible();
  const Point p = floating ? input.FloatMousePos : input.MousePos;
  if (host_.TaskCode() != task::MessageWait || !host_.MessageWindowShown() || !ButtonsEnabled) {
    rowShown_ = false;
    return;
  }
  // Each message wait starts with no button chosen, so Enter passes the message until a key chooses one.
  if (!rowShown_) {
    rowShown_ = true;
    rowFocus_.Reset(p);
  }
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
  // Hover lasts only while the button is chosen.
  const auto usable = [&](int k) { return state(k) >= Normal && state(k) <= OnHover; };
  for (int k = 1; k <= button::Count; ++k)
    if (usable(k)) state(k) = on(k) ? On : Normal;
  // The button the pointer was moved onto or the keys chose looks hovered. The row lies along the bottom:
  // Down leaves it, and the first key into it chooses the button a key pressed last.
  const int32_t top = floating ? kFloatRowTop : kMainRowTop;
  std::array<FocusItem, button::Count> items{};
  size_t count = 0;
  for (int k = 1; k <= button::Count; ++k)
    if (usable(k)) items[count++] = {k, {kRowLeft + kButtonWidth * (k - 1), top, kButtonWidth, kButtonHeight}};
  const std::span<const FocusItem> row(items.data(), count);
  FocusMove move = input.Move;
  if (move == FocusMove::Down && rowFocus_.Chosen() != 0) {
    rowFocus_.Choose(0);
    move = FocusMove::None;
  } else if (move != FocusMove::None && rowFocus_.Chosen() == 0 && lastKeyed_ != 0 && usable(lastKeyed_)) {
    rowFocus_.Choose(lastKeyed_);
    move = FocusMove::None;
  }
  const int32_t chosen = rowFocus_.Update(row, p, move);
  if (rowFocus_.TakeChange() && chosen >= button::MusicVariant)
    host_.SpeakFocus(spoken_text::kButtons[static_cast<size_t>(chosen - button::MusicVariant)]);
  if (chosen != 0) state(chosen) = on(chosen) ? OnHover : Hover;
  // A click on a usable button under the pointer latches it and is used up; Enter presses the chosen one
  // and leaves the row, so the next Enter passes the message again.
  int d = 0;
  if (p.y >= top && p.y < top + kButtonHeight) {
    // Truncates toward zero, as x - 96 does; in 64 bits, so a pointer far to the left cannot overflow.
    const int64_t column = (int64_t{p.x} - (kRowLeft - kButtonWidth)) / kButtonWidth;
    if (column >= 1 && column <= button::Count && usable(static_cast<int>(column)) && input.ClickPending) {
      d = static_cast<int>(column);
      ButtonLatch[static_cast<size_t>(d - 1)] = 1;
      input.ClickPending = 0;
    }
  }
  if (d == 0 && chosen != 0 && input.KeyEnter) {
    d = chosen;
    ButtonLatch[static_cast<size_t>(d - 1)] = 1;
    input.KeyEnter = 0;
    lastKeyed_ = chosen;
    rowFocus_.Choose(0);
  }
  if (d == 0) return;
  // Act on the latched button, unless it is disabled. What the button does is the host's; the read-skip
  // and auto buttons then look switched on, the voice button while it plays.
  uint8_t& latch = ButtonLatch[static_cast<size_t>(d - 1)];
  if (!latch || state(d) == Disabled) return;
  latch = 0;
  host_.PressButton(d);
  if (d == button::ReadSkip || d == button::Auto) on(d) = 1;
  if (d == button::Voice) on(d) = host_.VoicePlaying() ? 1 : 0;
}

}  // namespace mokuren
