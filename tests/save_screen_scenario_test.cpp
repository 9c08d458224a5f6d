// The save/load screen and its comment dialog on the headless engine, driven by the events file as a
// player would: the menu or a button opens it, clicks save, load, turn pages and close it, a right click
// opens the comment dialog. Checked through SAVE.DAT, the thumbnails and the screen's own picture.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>

#include "base/sound_slots.h"
#include "base/text_codec.h"
#include "dialogs/TCommentForm.h"
#include "graphics/ABitmapFilters32.h"
#include "graphics/png_decoder.h"
#include "ogg_encode.h"
#include "save/TForm7.h"
#include "save/bmp_file.h"
#include "save/save_date.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"
#include "support/test_surfaces.h"
#include "toolkit/png_writer.h"

namespace mokuren::testing {
namespace {

// An 800x600 picture of one colour with rectangles of others (x, y, w, h, 0xRRGGBB).
struct Box {
  int x, y, w, h;
  uint32_t rgb;
};
std::string Picture(uint32_t rgb, std::initializer_list<Box> boxes = {}) {
  std::vector<uint8_t> rgba(800 * 600 * 4);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      uint32_t c = rgb;
      for (const Box& b : boxes)
        if (x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h) c = b.rgb;
      uint8_t* p = &rgba[(y * 800 + x) * 4];
      p[0] = c >> 16, p[1] = (c >> 8) & 255, p[2] = c & 255, p[3] = 255;
    }
  return toolkit::EncodePng(800, 600, rgba);
}

constexpr uint32_t SaveBackground(int page) { return 0x400000u + 0x100u * page; }
constexpr uint32_t LoadBackground(int page) { return 0x000040u + 0x10000u * page; }
constexpr uint32_t kHover = 0xA0A0A0;
constexpr uint32_t kMarkerInk = 0x00FF00;  // the marker's visible part; the rest is the key colour
constexpr uint32_t kKey = 0xFF00FF;

// The first message waits at step 4, the second at step 8.
const char* kScript =
    "sysmenu 1\n"
    "bg \"BG01\"\n"
    "show\n"
    "bgm 3, 1\n"
    "msg \"一つ目のメッセージ。\"\n"
    "bg \"BG02\"\n"
    "show\n"
    "bgm 0\n"
    "msg \"二つ目のメッセージ。\"\n"
    "msg \"三つ目。\"\n";
constexpr int kFirstMessageStep = 4;

// Offset of slot n in SAVE.DAT, and of its comment.
constexpr size_t SlotOffset(int n) { return 263648 + 1424 * static_cast<size_t>(n); }
constexpr size_t kCommentOffset = 1374;

class SaveScreen : public EngineFixture {
 protected:
  void Start(const std::string& events = {}) {
    TestGame game;
    game.scripts[1] = kScript;
    game.graphics = {{"BG01", SolidPng(800, 600, 0xC0, 0x30, 0x30)}, {"BG02", SolidPng(800, 600, 0x30, 0x30, 0xC0)}};
    for (int page = 1; page <= 10; ++page) {
      game.sysgrp[110 + page] = Picture(SaveBackground(page));
      game.sysgrp[130 + page] = Picture(LoadBackground(page));
    }
    game.sysgrp[121] =
        Picture(0x000000, {{0, 0, 88, 400, kHover}, {0, 400, 64, 64, kKey}, {10, 410, 20, 20, kMarkerInk}});
    BuildTestGame(dir_.path(), game);
    std::filesystem::create_directories(dir_.path() / "Sound");
    WriteFile(dir_.path() / "Sound" / "M03.ogg", EncodeOgg(Sine(330, 6000, 3.0, 2, 44100), 2, 44100));
    StartEngine(events);
    loopStart_ = Now();
    Passes(1);
    form_->Script().NormalPlay = 1;  // as after "はじめから" on the title
  }
  // Time since the main loop started, the clock the events file counts on, and passes until it is `ms`.
  uint32_t Elapsed() { return Now() - loopStart_; }
  void RunUntil(uint32_t ms) {
    EngineFixture::RunUntil([&] { return Elapsed() >= ms; }, 100000);
  }
  TForm7& Screen() { return *form_->Save().SaveLoadForm; }
  // Marks slot n used with the given save date, as a save would.
  void Occupy(int n, const CivilTime& when) {
    form_->Save().Block->Slot(n).Used = 1;
    form_->Save().Block->Slot(n).SaveDate = SaveDateFromCivil(when);
  }
  std::string Path(const char* name) { return (dir_.path() / name).string(); }

  uint32_t loopStart_ = 0;
};

TEST_F(SaveScreen, SavingOnPage3WritesTheRecordAndItsThumbnail) {
  Start(
      "3000 menu menuSave\n"
      "3100 click 147 20\n"   // tab 3
      "3200 click 100 100\n"  // its first slot: 21
      "3300 screenshot-saveload " +
      Path("page3.png") +
      "\n"
      "3400 click 600 580\n");  // close
  RunUntil(3500);
  EXPECT_FALSE(Screen().Visible);
  const std::string file = SaveDat();
  ASSERT_EQ(file.size(), kSaveFileSize);
  EXPECT_EQ(file[SlotOffset(21)], 1);
  int32_t step = 0;
  std::memcpy(&step, &file[SlotOffset(21) + 1044], 4);
  EXPECT_EQ(step, kFirstMessageStep);
  EXPECT_EQ(SavedGame(20).Used, 0);
  EXPECT_EQ(Task(), task::MessageWait);  // the game goes on where it was

  TABitmap thumbnail;
  std::string error;
  ASSERT_TRUE(ReadBmpFile(dir_.path() / "THUMB" / "SAVE21.dat", thumbnail, error)) << error;
  EXPECT_EQ(thumbnail.Width(), 128);
  EXPECT_EQ(thumbnail.Height(), 96);
  const uint8_t* scene = thumbnail.ScanLine(20) + 4 * 64;  // the background, scaled down
  EXPECT_NEAR(scene[2], 0xC0, 4);
  EXPECT_NEAR(scene[1], 0x30, 4);

  // The page shows it: the thumbnail in the first cell, over page 3's background.
  const std::string png = ReadFile(Path("page3.png"));
  PngImage shot;
  ASSERT_TRUE(DecodePng({reinterpret_cast<const uint8_t*>(png.data()), png.size()}, shot, error)) << error;
  EXPECT_EQ(Rgb(shot.pixels, 34 + 64, 53 + 20), Rgb(thumbnail, 64, 20));
  EXPECT_EQ(Rgb(shot.pixels, 600, 300), SaveBackground(3));
}

TEST_F(SaveScreen, NewestSaveDecidesTheOpeningPageAndCarriesTheMarker) {
  Start();
  Occupy(3, {2026, 12, 8, 9, 5, 3});
  Occupy(27, {2026, 12, 8, 9, 5, 4});
  Screen().Tag = TForm7::kLoadMode;
  Screen().FormShow();
  EXPECT_EQ(Screen().CurrentPage, 3);
  // Slot 27 is the right column's second row; the marker's key colour leaves the background.
  EXPECT_EQ(Rgb(Screen().Image1, 308 + 15, 158 + 15), kMarkerInk);
  EXPECT_EQ(Rgb(Screen().Image1, 308 + 2, 158 + 2), LoadBackground(3));

  Occupy(3, {2026, 12, 8, 9, 5, 5});
  Screen().FormShow();
  EXPECT_EQ(Screen().CurrentPage, 1);
  EXPECT_EQ(Rgb(Screen().Image1, 34 + 15, 263 + 15), kMarkerInk);
  // Saves of equal date: the lower slot is the newest. The quick-save slot never is.
  Occupy(27, {2026, 12, 8, 9, 5, 5});
  Occupy(100, {2030, 1, 1, 0, 0, 0});
  EXPECT_EQ(Screen().NewestSlot(), 3);
}

// The slot's date as the Japanese short date and long time, and its comment in three lines of 8 units,
// drawn where the page puts them: compared with the engine's own rendering of the expected texts.
TEST_F(SaveScreen, SlotShowsItsDateAndCommentLines) {
  Start();
  Occupy(7, {2026, 12, 8, 9, 5, 3});
  const std::u16string comment = u"雨の日の帰り道。傘の中で思い出したのは約束の話。";
  std::copy(comment.begin(), comment.end(), form_->Save().Block->Slot(7).Comment);
  Screen().Tag = TForm7::kSaveMode;
  Screen().FormShow();
  TABitmap expected = Screen().Image3;
  form_->Save().DrawScreenText(expected, 445, 132 + 105, u"2026/12/08 9:05:03", 10);
  for (int k = 0; k < 3; ++k)
    form_->Save().DrawScreenText(expected, 441, 76 + 16 * k + 105, comment.substr(8 * k, 8), 14);
  for (int y = 157; y <= 255; ++y)
    for (int x = 436; x <= 565; ++x) ASSERT_EQ(Rgb(Screen().Image1, x, y), Rgb(expected, x, y)) << x << "," << y;
}

TEST_F(SaveScreen, QuickSaveSlotIsRefusedInSaveModeAndLoadsInLoadMode) {
  Start();
  Screen().Tag = TForm7::kSaveMode;
  Screen().FormShow();
  Screen().Image1MouseDown(MouseButton::Left, {565, 20});
  EXPECT_EQ(Screen().CurrentPage, 10) << "x 565 is the last tab";
  Screen().Image1MouseDown(MouseButton::Left, {566, 20});
  EXPECT_EQ(Screen().CurrentPage, 10) << "x 566 is no tab";
  Screen().Image1MouseDown(MouseButton::Left, {40, 20});
  EXPECT_EQ(Screen().CurrentPage, 1);
  Screen().Image1MouseDown(MouseButton::Left, {565, 20});
  EXPECT_EQ(Rgb(Screen().Image1, 365, 540), 0xFFFF00u) << "the 通常セーブ不可 box over slot 100";
  EXPECT_EQ(Rgb(Screen().Image1, 363, 496), 0x000000u);
  Screen().Image1MouseDown(MouseButton::Left, {400, 500});
  EXPECT_EQ(SavedGame(100).Used, 0);

  Apply("quicksave");
  Screen().Tag = TForm7::kLoadMode;
  Screen().FormShow();
  Screen().Image1MouseDown(MouseButton::Left, {565, 20});
  EXPECT_NE(Rgb(Screen().Image1, 365, 540), 0xFFFF00u);
  Screen().Image1MouseDown(MouseButton::Left, {400, 500});
  EXPECT_EQ(Task(), task::Restore);
  EXPECT_FALSE(Screen().Visible);
}

TEST_F(SaveScreen, CloseAreaShowsThePagesHoverPictureOnlyUnderThePointer) {
  Start(
      "3000 menu menuLoad\n"
      "3100 move 600 580\n"
      "3200 screenshot-saveload " +
      Path("hover.png") +
      "\n"
      "3300 move 700 580\n"
      "3400 screenshot-saveload " +
      Path("plain.png") +
      "\n"
      "3500 click 600 580\n"
      "3600 screenshot-saveload " +
      Path("closed.png") + "\n");
  RunUntil(3700);
  auto pixel = [](const std::string& file) {
    const std::string png = ReadFile(file);
    PngImage shot;
    std::string error;
    EXPECT_TRUE(DecodePng({reinterpret_cast<const uint8_t*>(png.data()), png.size()}, shot, error)) << error;
    return shot.pixels.IsValid() ? Rgb(shot.pixels, 620, 580) : 0u;
  };
  EXPECT_EQ(pixel(Path("hover.png")), kHover);
  EXPECT_EQ(pixel(Path("plain.png")), LoadBackground(1));
  EXPECT_FALSE(std::filesystem::exists(Path("closed.png")));
}

TEST_F(SaveScreen, CommentTypedThroughTheDialogReachesSaveDatAndCancelChangesNothing) {
  Start(
      "3000 menu menuSave\n"
      "3100 click 100 100\n"
      "3200 rclick 100 100\n"
      "3300 comment 雨の日の帰り道、傘の中で思い出した約束の話を書き留める。\n"
      "3400 dialog ok\n"
      "3500 rclick 100 100\n"
      "3600 dialog-text " +
      Path("texts.txt") +
      "\n"
      "3700 comment 消えるはずの\n"
      "3800 dialog cancel\n"
      "3900 click 600 580\n");
  RunUntil(4000);
  form_->CloseConfirmed();  // writes SAVE.DAT, as the end of the game does
  const std::string file = SaveDat();
  std::u16string stored(24, u'\0');
  std::memcpy(stored.data(), &file[SlotOffset(1) + kCommentOffset], 48);
  EXPECT_EQ(stored, u"雨の日の帰り道、傘の中で思い出した約束の話を書き");
  // The box took only what the slot keeps, and kept it for the second showing.
  EXPECT_EQ(ReadFile(Path("texts.txt")), "コメント\n雨の日の帰り道、傘の中で思い出した約束の話を書き\n");
}

TEST_F(SaveScreen, LoadingRestoresPictureMusicAndScriptPosition) {
  Start(
      "3000 menu menuSave\n"
      "3100 click 100 100\n"
      "3200 click 600 580\n"
      "3500 click 400 300\n"  // on to the second message
      "8000 menu menuLoad\n"
      "8100 click 100 100\n");
  RunUntil(7900);
  ASSERT_GT(Step(), kFirstMessageStep);
  ASSERT_EQ(MusicKept(), 0);
  RunUntil(8150);
  EXPECT_FALSE(Screen().Visible);
  ASSERT_TRUE(RunUntilTask(task::MessageWait, 400));
  EXPECT_EQ(Step(), kFirstMessageStep);
  EXPECT_EQ(Rgb(Frame(), 400, 300), 0xC03030u);
  EXPECT_EQ(MusicKept(), 3);
  EXPECT_TRUE(SoundSlot(stream::MusicA) > 1 || SoundSlot(stream::MusicB) > 1) << "the music plays again";
}

// Thumbnails that are missing, cut short or not bitmaps leave the background and are reported once each;
// a slot whose record holds garbage shows without harm.
TEST_F(SaveScreen, BadThumbnailsAndDamagedSlotsShowWithoutHarm) {
  Start();
  for (int n = 1; n <= 4; ++n) Occupy(n, {2026, 1, n, 0, 0, 0});
  std::filesystem::create_directories(dir_.path() / "THUMB");
  TABitmap thumb(128, 96);
  std::vector<uint8_t> bmp = EncodeBmp32(thumb);
  WriteFile(dir_.path() / "THUMB" / "SAVE2.dat", std::string(bmp.begin(), bmp.begin() + 1000));
  WriteFile(dir_.path() / "THUMB" / "SAVE3.dat", "not a bitmap");
  WriteFile(dir_.path() / "THUMB" / "SAVE4.dat", std::string(bmp.begin(), bmp.end()));
  SaveRecord& damaged = form_->Save().Block->Slot(4);
  damaged.SaveDate = std::nan("");
  for (int i = 0; i < 24; ++i) damaged.Comment[i] = static_cast<uint16_t>(0xD800 + 37 * i);
  damaged.Comment[5] = 0xFFFF;
  const size_t before = Errors().size();
  Screen().Tag = TForm7::kLoadMode;
  Screen().FormShow();
  Screen().DrawSaveInfo(1);
  const std::vector<std::string> errors = Errors();
  ASSERT_EQ(errors.size(), before + 3);
  for (int n = 1; n <= 3; ++n)
    EXPECT_NE(errors[before + n - 1].find("SAVE" + std::to_string(n) + ".dat"), std::string::npos);
  EXPECT_EQ(Rgb(Screen().Image1, 34 + 64, 53 + 48), LoadBackground(1));
  EXPECT_EQ(Rgb(Screen().Image1, 34 + 64, 53 + 105 + 48), LoadBackground(1));
  EXPECT_EQ(Rgb(Screen().Image1, 34 + 64, 53 + 315 + 48), 0x000000u) << "slot 4's good thumbnail";
  // A slot whose date is not a number never counts as the newest.
  EXPECT_EQ(Screen().NewestSlot(), 3);
}

TEST_F(SaveScreen, ButtonsOpenTheScreenInNormalPlayOnly) {
  // Button 7 (SAVE) covers x 544-607 of the row at y 580-599.
  Start(
      "3000 click 560 590\n"
      "3100 screenshot-saveload " +
      Path("from-button.png") +
      "\n"
      "3200 click 600 580\n");
  RunUntil(3300);
  EXPECT_TRUE(std::filesystem::exists(Path("from-button.png")));
  // In a scene replay the save and load buttons are disabled, and so are the menu items.
  form_->Script().NormalPlay = 0;
  Passes(2);
  EXPECT_EQ(ButtonLook(button::SaveScreen), button_state::Disabled);
  EXPECT_FALSE(MenuItemEnabled(MenuItem::menuLoad));
  const int32_t step = Step();
  Click(560, 590);
  Passes(2);
  EXPECT_FALSE(Screen().Visible);
  EXPECT_NE(Step(), step) << "the click is not taken by a disabled button: it goes on to the message";
}

}  // namespace
}  // namespace mokuren::testing
