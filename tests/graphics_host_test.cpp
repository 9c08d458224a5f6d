// The pictures on their own, behind a fake host: what a pressed on-screen button asks of the engine, and
// where the save/load screen's pictures go.
#include <gtest/gtest.h>

#include <memory>

#include "backends/headless/headless_platform.h"
#include "base/error_list.h"
#include "base/task_codes.h"
#include "graphics/graphics.h"
#include "graphics/png_writer.h"
#include "support/test_surfaces.h"

namespace mokuren {
namespace {

class FakeHost final : public GraphicsHost {
 public:
  int ReadArchiveEntry(ArchiveKind, int32_t, std::vector<uint8_t>& bytes) override {
    bytes = picture;
    return bytes.empty() ? -1 : 0;
  }
  int32_t TaskCode() override { return task::MessageWait; }
  void SetTaskCode(int32_t) override {}
  PassInput& Input() override { return input; }
  const PlayModes& Modes() override { return modes; }
  bool MessageWindowShown() override { return true; }
  bool HasVoiceToReplay() override { return voice; }
  bool VoicePlaying() override { return voice; }
  void PressButton(int button) override { pressed.push_back(button); }
  TABitmap* SaveScreenPictureBox(int32_t placement) override { return placement == 203 ? parts : page; }
  std::string AutomationFile(const std::string& name) override { return name; }

  std::vector<uint8_t> picture;
  PassInput input;
  PlayModes modes;
  bool voice = true;
  std::vector<int> pressed;
  TABitmap* parts = nullptr;
  TABitmap* page = nullptr;
};

class GraphicsAlone : public ::testing::Test {
 protected:
  FakeHost host_;
  HeadlessPlatform platform_;
  ErrorList errors_;
  std::unique_ptr<SaveBlock> block_ = std::make_unique<SaveBlock>();
  Graphics graphics_{host_, platform_, errors_, *block_};
};

TEST_F(GraphicsAlone, APressedButtonIsTheHostsToActOnAndLooksOnWhenItSwitchesAMode) {
  graphics_.EnableButtons();
  graphics_.SetButtonStates({-1, -1, 0, 0, 0, 0, 0, 0, 0, 0});
  for (int k = 3; k <= 10; ++k) {
    host_.input.MousePos = {96 + 64 * k, 590};
    host_.input.ClickPending = 1;
    graphics_.Kumo_CheckButton();
    EXPECT_EQ(host_.input.ClickPending, 0) << k;
    EXPECT_EQ(graphics_.ButtonOn[k - 1], k == 4 || k == 9 || k == 10) << k;
  }
  EXPECT_EQ(host_.pressed, (std::vector<int>{3, 4, 5, 6, 7, 8, 9, 10}));
  // With no voice to play again the voice button is disabled: the click is left for the message.
  host_.voice = false;
  host_.input.MousePos = {352, 590};
  host_.input.ClickPending = 1;
  graphics_.Kumo_CheckButton();
  EXPECT_EQ(host_.input.ClickPending, 1);
  EXPECT_EQ(host_.pressed.size(), 8u);
}

TEST_F(GraphicsAlone, SaveScreenPicturesGoIntoTheHostsBoxesAtTheBoxesSize) {
  std::string error;
  ASSERT_TRUE(EncodePng(testing::Solid(30, 60, 1, 2, 3, 0), PngAlpha::None, host_.picture, error)) << error;
  TABitmap parts(800, 600), page(800, 600);
  host_.parts = &parts;
  host_.page = &page;
  EXPECT_TRUE(graphics_.Kumo_ReadGraphic(203, 121, true));
  EXPECT_TRUE(graphics_.Kumo_ReadGraphic(201, 111, true));
  for (const TABitmap* box : {&parts, &page}) {
    EXPECT_EQ(box->Width(), 800);
    EXPECT_EQ(testing::Rgb(*box, 29, 59), 0x030201u);
    EXPECT_EQ(testing::Rgb(*box, 30, 60), 0u);
  }
  // Without a box the picture is decoded and dropped.
  host_.parts = nullptr;
  EXPECT_TRUE(graphics_.Kumo_ReadGraphic(203, 121, true));
  EXPECT_TRUE(errors_.Lines().empty());
}

}  // namespace
}  // namespace mokuren
