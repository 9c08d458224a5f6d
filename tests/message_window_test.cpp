// The message window on a host of its own, with no engine behind it: what it asks of the rest of the
// engine while a message is typed, passed and read again from the log, and when a choice is taken.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "backends/headless/headless_platform.h"
#include "base/task_codes.h"
#include "graphics/ABitmap.h"
#include "text/message_layout.h"
#include "text/message_window.h"

namespace mokuren::testing {
namespace {

class FakeMessageHost final : public MessageHost {
 public:
  int32_t task = 0;
  int16_t chosen = 0;
  std::vector<std::u16string> texts;
  std::vector<std::u16string> requests;  // voice and voice-button requests, in order
  TABitmap frame{800, 600}, floatFrame{800, 184}, textLayer, shadowLayer, windowFrame, sheet, plate;
  std::array<TABitmap, 9> choiceTexts, choiceShadows;

  int32_t TaskCode() override { return task; }
  void SetTaskCode(int32_t code) override { task = code; }
  TABitmap& Frame() override { return frame; }
  TABitmap& FloatFrame() override { return floatFrame; }
  TABitmap& MessageTextLayer() override { return textLayer; }
  TABitmap& MessageShadowLayer() override { return shadowLayer; }
  TABitmap& MessageFrame() override { return windowFrame; }
  TABitmap& SystemSheet() override { return sheet; }
  TABitmap& ChoicePlate(bool) override { return plate; }
  TABitmap& ChoiceTextLayer(int32_t choice) override { return choiceTexts.at(static_cast<size_t>(choice - 1)); }
  TABitmap& ChoiceShadowLayer(int32_t choice) override { return choiceShadows.at(static_cast<size_t>(choice - 1)); }
  int32_t ScriptNumber() override { return 1; }
  const std::vector<std::u16string>& MessageTexts() override { return texts; }
  std::u16string VoiceFile(int32_t voice) override { return voice == 2 ? u"VOICE\\haruka.ogg" : u""; }
  void StoreChoice(int16_t number) override { chosen = number; }
  void PlayVoice(const std::u16string& path, int32_t repeat) override { requests.push_back(u"play " + path); }
  void StopVoice() override { requests.push_back(u"stop"); }
  void DisableVoiceButton() override { requests.push_back(u"disable button"); }
  void UnlightVoiceButton() override { requests.push_back(u"unlight button"); }
  bool DebugMode() override { return false; }
  void StartFramesNow() override {}
  TNameForm& NameForm() override { std::abort(); }
  int ShowModal(FormId, int&) override { return 0; }
};

class MessageWindowOnAHost : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(canvas_.CreateFonts(platform_)); }

  // Whether any pixel of the layer lets text through (its transparency byte below 255).
  static bool HasInk(const TABitmap& layer) {
    for (int32_t y = 0; y < layer.Height(); ++y)
      for (int32_t x = 0; x < layer.Width(); ++x)
        if (layer.ScanLine(y)[4 * x + 3] < 255) return true;
    return false;
  }

  // One pass's input, then the task the host runs.
  void Pass() {
    window_.Kumo_CheckKeyPush();
    if (host_.task == task::MessageWait) window_.Kumo_WaitMessage();
    if (host_.task == task::SelectWait) window_.Kumo_WaitSelect();
    window_.Kumo_DrawMessage();
  }

  FakeMessageHost host_;
  HeadlessPlatform platform_;
  ErrorList errors_;
  SaveBlock block_{};
  CanvasText canvas_;
  MessageWindow window_{host_, platform_, errors_, block_, canvas_};
};

TEST_F(MessageWindowOnAHost, TypesPassesAndLogsAMessageWithTheHostsVoice) {
  host_.texts = {u"ハルカ「おはよう」"};
  // The script's message step: message 0 with voice 2, typed.
  window_.NoteMessage(0, 2, false);
  window_.Kumo_MakeMessage(host_.texts[0]);
  window_.OpenMessageWindow();
  host_.task = task::MessageTyping;
  for (int i = 0; i < 20 && host_.task == task::MessageTyping; ++i) Pass();
  ASSERT_EQ(host_.task, task::MessageWait);
  EXPECT_TRUE(HasInk(host_.textLayer)) << "the text is rendered into the host's layer";

  platform_.InjectKey(Key::Enter, true);
  Pass();
  platform_.InjectKey(Key::Enter, false);
  EXPECT_EQ(host_.task, task::Script);
  EXPECT_EQ(host_.requests, std::vector<std::u16string>{u"disable button"});
  EXPECT_EQ(window_.MsgLog[1].text, host_.texts[0]);
  EXPECT_EQ(window_.MsgLog[1].voicePath, u"VOICE\\haruka.ogg");

  // In the next wait the wheel brings it back with its voice; a click returns without it.
  host_.task = task::MessageWait;
  window_.FormMouseWheelUp();
  Pass();
  window_.FormMouseDown(MouseButton::Left, {400, 300});
  Pass();
  EXPECT_EQ(host_.requests,
            (std::vector<std::u16string>{u"disable button", u"play VOICE\\haruka.ogg", u"stop", u"unlight button"}));
  EXPECT_EQ(host_.task, task::MessageWait);
  EXPECT_EQ(window_.LogView, 0);
}

TEST_F(MessageWindowOnAHost, AChoiceTakenGoesToTheHostAndTheLog) {
  window_.Kumo_MakeSelect(u"はい,いいえ");
  window_.ShowChoices();
  host_.task = task::SelectWait;
  int32_t y = 0;
  while (ChoiceAt(2, y) != 2 && y < 600) ++y;
  platform_.InjectCursor(WindowId::Main, {400, y});
  window_.FormMouseDown(MouseButton::Left, {400, y});
  Pass();
  EXPECT_EQ(host_.chosen, 2);
  EXPECT_EQ(host_.task, task::Script);
  EXPECT_EQ(window_.MsgLog[1].text, u"【選択肢】/いいえ");
}

}  // namespace
}  // namespace mokuren::testing
