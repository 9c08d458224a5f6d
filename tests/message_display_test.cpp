// The message window on a headless engine: the text on the frame, typing at the three speeds, the ways a
// message ends (click, held Enter, auto mode, skips) and hiding the window.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <set>
#include <vector>

#include "base/save_block.h"
#include "support/screenshot_file.h"
#include "text_fixture.h"
#include "toolkit/png_writer.h"

namespace mokuren::testing {
namespace {

constexpr int kWindowTop = 416;

class MessageDisplay : public TextFixture {
 protected:
  // Whether some pixel of the frame's rectangle [x0, x1) x [y0, y1) is `pick`.
  template <typename Pick>
  bool Any(int x0, int y0, int x1, int y1, Pick pick) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if (pick(Frame().ScanLine(y) + x * 4)) return true;
    return false;
  }
  // Whether some pixel of the rectangle is the colour (r, g, b), give or take the few steps that
  // blending the window's layers at full opacity takes off.
  bool AnyColour(int x0, int y0, int x1, int y1, int r, int g, int b) {
    const auto near = [](int a, int b) { return a <= b && a >= b - 8; };
    return Any(x0, y0, x1, y1, [&](const uint8_t* p) { return near(p[2], r) && near(p[1], g) && near(p[0], b); });
  }
  // Whether the rectangle shows nothing but the bare window frame (0, 0, 64).
  bool Bare(int x0, int y0, int x1, int y1) {
    return !Any(x0, y0, x1, y1, [](const uint8_t* p) { return p[2] > 8 || p[1] > 8 || p[0] > 64 || p[0] < 56; });
  }
  // Finishes the typing with a click and waits for the frame that shows the whole message.
  void ShowWhole() {
    Click(400, 300);
    PassesWhile(task::MessageTyping);
    NextFrame();
  }
};

TEST_F(MessageDisplay, TheTextIsDrawnInItsColoursWithAShadowAndNothingElse) {
  Start("msg \"①さん「こんにちは」\"\nwait click\n");
  EXPECT_EQ(MessageLines()[0], u"カザミネさん");
  ShowWhole();
  // The name is orange, the lines white; glyphs are opaque at their core.
  EXPECT_TRUE(AnyColour(32, kWindowTop + 10, 32 + 6 * 28, kWindowTop + 38, 255, 192, 96));
  EXPECT_TRUE(AnyColour(32, kWindowTop + 50, 32 + 7 * 28, kWindowTop + 78, 255, 255, 255));
  // The shadow is black and two pixels down and right: none on the line's top row.
  EXPECT_TRUE(AnyColour(34, kWindowTop + 52, 34 + 7 * 28, kWindowTop + 80, 0, 0, 0));
  EXPECT_FALSE(Any(0, kWindowTop + 50, 800, kWindowTop + 51, [](const uint8_t* p) { return p[0] < 56; }));
  // Nothing beyond the text, nothing left of the origin, nothing on unused lines.
  EXPECT_TRUE(Bare(32 + 8 * 28, kWindowTop, 800, 600));
  EXPECT_TRUE(Bare(0, kWindowTop, 32, 600));
  EXPECT_TRUE(Bare(0, kWindowTop + 90, 800, 600));
}

TEST_F(MessageDisplay, ALogEntryIsGreyAndAFourthLineIsNeverDrawn) {
  Start("msg \"名「一/二/三/四」\"\nmsg \"今\"\nwait click\n");
  EXPECT_EQ(MessageLines()[3], u"　三");
  ShowWhole();
  EXPECT_TRUE(Any(32, kWindowTop + 130, 200, kWindowTop + 170, [](const uint8_t* p) { return p[2] > 192; }));
  EXPECT_TRUE(Bare(0, kWindowTop + 174, 800, 600));
  // Read again from the log, the name is grey.
  Click(400, 300);
  ASSERT_TRUE(RunUntil([&] { return MessageShown() == u"今" && Task() == task::MessageWait; }));
  Passes(20);
  Tap(Key::PageUp);
  Passes(40);
  ASSERT_EQ(LogEntry(), 1);
  NextFrame();
  EXPECT_TRUE(AnyColour(32, kWindowTop + 10, 100, kWindowTop + 38, 192, 192, 192));
  EXPECT_FALSE(AnyColour(32, kWindowTop + 10, 100, kWindowTop + 38, 255, 192, 96));
  EXPECT_TRUE(Bare(0, kWindowTop + 174, 800, 600));
}

TEST_F(MessageDisplay, NormalSpeedTypesOneCharacterPerFrameClippedTo28Pixels) {
  Start("msg \"あいうえおかきくけこ\"\nwait click\n");
  const int64_t frames = FrameCount();
  NextFrame();
  EXPECT_EQ(Typed(), 1);
  EXPECT_EQ(Task(), task::MessageTyping);
  // Line 1's band shows its first 28 + 34 pixels; the rest is the bare window frame.
  EXPECT_TRUE(Bare(62, kWindowTop + 50, 800, kWindowTop + 90));
  EXPECT_TRUE(Any(32, kWindowTop + 50, 62, kWindowTop + 90, [](const uint8_t* p) { return p[2] > 128; }));
  // Ten characters take ten frames; the eleventh shows everything and starts the wait.
  PassesWhile(task::MessageTyping);
  EXPECT_EQ(FrameCount() - frames, 11);
}

TEST_F(MessageDisplay, FastSpeedShowsAllOnTheFirstFrame) {
  Start("msg \"あいうえお\"\nwait click\n", Settings("speed=1"));
  const int64_t frames = FrameCount();
  PassesWhile(task::MessageTyping);
  EXPECT_EQ(FrameCount() - frames, 1);
}

TEST_F(MessageDisplay, SlowSpeedHoldsTheLoop) {
  Start("msg \"あいうえお\"\nwait click\n", Settings("speed=3"));
  const uint32_t start = Now();
  PassesWhile(task::MessageTyping);
  // Five characters at about 110 ms each (the pause plus the loop's own rest).
  EXPECT_GE(Now() - start, 5u * 100);
  EXPECT_LE(Now() - start, 5u * 150);
}

TEST_F(MessageDisplay, EmptyMessageCompletesOnTheFirstFrame) {
  Start("msg \"\"\nwait click\n");
  const int64_t frames = FrameCount();
  PassesWhile(task::MessageTyping);
  EXPECT_EQ(FrameCount() - frames, 1);
  EXPECT_EQ(Task(), task::MessageWait);
}

TEST_F(MessageDisplay, AClickCompletesTypingWithoutAdvancingThenAnotherAdvances) {
  Start("msg \"あいうえおかきくけこさしすせそ\"\nmsg \"次\"\nwait click\n");
  Passes(7);
  ASSERT_EQ(Task(), task::MessageTyping);
  Click(400, 300);
  PassesWhile(task::MessageTyping, 10);
  EXPECT_EQ(Task(), task::MessageWait);
  Passes(50);
  EXPECT_EQ(Task(), task::MessageWait);
  // The waiting message advances on the next click.
  Click(400, 300);
  Passes(1);
  EXPECT_EQ(Task(), task::Script);
  ASSERT_TRUE(RunUntilTask(task::MessageTyping));
  EXPECT_EQ(MessageShown(), u"次");
}

TEST_F(MessageDisplay, HeldEnterAdvancesAboutEvery100ms) {
  Start("msg \"あいう\"\nmsg \"えお\"\nwait click\n");
  Hold(Key::Enter, true);
  PassesWhile(task::MessageTyping);
  ASSERT_EQ(Task(), task::MessageWait);
  const uint32_t typed = Now();
  PassesWhile(task::MessageWait);
  ASSERT_EQ(Task(), task::Script);
  EXPECT_GE(Now() - typed, 90u);
  EXPECT_LE(Now() - typed, 130u);
  // The next message is typed and passed too while Enter stays down.
  const uint32_t shown = Now();
  ASSERT_TRUE(RunUntilTask(task::MessageTyping));
  EXPECT_EQ(MessageShown(), u"えお");
  PassesWhile(task::MessageTyping);
  PassesWhile(task::MessageWait);
  EXPECT_LE(Now() - shown, 260u);
}

TEST_F(MessageDisplay, AutoModeAdvancesAfterTheDelayPlusHalfASecond) {
  Start("msg \"一\"\nmsg \"二\"\nmsg \"三\"\nwait click\n");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Choose(MenuItem::menuAuto);
  ASSERT_TRUE(RunUntil([&] { return MessageShown() == u"二"; }));
  PassesWhile(task::MessageTyping);
  const uint32_t typed = Now();
  PassesWhile(task::MessageWait);
  ASSERT_EQ(Task(), task::Script);
  EXPECT_GE(Now() - typed, 2500u);
  EXPECT_LE(Now() - typed, 2550u);
  EXPECT_EQ(PlayModesNow().AutoMode, 1);  // an automatic advance keeps auto mode
  // A manual advance ends it.
  ASSERT_TRUE(RunUntilTask(task::MessageTyping));
  PassesWhile(task::MessageTyping);
  Hold(Key::Enter, true);
  PassesWhile(task::MessageWait);
  EXPECT_EQ(PlayModesNow().AutoMode, 0);
}

// A damaged SAVE.DAT's delay neither overflows into an early advance nor stops the game.
TEST_F(MessageDisplay, AnAutoDelayOutOfRangeNeverAdvancesEarly) {
  StartEngine();
  CloseGame();
  std::string save = ReadFile(dir() / "SAVE.DAT");
  ASSERT_EQ(save.size(), kSaveFileSize);
  const int32_t delay = 0x7FFFFFFF;
  std::memcpy(save.data() + offsetof(SaveBlock, AutoDelay), &delay, sizeof delay);
  WriteFile(dir() / "SAVE.DAT", save);
  Start("msg \"一\"\nmsg \"二\"\nwait click\n");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Choose(MenuItem::menuAuto);
  Passes(300);
  EXPECT_EQ(Task(), task::MessageWait);
  EXPECT_EQ(MessageShown(), u"一");
}

TEST_F(MessageDisplay, SpaceHidesTheWindowAndOnlySpaceBringsItBack) {
  Start("msg \"あいう\"\nwait click\n", Settings("speed=1 auto=0"));
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Choose(MenuItem::menuAuto);
  Tap(Key::Space);
  EXPECT_FALSE(WindowShown());
  EXPECT_EQ(PlayModesNow().AutoMode, 0);
  // The popup menu now offers to show the window.
  const int popups = platform().Popups();
  RightClick(10, 10);
  EXPECT_EQ(platform().MenuCaption(MenuItem::menuWindow), u"ウィンドウ表示");
  EXPECT_EQ(platform().Popups(), popups + 1);
  // Clicks and Enter do nothing while hidden, and are not remembered.
  Passes(20);
  Click(400, 300);
  Passes(5);
  Tap(Key::Enter);
  Passes(20);
  EXPECT_EQ(Task(), task::MessageWait);
  Tap(Key::Space);
  EXPECT_TRUE(WindowShown());
  Passes(30);
  EXPECT_EQ(Task(), task::MessageWait);
  RightClick(10, 10);
  EXPECT_EQ(platform().MenuCaption(MenuItem::menuWindow), u"ウィンドウ消去");
}

TEST_F(MessageDisplay, WaitingIconShowsExceptInLogView) {
  // Eight icon frames at y = 32 of the system sheet: a white square on the transparent colour.
  std::vector<uint8_t> sheet(800 * 600 * 4);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      uint8_t* p = &sheet[static_cast<size_t>(y * 800 + x) * 4];
      const bool icon = y >= 40 && y < 56 && x < 256 && x % 32 >= 8 && x % 32 < 24;
      p[0] = 255, p[1] = icon ? 255 : 0, p[2] = 255, p[3] = 255;
    }
  pictures_[51] = toolkit::EncodePng(800, 600, sheet);
  Start("msg \"前\"\nmsg \"あ\"\nwait click\n", Settings("speed=1"));
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Click(400, 300);
  ASSERT_TRUE(RunUntil([&] { return MessageShown() == u"あ" && Task() == task::MessageWait; }));
  NextFrame();
  const uint8_t* centre = Frame().ScanLine(552 + 16) + (752 + 16) * 4;
  const uint8_t* corner = Frame().ScanLine(552 + 1) + (752 + 1) * 4;
  EXPECT_EQ(centre[1], 255);
  // The key colour (the sheet's top-left pixel) is not drawn.
  EXPECT_EQ(corner[1], Frame().ScanLine(552 + 1)[700 * 4 + 1]);
  EXPECT_NE(corner[1], 255);
  Passes(20);
  Tap(Key::PageUp);
  ASSERT_EQ(LogEntry(), 1);
  NextFrame();
  EXPECT_NE(Frame().ScanLine(552 + 16)[(752 + 16) * 4 + 1], 255);
}

// The icon starts its turn when the message begins to wait: a screenshot a fixed time after the events
// file's "wait message" shows the same turn however long the message before it took to type.
TEST_F(MessageDisplay, WaitingIconTurnsFromWhenTheMessageBeganToWait) {
  // Each of the eight frames in a green of its own.
  std::vector<uint8_t> sheet(800 * 600 * 4, 255);
  for (int y = 32; y < 64; ++y)
    for (int x = 0; x < 256; ++x)
      sheet[static_cast<size_t>(y * 800 + x) * 4 + 1] = static_cast<uint8_t>(20 + 30 * (x / 32));
  pictures_[51] = toolkit::EncodePng(800, 600, sheet);
  const std::filesystem::path shot = dir() / "shot.png";
  std::set<int> turns;
  for (const char* before : {"あ", "あい", "あいう", "あいうえ", "あいうえお"}) {
    form_.reset();
    Start(std::string("msg \"") + before + "\"\nmsg \"二つ目\"\nwait click\n",
          "wait message\n+100 click 400 300\nwait message\n+300 screenshot " + shot.string() + "\n");
    ASSERT_TRUE(RunUntil([&] { return std::filesystem::exists(shot); }));
    turns.insert(LoadScreenshot(shot).ScanLine(552 + 16)[(752 + 16) * 4 + 1]);
    std::filesystem::remove(shot);
  }
  EXPECT_EQ(turns.size(), 1u) << ::testing::PrintToString(turns);
}

TEST_F(MessageDisplay, ReadSkipPassesMessagesAndAKeyOrTheScriptStopsIt) {
  Start(
      "msg \"前\"\nmsg \"あいうえおかきくけこ\"\nmsg \"止まる\"\nwait click\nmsg \"もう一度\"\nallowskip 0\n"
      "msg \"許されない\"\nwait click\n");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Choose(MenuItem::menuKSkip);
  ASSERT_TRUE(RunUntil([&] { return MessageShown() == u"あいうえおかきくけこ"; }));
  EXPECT_LE(PassesWhile(task::MessageTyping, 10), 4);
  EXPECT_EQ(PassesWhile(task::MessageWait, 10), 1);
  EXPECT_EQ(Task(), task::Script);
  // Enter switches read skip off for good.
  ASSERT_TRUE(RunUntil([&] { return MessageShown() == u"止まる"; }));
  Tap(Key::Enter);
  EXPECT_EQ(PlayModesNow().ReadSkip, 0);
  ASSERT_TRUE(RunUntilTask(task::WaitKey));
  Passes(20);
  Click(400, 300);
  // Without permission to skip, read skip is dropped on the next pass.
  ASSERT_TRUE(RunUntil([&] { return MessageShown() == u"もう一度" && Task() == task::MessageWait; }));
  Choose(MenuItem::menuKSkip);
  ASSERT_TRUE(RunUntil([&] { return MessageShown() == u"許されない"; }));
  Passes(1);
  EXPECT_EQ(PlayModesNow().ReadSkip, 0);
  EXPECT_EQ(PlayModesNow().FastForward, 0);
}

TEST_F(MessageDisplay, SceneSkipDrawsNothingAndPassesAtOnce) {
  Start("msg \"前\"\nmsg \"あいうえお\"\nmsg \"あいう\"\nchoice \"はい\"\n");
  ASSERT_TRUE(RunUntilTask(task::MessageWait));
  Choose(MenuItem::menuSSkip);
  EXPECT_EQ(Notice(), u"シーンスキップしました");
  const int64_t paints = platform().MainPaints();
  ASSERT_TRUE(RunUntil([&] { return MessageShown() == u"あいうえお"; }));
  EXPECT_EQ(MessageLines()[1], u"あいうえお");  // laid out, not drawn
  EXPECT_LE(PassesWhile(task::MessageTyping, 10), 1);
  EXPECT_EQ(PassesWhile(task::MessageWait, 10), 1);
  EXPECT_EQ(Task(), task::Script);
  EXPECT_EQ(platform().MainPaints(), paints);
  // Keys do not end it.
  Tap(Key::Enter);
  EXPECT_EQ(PlayModesNow().SceneSkip, 1);
}

}  // namespace
}  // namespace mokuren::testing
