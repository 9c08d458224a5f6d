// The message window on a headless engine: rendering of the text layers, typing at the three speeds,
// the ways a message ends (click, held Enter, auto mode, skips) and hiding the window.
#include <gtest/gtest.h>

#include <cstring>

#include "text_fixture.h"

namespace mokuren::testing {
namespace {

using MessageDisplay = TextFixture;

// Transparency byte of a layer pixel.
int T(const TABitmap& s, int x, int y) { return s.ScanLine(y)[x * 4 + 3]; }

// The most opaque pixel of a rectangle of a layer: its position and colour.
struct Ink {
  int minT = 256;
  uint8_t b = 0, g = 0, r = 0;
};
Ink MostOpaque(const TABitmap& s, int x0, int y0, int x1, int y1) {
  Ink ink;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint8_t* p = s.ScanLine(y) + x * 4;
      if (p[3] < ink.minT) ink = {p[3], p[0], p[1], p[2]};
    }
  return ink;
}

TEST_F(MessageDisplay, LayersCarryTheTextAsTransparency) {
  ShowMessage(u"①さん「こんにちは」");
  EXPECT_EQ(form_->MessageLines[0], u"カザミネさん");
  const TABitmap& text = form_->SurfaceTable[58];
  const TABitmap& shadow = form_->SurfaceTable[59];
  ASSERT_EQ(text.Width(), 800);
  ASSERT_EQ(text.Height(), 184);
  // The name is orange, the lines white; glyphs are opaque at their core.
  Ink name = MostOpaque(text, 32, 10, 32 + 6 * 28, 38);
  EXPECT_EQ(name.minT, 0);
  EXPECT_EQ(name.r, 255);
  EXPECT_EQ(name.g, 192);
  EXPECT_EQ(name.b, 96);
  Ink line = MostOpaque(text, 32, 50, 32 + 7 * 28, 78);
  EXPECT_EQ(line.minT, 0);
  EXPECT_EQ(line.r, 255);
  EXPECT_EQ(line.b, 255);
  // The shadow is black and two pixels down and right.
  Ink dark = MostOpaque(shadow, 34, 52, 34 + 7 * 28, 80);
  EXPECT_EQ(dark.minT, 0);
  EXPECT_EQ(dark.r, 0);
  for (int x = 0; x < 800; ++x) EXPECT_EQ(T(shadow, x, 50), 255) << x;
  // Nothing beyond the text, nothing left of the origin, nothing on unused lines.
  EXPECT_EQ(MostOpaque(text, 32 + 8 * 28, 0, 800, 184).minT, 255);
  EXPECT_EQ(MostOpaque(text, 0, 0, 32, 184).minT, 255);
  EXPECT_EQ(MostOpaque(text, 0, 90, 800, 184).minT, 255);
}

TEST_F(MessageDisplay, LogViewIsGreyAndAFourthLineIsNeverDrawn) {
  form_->LogView = 1;
  form_->Kumo_MakeMessage(u"名「一/二/三/四」");
  Ink name = MostOpaque(form_->SurfaceTable[58], 32, 10, 100, 38);
  EXPECT_EQ(name.minT, 0);
  EXPECT_EQ(name.r, 192);
  EXPECT_EQ(name.g, 192);
  EXPECT_EQ(name.b, 192);
  EXPECT_EQ(form_->MessageLines[3], u"　三");
  EXPECT_LT(MostOpaque(form_->SurfaceTable[58], 32, 130, 200, 170).minT, 64);
  EXPECT_EQ(MostOpaque(form_->SurfaceTable[58], 0, 170, 800, 184).minT, 255);
  EXPECT_EQ(MostOpaque(form_->SurfaceTable[59], 0, 174, 800, 184).minT, 255);
}

TEST_F(MessageDisplay, NormalSpeedTypesOneCharacterPerFrameClippedTo28Pixels) {
  ShowMessage(u"あいうえおかきくけこ");
  const int64_t frames = form_->FrameCount();
  while (form_->FrameCount() == frames) form_->IdleEvent();
  EXPECT_EQ(form_->RevealCount, 1);
  EXPECT_EQ(form_->TaskCode, task::MessageTyping);
  // Line 1's band shows its first 28 + 34 pixels; the rest is the bare window frame.
  const TABitmap& f = form_->FrameSurface;
  const uint8_t* bare = f.ScanLine(416 + 60) + 700 * 4;
  bool inkLeft = false;
  for (int y = 416 + 50; y < 416 + 90; ++y) {
    for (int x = 62; x < 800; ++x) ASSERT_EQ(std::memcmp(f.ScanLine(y) + x * 4, bare, 3), 0) << x << "," << y;
    for (int x = 32; x < 62; ++x) inkLeft |= f.ScanLine(y)[x * 4 + 2] > 128;
  }
  EXPECT_TRUE(inkLeft);
  // Ten characters take ten frames; the eleventh shows everything and starts the wait.
  while (form_->TaskCode == task::MessageTyping) form_->IdleEvent();
  EXPECT_EQ(form_->FrameCount() - frames, 11);
  EXPECT_LE(form_->AutoElapsed, 10);  // reset by the last frame, then one timer tick
}

TEST_F(MessageDisplay, FastSpeedShowsAllOnTheFirstFrameAndSlowSpeedHoldsTheLoop) {
  form_->MessageSpeed = 1;
  ShowMessage(u"あいうえお");
  const int64_t frames = form_->FrameCount();
  PassesWhile(task::MessageTyping);
  EXPECT_EQ(form_->FrameCount() - frames, 1);

  form_->MessageSpeed = 3;
  ShowMessage(u"あいうえお");
  const uint32_t start = Now();
  PassesWhile(task::MessageTyping);
  // Five characters at about 110 ms each (the pause plus the loop's own rest).
  EXPECT_GE(Now() - start, 5u * 100);
  EXPECT_LE(Now() - start, 5u * 150);
}

TEST_F(MessageDisplay, EmptyMessageCompletesOnTheFirstFrame) {
  ShowMessage(u"");
  const int64_t frames = form_->FrameCount();
  PassesWhile(task::MessageTyping);
  EXPECT_EQ(form_->FrameCount() - frames, 1);
  EXPECT_EQ(form_->TaskCode, task::MessageWait);
}

TEST_F(MessageDisplay, AClickCompletesTypingWithoutAdvancingThenAnotherAdvances) {
  ShowMessage(u"あいうえおかきくけこさしすせそ");
  Passes(7);
  ASSERT_EQ(form_->TaskCode, task::MessageTyping);
  Click(400, 300);
  PassesWhile(task::MessageTyping, 10);
  EXPECT_EQ(form_->TaskCode, task::MessageWait);
  EXPECT_EQ(form_->ClickPending, 0);
  Passes(50);
  EXPECT_EQ(form_->TaskCode, task::MessageWait);
  EXPECT_EQ(form_->MessageDone, 0);
  // The waiting message advances on the next click.
  Click(400, 300);
  Passes(1);
  EXPECT_EQ(form_->TaskCode, task::Script);
  EXPECT_EQ(form_->MessageDone, 1);
}

TEST_F(MessageDisplay, HeldEnterAdvancesAboutEvery100ms) {
  ShowMessage(u"あいう");
  platform_->InjectKey(Key::Enter, true);
  PassesWhile(task::MessageTyping);
  ASSERT_EQ(form_->TaskCode, task::MessageWait);
  EXPECT_GE(form_->KeyLock, 9);  // locked by the typing Enter completed (one timer tick since)
  const uint32_t typed = Now();
  PassesWhile(task::MessageWait);
  ASSERT_EQ(form_->TaskCode, task::Script);
  EXPECT_GE(Now() - typed, 90u);
  EXPECT_LE(Now() - typed, 130u);
  EXPECT_GE(form_->KeyLock, 9);
  // The next message is typed and passed too while Enter stays down.
  ShowMessage(u"えお");
  const uint32_t shown = Now();
  PassesWhile(task::MessageTyping);
  PassesWhile(task::MessageWait);
  EXPECT_EQ(form_->TaskCode, task::Script);
  EXPECT_LE(Now() - shown, 260u);
}

TEST_F(MessageDisplay, AutoModeAdvancesAfterTheDelayPlusHalfASecond) {
  form_->AutoDelay = 2;
  form_->AutoMode = 1;
  ShowMessage(u"あいう");
  PassesWhile(task::MessageTyping);
  const uint32_t typed = Now();
  PassesWhile(task::MessageWait);
  ASSERT_EQ(form_->TaskCode, task::Script);
  EXPECT_GE(Now() - typed, 2500u);
  EXPECT_LE(Now() - typed, 2550u);
  EXPECT_EQ(form_->AutoMode, 1);  // an automatic advance keeps auto mode
  // A manual advance ends it.
  ShowMessage(u"あいう");
  PassesWhile(task::MessageTyping);
  platform_->InjectKey(Key::Enter, true);
  PassesWhile(task::MessageWait);
  EXPECT_EQ(form_->AutoMode, 0);
  // A damaged SAVE.DAT's delay neither overflows into an early advance nor stops the game.
  platform_->InjectKey(Key::Enter, false);
  form_->AutoDelay = 0x7FFFFFFF;
  form_->AutoMode = 1;
  ShowMessage(u"あいう");
  PassesWhile(task::MessageTyping);
  Passes(300);
  EXPECT_EQ(form_->TaskCode, task::MessageWait);
}

TEST_F(MessageDisplay, SpaceHidesTheWindowAndOnlySpaceBringsItBack) {
  ShowMessage(u"あいう");
  form_->AutoMode = 1;
  form_->AutoDelay = 0;
  form_->MessageSpeed = 1;
  PassesWhile(task::MessageTyping);
  Tap(Key::Space);
  EXPECT_EQ(form_->WindowShown, 0);
  EXPECT_EQ(form_->AutoMode, 0);
  // The popup menu now offers to show the window.
  form_->FormMouseDown(MouseButton::Right, {10, 10});
  EXPECT_EQ(platform_->MenuCaption(MenuItem::menuWindow), u"ウィンドウ表示");
  EXPECT_EQ(platform_->Popups(), 1);
  // Clicks and Enter do nothing while hidden, and are not remembered.
  Passes(20);
  Click(400, 300);
  Passes(5);
  Tap(Key::Enter);
  Passes(20);
  EXPECT_EQ(form_->TaskCode, task::MessageWait);
  Tap(Key::Space);
  EXPECT_EQ(form_->WindowShown, 1);
  Passes(30);
  EXPECT_EQ(form_->TaskCode, task::MessageWait);
  form_->PopupMenu1Popup();
  EXPECT_EQ(platform_->MenuCaption(MenuItem::menuWindow), u"ウィンドウ消去");
}

TEST_F(MessageDisplay, WaitingIconShowsExceptInLogView) {
  // Eight icon frames at y = 32 of the system sheet: a white square on the transparent colour.
  TABitmap& sheet = form_->SurfaceTable[92];
  for (int y = 40; y < 56; ++y)
    for (int x = 0; x < 256; ++x)
      if (x % 32 >= 8 && x % 32 < 24) std::memset(sheet.ScanLine(y) + x * 4, 255, 3);
  form_->MessageSpeed = 1;
  ShowMessage(u"あ");
  PassesWhile(task::MessageTyping);
  const int64_t frames = form_->FrameCount();
  while (form_->FrameCount() == frames) form_->IdleEvent();
  const uint8_t* centre = form_->FrameSurface.ScanLine(552 + 16) + (752 + 16) * 4;
  const uint8_t* corner = form_->FrameSurface.ScanLine(552 + 1) + (752 + 1) * 4;
  EXPECT_EQ(centre[0], 255);
  // The key colour (the frame's top-left pixel) is not drawn.
  EXPECT_EQ(corner[0], form_->FrameSurface.ScanLine(552 + 1)[700 * 4]);
  EXPECT_NE(corner[0], 255);
  form_->LogView = 1;
  while (form_->FrameCount() == frames + 1) form_->IdleEvent();
  EXPECT_NE(form_->FrameSurface.ScanLine(552 + 16)[(752 + 16) * 4], 255);
}

TEST_F(MessageDisplay, ReadSkipPassesMessagesAndAKeyStopsIt) {
  form_->ReadSkip = 1;
  ShowMessage(u"あいうえおかきくけこ");
  EXPECT_LE(PassesWhile(task::MessageTyping, 10), 4);
  EXPECT_EQ(PassesWhile(task::MessageWait, 10), 1);
  EXPECT_EQ(form_->TaskCode, task::Script);
  // Enter switches read skip off for good.
  ShowMessage(u"あいうえおかきくけこ");
  form_->ReadSkip = 1;
  Tap(Key::Enter);
  EXPECT_EQ(form_->ReadSkip, 0);
  // Without permission to skip, read skip is dropped on the next pass.
  form_->SkipAllowed = 0;
  form_->ReadSkip = 1;
  ShowMessage(u"あいう");
  Passes(1);
  EXPECT_EQ(form_->ReadSkip, 0);
  EXPECT_EQ(form_->FastForward, 0);
}

TEST_F(MessageDisplay, SceneSkipDrawsNothingAndPassesAtOnce) {
  form_->menuSSkipClick();
  EXPECT_EQ(form_->NoticeText, u"シーンスキップしました");
  EXPECT_EQ(form_->NoticeTimer, 300);
  const TABitmap before = form_->SurfaceTable[58];
  ShowMessage(u"あいうえお");
  EXPECT_EQ(form_->SurfaceTable[58], before);  // laid out, not rendered
  EXPECT_EQ(form_->MessageLines[1], u"あいうえお");
  const int64_t paints = platform_->MainPaints();
  EXPECT_EQ(PassesWhile(task::MessageTyping, 10), 1);
  EXPECT_EQ(PassesWhile(task::MessageWait, 10), 1);
  EXPECT_EQ(form_->TaskCode, task::Script);
  EXPECT_EQ(platform_->MainPaints(), paints);
  // Keys do not end it.
  ShowMessage(u"あいう");
  Tap(Key::Enter);
  EXPECT_EQ(form_->SceneSkip, 1);
}

}  // namespace
}  // namespace mokuren::testing
