// Loading a saved game on a headless engine: the restore task brings back the pictures, the music and
// the looping effects of the record, fades in over 500 ms and hands over to the interpreter.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "ogg_encode.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"
#include "support/test_surfaces.h"

namespace mokuren::testing {
namespace {

class Restore : public EngineFixture {
 protected:
  void SetUp() override {
    TestGame game;
    game.scripts[1] = "wait 1000\n";
    game.graphics = {{"BG01", SolidPng(800, 600, 0xC0, 0x10, 0x10)}, {"CH01", SolidPng(200, 300, 0x10, 0xC0, 0x10)}};
    BuildTestGame(dir_.path(), game);
    std::filesystem::create_directories(dir_.path() / "Sound");
    const std::string tone = EncodeOgg(Sine(440, 8000, 2.0, 2, 44100), 2, 44100);
    WriteFile(dir_.path() / "Sound" / "M03.ogg", tone);
    WriteFile(dir_.path() / "Sound" / "S05.ogg", tone);
    StartEngine();
    Passes(1);
    // Nothing else runs while the test arranges the game: the engine waits for a key.
    form_->TaskCode = task::WaitKey;
  }
  // The game as it stood when it was saved: a background, character 1 at (100, 50), music 3 and a
  // looping effect 5 on channel 1, waiting at step 12 of script 1.
  void ArrangeSavedGame() {
    SaveRecord& live = form_->Block->Live;
    form_->BackgroundNo = 1;
    form_->LayerImage[0] = 2;
    form_->LayerPos[0] = {100, 50};
    form_->LayerOpacity[0] = 255;
    live.BgmNo = 3;
    live.BgmLoop = 1;
    live.SeNo[0] = 5;
    live.SeLoop[0] = 1;
    form_->ScriptNo = 1;
    form_->StepNo = 12;
    form_->SystemMenuAllowed = 1;
    form_->ScenarioVars.Set(9, 99);
  }
  // Play goes on somewhere else entirely.
  void PlayOn() {
    SaveRecord& live = form_->Block->Live;
    form_->BackgroundNo = 0;
    form_->LayerImage[0] = 0;
    live.BgmNo = 0;
    live.SeNo[0] = 0;
    form_->StepNo = 40;
    form_->ScenarioVars.Set(9, 1);
    form_->SurfaceTable[0].FillRGB(0, 0, 0x80);
    form_->DisplaySurface.FillRGB(0, 0, 0x80);
    form_->NormalPlay = 0;
    form_->Kumo_PlayBGM(0, 0, 0, 0);
    form_->StopSlot(3);
  }
};

TEST_F(Restore, BringsBackPicturesSoundAndStepThenFadesIn500Ms) {
  ArrangeSavedGame();
  ASSERT_TRUE(form_->SaveToSlot(7));
  PlayOn();
  ASSERT_TRUE(form_->LoadFromSlot(7));
  EXPECT_EQ(form_->StepNo, 11);
  EXPECT_EQ(form_->ScenarioVars.Get(9), 99);

  Passes(1);  // the restore task
  EXPECT_EQ(form_->TaskCode, task::Effect91);
  EXPECT_EQ(form_->ResumeTaskCode, task::Script);
  EXPECT_EQ(form_->TransitionDuration, 500);
  EXPECT_EQ(form_->NormalPlay, 1);
  EXPECT_EQ(form_->ScriptNo, 1);
  EXPECT_EQ(form_->StepNo, 11);  // loading the script keeps the step
  EXPECT_EQ(Rgb(form_->NextSurface, 10, 10), 0xC01010u);
  // A layer at full opacity is blended with weight 255 of 256: 0x10 becomes 0x0F, 0xC0 becomes 0xBF.
  constexpr uint32_t kLayer = 0x0FBF0F;
  EXPECT_EQ(Rgb(form_->NextSurface, 150, 100), kLayer);

  int fadePasses = 0;
  while (form_->TaskCode == task::Effect91 && fadePasses < 1000) {
    form_->IdleEvent();
    ++fadePasses;
  }
  EXPECT_GE(fadePasses, 49);
  EXPECT_LE(fadePasses, 51);
  EXPECT_EQ(Rgb(form_->DisplaySurface, 10, 10), 0xC01010u);
  EXPECT_EQ(Rgb(form_->DisplaySurface, 150, 100), kLayer);
  EXPECT_EQ(Rgb(form_->DisplaySurface, 350, 100), 0xC01010u);
  // Music on one of the two music slots, the effect on channel 1's slot.
  EXPECT_TRUE(form_->SlotStatus(0) > 1 || form_->SlotStatus(1) > 1);
  EXPECT_GT(form_->SlotStatus(3), 1);
  EXPECT_EQ(form_->Block->Live.BgmNo, 3);
  EXPECT_EQ(form_->Block->Live.SeNo[0], 5);
}

TEST_F(Restore, GameWithoutPicturesRestoresToBlack) {
  form_->ScriptNo = 1;
  form_->StepNo = 3;
  ASSERT_TRUE(form_->SaveToSlot(1));
  PlayOn();
  ASSERT_TRUE(form_->LoadFromSlot(1));
  Passes(60);
  EXPECT_EQ(Rgb(form_->DisplaySurface, 400, 300), 0u);
  EXPECT_EQ(form_->SurfaceTable[0].Width(), 800);
  EXPECT_EQ(form_->SlotStatus(3), 0);
}

TEST_F(Restore, EventsQuickSaveAndQuickLoad) {
  ArrangeSavedGame();
  form_->FrameSurface.FillRGB(10, 20, 30);
  Apply("quicksave");
  EXPECT_EQ(form_->NoticeText, u"クイックセーブしました");
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "THUMB" / "SAVE100.dat"));
  Apply("save 100");  // the save screen refuses slot 100
  Apply("save 4");
  EXPECT_EQ(form_->Block->Slot(4).Used, 1);
  PlayOn();
  Apply("load 5");  // empty: nothing
  EXPECT_EQ(form_->StepNo, 40);
  Apply("load 4");
  EXPECT_EQ(form_->StepNo, 11);
  EXPECT_EQ(form_->TaskCode, task::Restore);
  form_->StepNo = 40;
  Apply("quickload");
  EXPECT_EQ(form_->NoticeText, u"クイックロードしました");
  EXPECT_EQ(form_->StepNo, 11);
}

TEST_F(Restore, DamagedSlotsLoadWithoutHarm) {
  // Slots of random bytes (as a SAVE.DAT of the right size but wrong content would give), and the
  // extremes of every number the restore hands on.
  std::mt19937 random(20261207);
  for (int round = 0; round < 6; ++round) {
    SaveRecord& slot = form_->Block->Slot(3);
    auto* bytes = reinterpret_cast<uint8_t*>(&slot);
    for (size_t i = 0; i < sizeof slot; ++i) bytes[i] = static_cast<uint8_t>(random());
    if (round == 0) {
      slot.StepNo = INT32_MIN;
      slot.ScriptNo = INT16_MIN;
      slot.BackgroundNo = INT32_MIN;
      slot.BgmNo = INT32_MAX;
      for (int k = 0; k < 5; ++k) slot.LayerImage[k] = -1, slot.LayerPos[k] = {INT32_MAX, INT32_MIN};
      for (int k = 0; k < 3; ++k) slot.SeNo[k] = INT32_MIN;
    }
    slot.Used = 1;
    ASSERT_TRUE(form_->LoadFromSlot(3));
    Passes(80);
    EXPECT_NE(form_->TaskCode, task::Restore);
  }
}

}  // namespace
}  // namespace mokuren::testing
