// An engine past its start-up with a message or a choice put up directly, as the script's message and
// choice instructions would, so the text tasks can be driven pass by pass on the virtual clock.
#pragma once

#include <string>

#include "support/engine_fixture.h"

namespace mokuren::testing {

class TextFixture : public EngineFixture {
 protected:
  void SetUp() override {
    StartEngine();
    Passes(1);  // start-up's second stage
    // A dark, opaque window frame and a system sheet with a visible waiting icon, so what the text
    // tasks draw can be told apart on the frame.
    form_->SurfaceTable[6].SetSize32(800, 184);
    form_->SurfaceTable[6].FillRGB(0, 0, 64);
    form_->SurfaceTable[92].SetSize32(800, 600);
    form_->SurfaceTable[92].FillRGB(255, 0, 255);
    form_->TaskCode = 0x7FFFFFF0;  // no task of anyone's: nothing runs until a test puts one up
    form_->SkipAllowed = 1;
    form_->SystemMenuAllowed = 1;
    form_->MessageSpeed = 2;
  }

  // What the message instruction does for message n of the script's texts.
  void ShowMessage(const std::u16string& text) {
    form_->MessageTexts.assign(1, text);
    form_->CurrentMessage = 0;
    form_->CurrentVoice = -1;
    form_->Kumo_MakeMessage(text);
    form_->WindowShown = 1;
    form_->ChoiceActive = 0;
    form_->LogView = 0;
    form_->TaskCode = task::MessageTyping;
    form_->RevealCount = 0;
    form_->MessageDone = 0;
  }

  // What the choice instruction does.
  void ShowChoice(const std::u16string& text) {
    form_->Kumo_ClearKey();
    form_->Kumo_ClearMouseButton();
    form_->FastForward = form_->ReadSkip = form_->SceneSkip = form_->AutoMode = 0;
    form_->Kumo_MakeSelect(text);
    form_->WindowShown = 0;
    form_->ChoiceActive = 1;
    form_->TaskCode = task::SelectWait;
    form_->MessageDone = 0;
  }

  // Runs passes while TaskCode is `code`, at most `limit`; returns the number run.
  int PassesWhile(int32_t code, int limit = 5000) {
    int n = 0;
    while (form_->TaskCode == code && n < limit) {
      form_->IdleEvent();
      ++n;
    }
    return n;
  }

  uint32_t Now() { return platform_->TickCount(); }
  void Click(int x, int y) {
    platform_->InjectCursor(WindowId::Main, {x, y});
    form_->FormMouseDown(MouseButton::Left, {x, y});
  }
  void Move(int x, int y) { platform_->InjectCursor(WindowId::Main, {x, y}); }
  // A key held for exactly one pass.
  void Tap(Key key) {
    platform_->InjectKey(key, true);
    form_->IdleEvent();
    platform_->InjectKey(key, false);
  }
};

}  // namespace mokuren::testing
