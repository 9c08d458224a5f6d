// The save data on its own, with a host that writes down what it is asked: a game saved in a slot of
// SAVE.DAT is loaded and rebuilt by the restore task, which asks for each part of the scene in order.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "backends/headless/headless_platform.h"
#include "base/error_list.h"
#include "base/task_codes.h"
#include "graphics/ABitmap.h"
#include "save/save_data.h"
#include "save/save_host.h"
#include "support/engine_fixture.h"

namespace mokuren::testing {
namespace {

class RecordingHost final : public SaveHost {
 public:
  std::vector<std::string> asked;
  SaveRecord* live = nullptr;  // loading a script moves the interpreter's step, as the engine's does

  const TABitmap& Frame() override { return frame_; }
  void ShowNotice(const std::u16string&, int32_t) override {}
  std::u16string EngineText(std::u16string_view text) override { return std::u16string(text); }
  void ClearMessageLog() override { Ask("clear log"); }
  void SetTaskCode(int32_t code) override { Ask("task " + std::to_string(code)); }
  bool AskToRetrySave() override { return false; }
  void SetNormalPlay(uint8_t normalPlay) override { Ask("normal play " + std::to_string(normalPlay)); }
  void LoadStandardSystemPictures() override { Ask("system pictures"); }
  void BlackBackground() override { Ask("black"); }
  void LoadScenePicture(int32_t placement, int32_t entry) override {
    Ask("picture " + std::to_string(placement) + " " + std::to_string(entry));
  }
  void PlayBgm(int no, int fade, int variant, int loop) override {
    Ask("bgm " + std::to_string(no) + " " + std::to_string(fade) + " " + std::to_string(variant) + " " +
        std::to_string(loop));
  }
  void PlaySe(int channel, int no, int loop, int fade) override {
    Ask("se " + std::to_string(channel) + " " + std::to_string(no) + " " + std::to_string(loop) + " " +
        std::to_string(fade));
  }
  void ReadScript(int n) override {
    Ask("script " + std::to_string(n));
    live->StepNo = -1;
  }
  std::optional<int32_t> ScriptSteps(int) override { return std::nullopt; }
  void StartTransition(int32_t ms, int32_t code, int32_t resume) override {
    Ask("fade " + std::to_string(ms) + " " + std::to_string(code) + " " + std::to_string(resume));
  }
  void LoadScreenPicture(int32_t, int32_t) override {}
  void DrawCanvasText(TABitmap&, int32_t, int32_t, const std::u16string&, int32_t) override {}
  void ShowModal(FormId, int&, std::function<void()>) override {}
  bool ModalOpen(FormId) const override { return false; }
  void ReportEvent(const Event&, const std::u16string&) override {}
  std::string AutomationFile(const std::string& name) override { return name; }

 private:
  void Ask(std::string what) { asked.push_back(std::move(what)); }
  TABitmap frame_{800, 600};
};

TEST(SaveData, LoadedSlotIsRebuiltPartByPartAndGoesOnAtItsStep) {
  TempDir dir;
  auto saved = std::make_unique<SaveBlock>();
  SaveRecord& slot = saved->Slot(4);
  slot.Used = 1;
  slot.BackgroundNo = 7;
  slot.LayerImage[2] = 9;
  slot.BgmNo = 3;
  slot.BgmVariant = 1;
  slot.BgmLoop = 1;
  slot.SeNo[1] = 5;
  slot.SeLoop[1] = 1;
  slot.ScriptNo = 2;
  slot.StepNo = 12;
  WriteFile(dir.path() / "SAVE.DAT", std::string(reinterpret_cast<const char*>(saved.get()), sizeof(SaveBlock)));

  HeadlessPlatform platform;
  platform.SetMenuChecked(MenuItem::menuFloat, true);
  ErrorList errors;
  RecordingHost host;
  SaveData save(host, platform, errors, dir.path());
  host.live = &save.Block->Live;
  save.ChooseSaveDir();
  ASSERT_TRUE(save.Kumo_ReadSaveFile());
  ASSERT_TRUE(save.LoadFromSlot(4));
  save.Kumo_RestoreGame();

  const std::vector<std::string> expected = {
      "task " + std::to_string(task::Restore),
      "normal play 1",
      "system pictures",
      "black",
      "picture 0 7",
      "picture 3 9",
      "bgm 3 3 1 1",
      "se 2 5 1 0",
      "script 2",
      "fade 500 " + std::to_string(task::Effect91) + " " + std::to_string(task::Script)};
  EXPECT_EQ(host.asked, expected);
  EXPECT_TRUE(platform.FloatVisible());
  // The message or choice that was waiting runs again once the fade ends.
  EXPECT_EQ(save.Block->Live.StepNo, 11);
  EXPECT_TRUE(errors.Lines().empty());
}

}  // namespace
}  // namespace mokuren::testing
