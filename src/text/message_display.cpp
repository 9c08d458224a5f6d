// The message window: layout and rendering of one message, typing it out (TaskCode 0x6001) and waiting
// for the player (0x6002).
#include <algorithm>
#include <array>

#include "app/TForm1.h"
#include "graphics/ABitmapFilters32.h"
#include "text/game_translation.h"
#include "text/message_layout.h"
#include "text/text_layers.h"

namespace mokuren {

namespace {

constexpr int32_t kWindowTop = kMessageWindowTop;
constexpr int32_t kWindowWidth = kMessageWindowWidth;
constexpr int32_t kWindowHeight = kMessageWindowHeight;
constexpr int32_t kCell = kCharacterCell;
constexpr int32_t kTextX = kMessageTextLeft;
constexpr int32_t kLineTops[4] = {10, 50, 90, 130};
constexpr int32_t kShadowOffset = 2;
constexpr int kTextLayer = 58;
constexpr int kShadowLayer = 59;
constexpr int kWindowFrame = 6;
constexpr int kSystemSheet = 92;

}  // namespace

std::u16string TForm1::MessageText(int32_t n) const {
  if (n < 0 || static_cast<size_t>(n) >= MessageTexts.size()) return {};
  return MessageTexts[static_cast<size_t>(n)];
}

void TForm1::Kumo_MakeMessage(const std::u16string& text) {
  // Name substitution, speaker and line breaking: the translation's layout when the text has one.
  const TranslatedMessage* translated = Translation ? Translation->LayOut(text, HeroName) : nullptr;
  if (translated)
    MessageLines = {translated->speaker.text, translated->lines[0].text, translated->lines[1].text,
                    translated->lines[2].text};
  else
    MessageLines = LayoutMessage(text, HeroName, LineStartForbidden, LineEndForbidden);
  // Scene skip lays messages out but never shows them.
  if (SceneSkip) return;
  // The colour sheets, one colour per row: the name band orange and the lines white, or all grey
  // in the log; the shadow black.
  std::array<Rgb, kWindowHeight> colours;
  std::array<Rgb, kWindowHeight> black{};
  for (int32_t y = 0; y < kWindowHeight; ++y)
    colours[static_cast<size_t>(y)] = LogView ? Rgb{192, 192, 192} : y < 50 ? Rgb{255, 192, 96} : Rgb{255, 255, 255};
  // The mask: the four lines in white (through the Japanese code page) at (32, 10 + 40 n). The
  // text layer's transparency is 255 minus the coverage; the shadow is the same mask two pixels down
  // and to the right.
  int32_t xs[4], ys[4];
  for (int i = 0; i < 4; ++i) {
    xs[i] = kTextX;
    ys[i] = kLineTops[i];
  }
  DrawTextCoverage(kWindowWidth, kWindowHeight, translated ? nullptr : MessageLines.data(), xs, ys, translated ? 0 : 4,
                   kCell);
  if (translated) {
    Translation->Draw(*TextCoverage, translated->speaker, kLineTops[0]);
    for (int i = 0; i < kMessageLineCount; ++i)
      Translation->Draw(*TextCoverage, translated->lines[static_cast<size_t>(i)], kLineTops[i + 1]);
  }
  BuildTextLayer(*TextCoverage, 0, 0, colours, SurfaceTable[kTextLayer]);
  BuildTextLayer(*TextCoverage, kShadowOffset, kShadowOffset, black, SurfaceTable[kShadowLayer]);
}

void TForm1::Kumo_DrawMessage() {
  if (TaskCode == task::MessageTyping) {
    DrawMessageTyping();
  } else if (TaskCode == task::MessageWait) {
    if (!SceneSkip && WindowShown) DrawMessageWaiting();
  }
}

void TForm1::DrawMessageBand(int32_t top, int32_t shadowRows, int32_t textRows, int32_t shadowWidth,
                             int32_t textWidth) {
  const TABitmap& shadow = SurfaceTable[kShadowLayer];
  const TABitmap& text = SurfaceTable[kTextLayer];
  if (!platform().FloatVisible()) {
    DrawAlpha(shadow, FrameSurface, 0, kWindowTop + top, shadowWidth, shadowRows, 0, top, 255);
    DrawAlpha(text, FrameSurface, 0, kWindowTop + top, textWidth, textRows, 0, top, 255);
  }
  DrawAlpha(shadow, FloatSurface, 0, top, shadowWidth, shadowRows, 0, top, 255);
  DrawAlpha(text, FloatSurface, 0, top, textWidth, textRows, 0, top, 255);
}

void TForm1::DrawMessageTyping() {
  // Scene skip shows nothing and goes straight to the wait.
  if (SceneSkip) {
    TaskCode = task::MessageWait;
    return;
  }
  // Show everything at once.
  if (KeyEnter || KeyCtrl || FastForward || ClickPending) RevealCount = 255;
  if (MessageSpeed == 1) RevealCount = 255;
  // The window frame, on the main window unless the message window floats.
  if (!platform().FloatVisible())
    DrawAlpha(SurfaceTable[kWindowFrame], FrameSurface, 0, kWindowTop, kWindowWidth, kWindowHeight, 0, 0, 255);
  if (!DrawTypedPart()) return;
  // All typed. The key or click that completed the typing is used up here and does not also advance.
  DrawMessageBand(0, kWindowHeight, kWindowHeight, kWindowWidth, kWindowWidth);
  if (KeyEnter) KeyLock = kKeyLockPasses;
  KeyEnter = 0;
  ClickPending = 0;
  AutoElapsed = 0;
  TaskCode = task::MessageWait;
}

bool TForm1::DrawTypedPart() {
  // One more character.
  ++RevealCount;
  const TranslatedMessage* translated = Translation ? Translation->Current() : nullptr;
  auto length = [&](int n) {
    return static_cast<int32_t>(translated ? translated->lines[static_cast<size_t>(n - 1)].Length()
                                           : MessageLines[static_cast<size_t>(n)].size());
  };
  const int32_t l1 = length(1), l2 = length(2), l3 = length(3);
  // The band being typed is clipped to 28 pixels per character typed (plus the text origin), or to the
  // edge of the characters typed in a translation.
  auto typedBand = [&](int32_t fullRows, int32_t top, int32_t shadowRows, int32_t typed) {
    const int n = top == 50 ? 0 : top == 90 ? 1 : 2;
    const int32_t edge = translated ? translated->lines[static_cast<size_t>(n)].RevealEdge(static_cast<size_t>(typed))
                                    : kCell * typed + kTextX;
    DrawMessageBand(0, fullRows, fullRows, kWindowWidth, kWindowWidth);
    DrawMessageBand(top, shadowRows, 40, edge + kShadowOffset, edge);
    // Holds the whole main loop, as the slow speed always has.
    if (MessageSpeed == 3) platform().Sleep(100);
    return false;
  };
  if (RevealCount <= l1) return typedBand(50, 50, 40, RevealCount);
  if (RevealCount <= l1 + l2) return typedBand(90, 90, 42, RevealCount - l1);
  if (RevealCount <= l1 + l2 + l3) return typedBand(130, 130, 42, RevealCount - l1 - l2);
  return true;
}

void TForm1::DrawMessageWaiting() {
  if (!platform().FloatVisible())
    DrawAlpha(SurfaceTable[kWindowFrame], FrameSurface, 0, kWindowTop, kWindowWidth, kWindowHeight, 0, 0, 255);
  // An entry of the log is typed again at the message speed; the player may page on before it is done.
  if (LogView && RevealCount <= TypedLength()) {
    if (MessageSpeed == 1) RevealCount = 255;
    if (!DrawTypedPart()) return;
  }
  // The window with its whole text.
  DrawMessageBand(0, kWindowHeight, kWindowHeight, kWindowWidth, kWindowWidth);
  // The waiting icon, except while the log is viewed.
  if (!LogView) DrawWaitingIcon();
}

int32_t TForm1::TypedLength() const {
  if (const TranslatedMessage* translated = Translation ? Translation->Current() : nullptr)
    return static_cast<int32_t>(translated->TypedLength());
  return static_cast<int32_t>(MessageLines[1].size() + MessageLines[2].size() + MessageLines[3].size());
}

void TForm1::DrawWaitingIcon() {
  // Eight 32x32 frames side by side at y = 32 of the system sheet, 55 ms each. The frame's top-left
  // pixel colour is its transparent colour.
  const TABitmap& sheet = SurfaceTable[kSystemSheet];
  const int32_t f = static_cast<int32_t>((platform().TickCount() / 55) % 8);
  const int32_t sx = 32 * f, sy = 32;
  if (sx + 32 > sheet.Width() || sy + 32 > sheet.Height()) return;
  if (!platform().FloatVisible()) DrawKeyed(sheet, FrameSurface, 752, 552, 32, 32, sx, sy);
  DrawKeyed(sheet, FloatSurface, 752, 136, 32, 32, sx, sy);
}

void TForm1::Kumo_WaitMessage() {
  // The context menu is attached whenever the script allows it: FormMouseDown checks the same flag.
  // A hidden window waits for Space only.
  if (!WindowShown) {
    if (KeySpace) {
      WindowShown = 1;
      KeyLock = kKeyLockPasses;
      KeyEnter = 0;
      ClickPending = 0;
    }
    return;
  }
  // In the log view, Enter or a click returns to the current message.
  if (LogView && (KeyEnter || ClickPending)) {
    LeaveMsgLogView();
    return;
  }
  // Advance by hand (Enter, Ctrl, fast-forward, a click), or in auto mode once its delay has passed.
  const bool manual = KeyEnter || KeyCtrl || FastForward || ClickPending;
  // In 64 bits: AutoDelay comes from SAVE.DAT, and a damaged file may hold any number there.
  const bool automatic = AutoMode && int64_t{AutoDelay} * 1000 + 500 < AutoElapsed;
  if (manual || automatic) {
    // A manual advance ends auto mode.
    if (manual) AutoMode = 0;
    // The voice-replay button goes back to disabled.
    ButtonState[button::Voice - 1] = button_state::Disabled;
    ButtonOn[button::Voice - 1] = 0;
    LogView = 0;
    TaskCode = task::Script;
    // A held Enter waits out the key lock before it acts again.
    if (KeyEnter) KeyLock = kKeyLockPasses;
    // The log keeps the raw text: the hero's name is substituted when it is shown.
    Kumo_AddMsgLog(MessageText(CurrentMessage), CurrentVoice);
    // The input is used up; the empty window frame stays on screen until the next message.
    KeyEnter = 0;
    ClickPending = 0;
    MessageDone = 1;
  } else if (KeySpace) {
    // Space hides the window and ends auto mode.
    AutoMode = 0;
    WindowShown = 0;
    KeyLock = kKeyLockPasses;
  } else {
    // Otherwise the log keys page through the message log.
    BrowseMsgLog();
  }
}

}  // namespace mokuren
