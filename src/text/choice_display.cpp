// Choices: up to nine centred lines over the scene, the one under the mouse highlighted; a click or
// Enter writes the chosen number into WorkVars[1] and lets the script go on (TaskCode 0x6802).
#include <algorithm>
#include <array>
#include <span>
#include <string>

#include "base/spoken_texts.h"
#include "base/task_codes.h"
#include "base/text_codec.h"
#include "graphics/ABitmapFilters32.h"
#include "text/game_translation.h"
#include "text/message_layout.h"
#include "text/message_window.h"
#include "text/text_layers.h"

namespace mokuren {

namespace {

constexpr int32_t kLineWidth = kChoiceBandWidth;
constexpr int32_t kLineHeight = 40;
constexpr int32_t kLinePitch = 60;

}  // namespace

void MessageWindow::Kumo_MakeSelect(const std::u16string& text) {
  // The text split into its choices, each as the player's language shows it.
  ChoiceTexts = {};
  const std::vector<GameTranslation::ShownChoice> choices =
      translation_->Choices(host_.ScriptNumber(), CurrentMessage, text);
  ChoiceCount = static_cast<int32_t>(std::min(choices.size(), ChoiceTexts.size()));
  for (int32_t i = 0; i < ChoiceCount; ++i) ChoiceTexts[static_cast<size_t>(i)] = choices[static_cast<size_t>(i)].text;
  // Each line centred as if every character were 28 pixels wide; no name substitution, no speaker. White text
  // over its black shadow two pixels down and to the right.
  std::array<Rgb, kLineHeight> white;
  white.fill(Rgb{255, 255, 255});
  std::array<Rgb, kLineHeight> black{};
  for (int32_t i = 1; i <= ChoiceCount; ++i) {
    const std::u16string& line = ChoiceTexts[static_cast<size_t>(i - 1)];
    const int32_t x = ChoiceTextLeft(line.size());
    const int32_t y = 6;
    const std::optional<TranslatedChoice>& translated = choices[static_cast<size_t>(i - 1)].layout;
    canvas_.DrawTextCoverage(textCoverage_, kLineWidth, kLineHeight, &line, &x, &y, translated ? 0 : 1, kCharacterCell);
    if (translated) translation_->Draw(textCoverage_, translated->line, y);
    BuildTextLayer(textCoverage_, 0, 0, white, host_.ChoiceTextLayer(i));
    BuildTextLayer(textCoverage_, 2, 2, black, host_.ChoiceShadowLayer(i));
  }
}

void MessageWindow::ShowChoices() {
  // ChoiceActive marks the entry on screen as a choice.
  WindowShown = 0;
  ChoiceActive = 1;
  // No line is highlighted until the pointer moves or a key chooses one.
  ChoiceHover = 0;
  choiceFocus_.Reset(MousePos);
  Kumo_DrawSelect();
}

void MessageWindow::Kumo_DrawSelect() {
  if (host_.TaskCode() != task::SelectWait || !ChoiceActive) return;
  TABitmap& frame = host_.Frame();
  const int32_t top = ChoiceTop(ChoiceCount);
  for (int32_t i = 1; i <= ChoiceCount && i <= kMaxChoices; ++i) {
    const int32_t y = top + kLinePitch * (i - 1);
    DrawAlpha(host_.ChoicePlate(i == ChoiceHover), frame, 0, y, kLineWidth, kLineHeight, 0, 0, 255);
    DrawAlpha(host_.ChoiceShadowLayer(i), frame, 0, y, kLineWidth, kLineHeight, 0, 0, 255);
    DrawAlpha(host_.ChoiceTextLayer(i), frame, 0, y, kLineWidth, kLineHeight, 0, 0, 255);
  }
}

void MessageWindow::Kumo_WaitSelect() {
  if (!ChoiceActive) return;
  // The line the pointer was moved onto or the keys chose is highlighted. Right of the window the
  // highlight stays as it was and no click can choose.
  const bool onWindow = MousePos.x >= 0 && MousePos.x <= 799;
  std::array<FocusItem, kMaxChoices> lines{};
  const int32_t count = std::clamp(ChoiceCount, 0, kMaxChoices);
  for (int32_t i = 1; i <= count; ++i)
    lines[static_cast<size_t>(i - 1)] = {i,
                                         {0, ChoiceTop(ChoiceCount) + kLinePitch * (i - 1), kLineWidth, kLineHeight}};
  ChoiceHover = choiceFocus_.Update(std::span(lines.data(), static_cast<size_t>(count)),
                                    onWindow ? std::optional(MousePos) : std::nullopt, Input.Move);
  if (choiceFocus_.TakeChange() && ChoiceHover != 0)
    SpeakFocus(spoken_text::kChoice, {{u"number", FromUtf8(std::to_string(ChoiceHover))},
                                      {u"text", ChoiceTexts[static_cast<size_t>(ChoiceHover - 1)]}});
  // A click picks the line under the pointer, Enter the highlighted one: its number goes to the script, its
  // text to the log.
  const int32_t chosen = ClickPending ? (onWindow ? ChoiceAt(ChoiceCount, MousePos.y) : 0) : KeyEnter ? ChoiceHover : 0;
  if (chosen != 0) {
    host_.StoreChoice(static_cast<int16_t>(chosen));
    Kumo_AddMsgLog(u"【選択肢】/" + ChoiceTexts[static_cast<size_t>(chosen - 1)], -1);
    host_.SetTaskCode(task::Script);
    KeyLock = kKeyLockPasses;
  }
  // A key or click over no line is discarded, not remembered.
  KeyEnter = 0;
  ClickPending = 0;
}

bool MessageWindow::ChoiceTakesClick() const {
  return host_.TaskCode() == task::SelectWait && ChoiceActive && KeyLock == 0;
}

}  // namespace mokuren
