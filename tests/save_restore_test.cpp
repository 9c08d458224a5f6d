// Loading a saved game on a headless engine: the restore task brings back the pictures, the music and
// the looping effects of the record, fades in over 500 ms and hands over to the interpreter.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "base/sound_slots.h"

#include "ogg_encode.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"
#include "support/test_surfaces.h"

namespace mokuren::testing {
namespace {

// The game as it stands when it is saved: a background, character 1 in the centre, music 3 and a looping
// effect 5 at position 1, F9 = 99, and a message waiting. Play then goes on somewhere else entirely.
const char* kSavedThenOn = R"(sysmenu 1
bgm 3, 1
se 5, 1
bg "BG01"
layer1 center, "CH01"
show
F9 = 99
msg "ここで保存した"
bg "DARK"
layer1 center, "DARK"
show
bgm 0
se 0
F9 = 1
msg "先へ進んだ"
wait click
)";

class Restore : public EngineFixture {
 protected:
  // Starts `script` and runs it to its first message, where the tests save.
  void Start(const char* script) {
    TestGame game;
    game.scripts[1] = script;
    game.graphics = {{"BG01", SolidPng(800, 600, 0xC0, 0x10, 0x10)},
                     {"CH01", SolidPng(200, 300, 0x10, 0xC0, 0x10)},
                     {"DARK", SolidPng(800, 600, 0, 0, 0x80)}};
    BuildTestGame(dir_.path(), game);
    std::filesystem::create_directories(dir_.path() / "Sound");
    const std::string tone = EncodeOgg(Sine(440, 8000, 2.0, 2, 44100), 2, 44100);
    WriteFile(dir_.path() / "Sound" / "M03.ogg", tone);
    WriteFile(dir_.path() / "Sound" / "S05.ogg", tone);
    StartEngine();
    ASSERT_TRUE(RunUntilTask(task::MessageWait));
    savedStep_ = Step();
  }
  // Clicks the first message away and waits at the next one.
  void PlayOn() {
    Click(400, 300);
    ASSERT_TRUE(RunUntil([&] { return Task() == task::MessageWait && Step() != savedStep_; }));
  }

  int32_t savedStep_ = 0;
};

// A layer at full opacity is blended with weight 255 of 256: 0x10 becomes 0x0F, 0xC0 becomes 0xBF.
constexpr uint32_t kLayer = 0x0FBF0F;

TEST_F(Restore, BringsBackPicturesSoundAndStepThenFadesIn500Ms) {
  Start(kSavedThenOn);
  Apply("save 7");
  PlayOn();
  ASSERT_EQ(Var('F', 9), 1);
  Apply("load 7");
  EXPECT_EQ(Var('F', 9), 99);
  EXPECT_EQ(Task(), task::Restore);

  Passes(1);  // the restore task
  ASSERT_EQ(Task(), task::Effect91);
  int fadePasses = 0;
  while (Task() == task::Effect91 && fadePasses < 1000) {
    Passes(1);
    ++fadePasses;
  }
  EXPECT_GE(fadePasses, 49);
  EXPECT_LE(fadePasses, 51);
  // The saved message again, in normal play (saving allowed), over the saved scene.
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  EXPECT_EQ(Step(), savedStep_);
  EXPECT_EQ(Script(), 1);
  Passes(1);  // the popup menu's items follow the task at the start of a pass
  EXPECT_TRUE(MenuItemEnabled(MenuItem::menuSave));
  EXPECT_EQ(Rgb(Frame(), 10, 400), 0xC01010u);
  EXPECT_EQ(Rgb(Frame(), 150, 100), kLayer);
  EXPECT_EQ(Rgb(Frame(), 350, 100), 0xC01010u);
  // Music on one of the two music slots, the effect on position 1's slot.
  EXPECT_TRUE(SoundSlot(stream::MusicA) > 1 || SoundSlot(stream::MusicB) > 1);
  EXPECT_GT(SoundSlot(stream::EffectSlot(1)), 1);
  EXPECT_EQ(MusicKept(), 3);
  EXPECT_EQ(EffectKept(1), 5);
}

TEST_F(Restore, GameWithoutPicturesRestoresToBlack) {
  Start(R"(sysmenu 1
msg "まだ何も見せていない"
bg "DARK"
show
msg "先へ進んだ"
wait click
)");
  Apply("save 1");
  PlayOn();
  Apply("load 1");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  EXPECT_EQ(Step(), savedStep_);
  EXPECT_EQ(Rgb(Frame(), 400, 300), 0u);
  EXPECT_LE(SoundSlot(stream::EffectSlot(1)), 1) << "no effect starts";
}

TEST_F(Restore, EventsQuickSaveAndQuickLoad) {
  Start(kSavedThenOn);
  Apply("quicksave");
  EXPECT_EQ(Notice(), u"クイックセーブしました");
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "THUMB" / "SAVE100.dat"));
  Apply("save 100");  // the save screen refuses slot 100
  Apply("save 4");
  EXPECT_EQ(SavedGame(4).Used, 1);
  PlayOn();
  const int32_t onStep = Step();
  Apply("load 5");  // empty: nothing
  EXPECT_EQ(Task(), task::MessageWait);
  EXPECT_EQ(Var('F', 9), 1);
  Apply("load 4");
  EXPECT_EQ(Var('F', 9), 99);
  EXPECT_EQ(Task(), task::Restore);
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  EXPECT_EQ(Step(), savedStep_);

  PlayOn();
  ASSERT_EQ(Step(), onStep);
  Apply("quickload");
  EXPECT_EQ(Notice(), u"クイックロードしました");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  EXPECT_EQ(Step(), savedStep_);
}

TEST_F(Restore, DamagedSlotsLoadWithoutHarm) {
  // Slots of random bytes (as a SAVE.DAT of the right size but wrong content would give), and the
  // extremes of every number the restore hands on.
  Start(kSavedThenOn);
  std::mt19937 random(20261207);
  for (int round = 0; round < 6; ++round) {
    SaveRecord& slot = form_->Save().Block->Slot(3);
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
    Apply("load 3");
    ASSERT_EQ(Task(), task::Restore);
    Passes(80);
    EXPECT_NE(Task(), task::Restore);
  }
}

}  // namespace
}  // namespace mokuren::testing
