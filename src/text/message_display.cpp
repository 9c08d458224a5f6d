// The message window: layout and rendering of one message, typing it out (TaskCode 0x6001) and waiting
// for the player (0x6002).
#include <algorithm>
#include <array>

#include "base/task_codes.h"
#include "graphics/ABitmapFilters32.h"
#include "text/game_translation.h"
#include "text/message_layout.h"
#include "text/message_window.h"
#include "text/text_layers.h"
#include "text/waiting_icon.h"

namespace mokuren {

namespace {

constexpr int32_t kWindowTop = kMessageWindowTop;
constexpr int32_t kWindowWidth = kMessageWindowWidth;
constexpr int32_t kWindowHeight = kMessageWindowHeight;
constexpr int32_t kCell = kCharacterCell;
constexpr int32_t kTextX = kMessageTextLeft;
constexpr int32_t kLineTops[4] = {10, 50, 90, 130};
constexpr int32_t kShadowOffset = 2;

}  // namespace

std::u16string MessageWindow::MessageText(int32_t n) {
  const std::vector<std::u16string>& texts = host_.MessageTexts();
  if (n < 0 || static_cast<size_t>(n) >= texts.size()) return {};
  return texts[static_cast<size_t>(n)];
}

void MessageWindow::NoteMessage(int32_t message, int32_t voice, bool repeatVoice) {
  CurrentMessage = message;
  CurrentVoice = voice;
  VoiceRepeat = repeatVoice ? 1 : 0;
  if (repeatVoice) LoopingVoice = 1;
}

void MessageWindow::NoteChoice(int32_t message, int32_t voice) {
  CurrentMessage = message;
  CurrentVoice = voice;
}

void MessageWindow::OpenMessageWindow() {
  // ChoiceActive 0 tells the message wait that the entry on screen is a message.
  WindowShown = 1;
  ChoiceActive = 0;
  LogView = 0;
  RevealCount = 0;
}

std::u16string MessageWindow::Kumo_MakeMessage(const std::u16string& text) {
  // Name substitution, speaker and line breaking: the translation's layout when the text has one.
  const TranslatedMessage* translated = translation_->LayOut(text, HeroName);
  std::u16string cut;
  if (translated)
    MessageLines = {translated->speaker.text, translated->lines[0].text, translated->lines[1].text,
                    translated->lines[2].text};
  else
    MessageLines = LayoutMessage(text, HeroName, LineStartForbidden, LineEndForbidden, &cut);
  // Scene skip lays messages out but never shows them.
  if (SceneSkip) return cut;
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
  canvas_.DrawTextCoverage(textCoverage_, kWindowWidth, kWindowHeight, translated ? nullptr : MessageLines.data(), xs,
                           ys, translated ? 0 : 4, kCell);
  if (translated) {
    translation_->Draw(textCoverage_, translated->speaker, kLineTops[0]);
    for (int i = 0; i < kMessageLineCount; ++i)
      translation_->Draw(textCoverage_, translated->lines[static_cast<size_t>(i)], kLineTops[i + 1]);
  }
  BuildTextLayer(textCoverage_, 0, 0, colours, host_.MessageTextLayer());
  BuildTextLayer(textCoverage_, kShadowOffset, kShadowOffset, black, host_.MessageShadowLayer());
  return cut;
}

void MessageWindow::Kumo_DrawMessage() {
  if (host_.TaskCode() == task::MessageTyping) {
    DrawMessageTyping();
  } else if (host_.TaskCode() == task::MessageWait) {
    if (!SceneSkip && WindowShown) DrawMessageWaiting();
  }
}

void MessageWindow::DrawMessageBand(int32_t top, int32_t shadowRows, int32_t textRows, int32_t shadowWidth,
                                    int32_t textWidth) {
  const TABitmap& shadow = host_.MessageShadowLayer();
  const TABitmap& text = host_.MessageTextLayer();
  if (!platform_.FloatVisible()) {
    TABitmap& frame = host_.Frame();
    DrawAlpha(shadow, frame, 0, kWindowTop + top, shadowWidth, shadowRows, 0, top, 255);
    DrawAlpha(text, frame, 0, kWindowTop + top, textWidth, textRows, 0, top, 255);
  }
  TABitmap& floating = host_.FloatFrame();
  DrawAlpha(shadow, floating, 0, top, shadowWidth, shadowRows, 0, top, 255);
  DrawAlpha(text, floating, 0, top, textWidth, textRows, 0, top, 255);
}

void MessageWindow::DrawMessageTyping() {
  // Scene skip shows nothing and goes straight to the wait.
  if (SceneSkip) {
    host_.SetTaskCode(task::MessageWait);
    return;
  }
  // Show everything at once.
  if (KeyEnter || KeyCtrl || FastForward || ClickPending) RevealCount = 255;
  if (MessageSpeed == 1) RevealCount = 255;
  // The window frame, on the main window unless the message window floats.
  if (!platform_.FloatVisible())
    DrawAlpha(host_.MessageFrame(), host_.Frame(), 0, kWindowTop, kWindowWidth, kWindowHeight, 0, 0, 255);
  if (!DrawTypedPart()) return;
  // All typed. The key or click that completed the typing is used up here and does not also advance.
  DrawMessageBand(0, kWindowHeight, kWindowHeight, kWindowWidth, kWindowWidth);
  if (KeyEnter) KeyLock = kKeyLockPasses;
  KeyEnter = 0;
  ClickPending = 0;
  AutoElapsed = 0;
  host_.SetTaskCode(task::MessageWait);
  StartWaiting();
}

void MessageWindow::StartWaiting() {
  WaitingSince = platform_.TickCount();
  host_.StartFramesNow();
}

bool MessageWindow::DrawTypedPart() {
  // One more character.
  ++RevealCount;
  const TranslatedMessage* translated = translation_->Current();
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
    if (MessageSpeed == 3) platform_.Sleep(100);
    return false;
  };
  if (RevealCount <= l1) return typedBand(50, 50, 40, RevealCount);
  if (RevealCount <= l1 + l2) return typedBand(90, 90, 42, RevealCount - l1);
  if (RevealCount <= l1 + l2 + l3) return typedBand(130, 130, 42, RevealCount - l1 - l2);
  return true;
}

void MessageWindow::DrawMessageWaiting() {
  if (!platform_.FloatVisible())
    DrawAlpha(host_.MessageFrame(), host_.Frame(), 0, kWindowTop, kWindowWidth, kWindowHeight, 0, 0, 255);
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

int32_t MessageWindow::TypedLength() const {
  if (const TranslatedMessage* translated = translation_->Current())
    return static_cast<int32_t>(translated->TypedLength());
  return static_cast<int32_t>(MessageLines[1].size() + MessageLines[2].size() + MessageLines[3].size());
}

void MessageWindow::DrawWaitingIcon() {
  // Eight 32x32 frames side by side at y = 32 of the system sheet (waiting_icon.h). The frame's top-left
  // pixel colour is its transparent colour.
  const TABitmap& sheet = host_.SystemSheet();
  const int32_t f = WaitingIconFrame(platform_.TickCount() - WaitingSince);
  const int32_t sx = 32 * f, sy = 32;
  if (sx + 32 > sheet.Width() || sy + 32 > sheet.Height()) return;
  if (!platform_.FloatVisible()) DrawKeyed(sheet, host_.Frame(), 752, 552, 32, 32, sx, sy);
  DrawKeyed(sheet, host_.FloatFrame(), 752, 136, 32, 32, sx, sy);
}

void MessageWindow::Kumo_WaitMessage() {
  // The context menu is attached whenever the script allows it: FormMouseDown checks the same flag.
  // A hidden window waits for Space only; a click or key meanwhile is dropped, not kept for later.
  if (!WindowShown) {
    KeyEnter = 0;
    ClickPending = 0;
    if (KeySpace) {
      WindowShown = 1;
      KeyLock = kKeyLockPasses;
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
    host_.DisableVoiceButton();
    LogView = 0;
    host_.SetTaskCode(task::Script);
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

bool MessageWindow::MessageTakesClick() const {
  return host_.TaskCode() == task::MessageWait && WindowShown && !LogView && KeyLock == 0;
}

}  // namespace mokuren
