// The album on the headless engine, driven by events as a player would: a small game whose script shows
// some event pictures and unlocks three scenes before its title, album screens of plain colours, and
// the checks on what the screen shows, what a replay runs and, for the music room, what is heard.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <map>

#include "app/event_script.h"
#include "graphics/ABitmapFilters32.h"
#include "menus/album_layout.h"
#include "menus/album_screens.h"
#include "ogg_encode.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"
#include "support/screenshot_file.h"
#include "support/test_surfaces.h"
#include "support/wav_file.h"
#include "toolkit/png_writer.h"

namespace mokuren::testing {
namespace {

constexpr uint32_t kLock = 0x404040;       // the sheets' locked look
constexpr uint32_t kFrame = 0xE0C000;      // the hover frame's edge
constexpr uint32_t kKey = 0xFF00FF;        // inside the hover frame: transparent
constexpr uint32_t kButtonLit = 0x00C0C0;  // the buttons' highlighted looks
constexpr uint32_t PicturePage(int page) { return 0x100000u * page + 0x30; }
constexpr uint32_t ScenePage(int page) { return 0x001000u * page + 0x50; }
constexpr uint32_t Cg(int entry) { return 0x400000u | static_cast<uint32_t>(entry - 300) << 8 | 0x20; }

std::string SolidPicture(uint32_t rgb) { return SolidPng(800, 600, rgb >> 16, (rgb >> 8) & 255, rgb & 255); }

// A sheet of the galleries: the locked look, the hover frame around its key, the lit buttons.
std::string GallerySheet() {
  struct Box {
    int x, y, w, h;
    uint32_t rgb;
  };
  const Box boxes[] = {{160, 40, 141, 106, kLock},     {0, 40, 145, 110, kFrame},      {2, 42, 141, 106, kKey},
                       {168, 568, 32, 32, kButtonLit}, {212, 568, 32, 32, kButtonLit}, {32, 568, 112, 32, kButtonLit}};
  std::vector<uint8_t> rgba(800 * 600 * 4);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      uint32_t c = 0x202020;
      for (const Box& b : boxes)
        if (x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h) c = b.rgb;
      uint8_t* p = &rgba[(y * 800 + x) * 4];
      p[0] = c >> 16, p[1] = (c >> 8) & 255, p[2] = c & 255, p[3] = 255;
    }
  return toolkit::EncodePng(800, 600, rgba);
}

// Shows 372 (the second picture of page 1, slot 1, whose first is never shown) and pictures 1 and 3 of
// page 2, slot 5; unlocks scenes 101-103, each of which appends its number's last digit to F1.
TestGame AlbumGame() {
  TestGame game;
  game.scripts[1] = "cursor 1\nsysmenu 0\nbg 372\nbg 531\nbg 533\nS201 = 1\nS202 = 1\nS203 = 1\ntitle\n";
  for (int scene = 101; scene <= 103; ++scene)
    game.scripts[scene] = "F1 = F1 * 10\nF1 = F1 + " + std::to_string(scene - 100) + "\n";
  game.graphics.resize(533);
  for (int entry : {371, 372, 531, 532, 533})
    game.graphics[static_cast<size_t>(entry - 1)] = {"CG", SolidPicture(Cg(entry))};
  for (int page = 1; page <= 10; ++page) {
    game.sysgrp[70 + page] = SolidPicture(PicturePage(page));
    game.sysgrp[80 + page] = SolidPicture(ScenePage(page));
  }
  game.sysgrp[65] = SolidPicture(0x102030);
  game.sysgrp[97] = game.sysgrp[98] = GallerySheet();
  return game;
}

Point Centre(int slot) {
  const Point corner = album::kSlotCorners[static_cast<size_t>(slot - 1)];
  return {corner.x + 70, corner.y + 53};
}

class AlbumScreen : public EngineFixture {
 protected:
  void SetUp() override {
    BuildTestGame(dir_.path(), AlbumGame());
    StartEngine();
    ASSERT_TRUE(PassUntil(task::TitleMenu));
    Do("click 200 200");  // the title's "アルバム"
    ASSERT_TRUE(PassUntil(task::AlbumMenu));
  }
  // One line of the events file, applied now.
  void Do(const std::string& line) {
    Apply(line);
    Passes(4);  // a frame is composed at least every 3.4 passes
  }
  bool PassUntil(int32_t code, int limit = 500) {
    RunUntilTask(code, limit);
    Passes(4);
    return Task() == code;
  }
  void Open(const std::string& click, int32_t waitCode) {
    Do(click);
    ASSERT_TRUE(PassUntil(waitCode));
  }
  // The screen as the album draws it, before the hover frames and buttons of the frame.
  const TABitmap& Screen() { return form_->Pictures().DisplaySurface; }
  uint32_t Shown(Point p) { return Rgb(Screen(), p.x, p.y); }
  uint32_t Framed(Point p) { return Rgb(Frame(), p.x, p.y); }
  // The first row of slots as shown, with every byte.
  TABitmap TopBand() {
    TABitmap band(800, 140);
    CopyOpaque(Screen(), band, 0, 0, 800, 140, 0, 0);
    return band;
  }
};

TEST_F(AlbumScreen, LockedSlotsIgnoreThePointerAndAPictureShowsOnlyItsSeenVariants) {
  Open("click 100 110", task::CgMenu);
  // Slot 1's second picture was shown, its first never: locked like slot 4, which nothing was shown of.
  EXPECT_EQ(Shown(Centre(1)), kLock);
  EXPECT_EQ(Shown(Centre(4)), kLock);
  Do("move 107 85");
  EXPECT_EQ(form_->Albums().Hover, 0);
  EXPECT_EQ(Framed({35, 30}), PicturePage(1));  // no hover frame
  Do("click 107 85");
  EXPECT_EQ(Task(), task::CgMenu);

  Open("click 228 584", task::CgMenu);  // next page
  EXPECT_EQ(Shown(Centre(5)), PicturePage(2));
  EXPECT_EQ(Shown(Centre(4)), kLock);
  Do("move 271 218");
  EXPECT_EQ(Framed({199, 163}), kFrame);
  EXPECT_EQ(Framed(Centre(5)), PicturePage(2));  // the key colour leaves the thumbnail visible
  // Pictures 1 and 3 were seen, 2 was not.
  Open("click 271 218", task::Cg);
  EXPECT_EQ(Shown({400, 300}), Cg(531));
  Open("click 400 300", task::Cg);
  EXPECT_EQ(Shown({400, 300}), Cg(533));
  Open("click 400 300", task::CgMenu);
  EXPECT_EQ(Shown(Centre(5)), PicturePage(2));
}

// Without a mouse: the arrows and Tab choose, Enter opens, PageDown turns the page, Escape goes back.
TEST_F(AlbumScreen, KeysAloneOpenAPictureAndGoBackToTheTitle) {
  const auto key = [&](Key k) {
    Tap(k);
    Passes(4);
  };
  Do("move 700 500");  // off every item
  key(Key::Down);
  EXPECT_EQ(form_->Albums().Hover, album::PictureGallery);
  key(Key::Enter);
  ASSERT_TRUE(PassUntil(task::CgMenu));
  key(Key::PageDown);
  ASSERT_TRUE(PassUntil(task::CgMenu));
  EXPECT_EQ(Shown(Centre(5)), PicturePage(2));
  key(Key::Tab);  // the one slot of the page that opens
  EXPECT_EQ(Framed({199, 163}), kFrame);
  key(Key::Enter);
  ASSERT_TRUE(PassUntil(task::Cg));
  EXPECT_EQ(Shown({400, 300}), Cg(531));
  key(Key::Escape);
  ASSERT_TRUE(PassUntil(task::CgMenu));
  EXPECT_EQ(Framed({199, 163}), kFrame) << "the picture's slot is still chosen";
  key(Key::Escape);
  ASSERT_TRUE(PassUntil(task::AlbumMenu));
  key(Key::Escape);
  EXPECT_TRUE(PassUntil(task::TitleMenu));
}

TEST_F(AlbumScreen, PagesWrapAroundAndAlbumOnUnlocksEveryPicture) {
  Open("click 100 110", task::CgMenu);
  Do("move 184 584");
  EXPECT_EQ(Framed({184, 584}), kButtonLit);
  Open("click 184 584", task::CgMenu);  // previous page of page 1
  EXPECT_EQ(Shown({600, 300}), PicturePage(10));
  Open("click 228 584", task::CgMenu);  // next page of page 10
  EXPECT_EQ(Shown({600, 300}), PicturePage(1));

  Do("debug AlbumOn " + (dir_.path() / "dump.txt").string());
  Open("click 80 584", task::AlbumMenu);
  Open("click 100 110", task::CgMenu);
  for (int slot = 1; slot <= 10; ++slot) EXPECT_EQ(Shown(Centre(slot)), PicturePage(1)) << "slot " << slot;
  // A slot whose picture the game lacks shows black, not the page again.
  Open("click " + std::to_string(Centre(2).x) + " " + std::to_string(Centre(2).y), task::Cg);
  EXPECT_EQ(Shown(Centre(2)), 0x000000u);
}

TEST_F(AlbumScreen, ScenesAreNumberedAsClickedAndReplayInThatOrderBackToTheirPage) {
  Open("click 100 150", task::EvMenu);
  for (int slot : {2, 1, 3}) Do("click " + std::to_string(Centre(slot).x) + " " + std::to_string(Centre(slot).y));
  // Each slot carries its place in the list, drawn as the engine draws it.
  const TABitmap plain = Solid(800, 140, ScenePage(1) & 255, (ScenePage(1) >> 8) & 255, ScenePage(1) >> 16, 0);
  TABitmap expected = plain;
  const int places[] = {2, 1, 3};
  for (int slot = 1; slot <= 3; ++slot) {
    const Point at = album::kSlotCorners[static_cast<size_t>(slot - 1)];
    const std::u16string number = std::u16string(1, static_cast<char16_t>(u'0' + places[slot - 1]));
    form_->Canvas().CanvasTextOut(expected, at.x + 5, at.y + 5, number, 24, 0, 0, 0);
    form_->Canvas().CanvasTextOut(expected, at.x + 4, at.y + 4, number, 24, 255, 0, 0);
  }
  EXPECT_TRUE(TopBand() == expected);

  // A listed scene plays the list; the scenes run in the order they were clicked.
  Do("click " + std::to_string(Centre(1).x) + " " + std::to_string(Centre(1).y));
  EXPECT_EQ(form_->Script().NormalPlay, 0);
  ASSERT_TRUE(PassUntil(task::EvMenu));
  EXPECT_EQ(Var('F', 1), 213);
  EXPECT_EQ(Script(), 1);
  EXPECT_TRUE(TopBand() == plain);  // the list is done and its numbers are gone
}

TEST_F(AlbumScreen, ATaskCodeNoTaskKnowsLeadsBackToTheTitle) {
  form_->TaskCode = 0x700999;  // no screen or script can set it: the test puts the engine there itself
  ASSERT_TRUE(PassUntil(task::TitleMenu));
  EXPECT_EQ(Errors().back(), "TaskCode 0x700999 belongs to no task; back to the title");
}

// The music room on the real program: each track a sine of its own loudness, the output recorded.
TEST(MusicRoom, RowsSwitchVersionsAndEightWithNineAndLeavingWithNoneChosenPlaysNine) {
  TempDir dir;
  TestGame game;
  game.scripts[1] = "cursor 1\nsysmenu 0\ntitle\n";
  game.sysgrp[67] = SolidPicture(0x203020);
  BuildTestGame(dir.path(), game);
  const std::map<std::string, double> amplitude = {
      {"M03", 4000}, {"M09", 7000}, {"M01", 10000}, {"M01P", 13000}, {"M08", 16000}};
  std::filesystem::create_directories(dir.path() / "Sound");
  for (const auto& [name, a] : amplitude)
    WriteFile(dir.path() / "Sound" / (name + ".ogg"), EncodeOgg(Sine(440, a, 3.0, 2, 44100), 2, 44100));
  // The title and the album menu play track 3, chosen in an earlier visit.
  auto block = std::make_unique<SaveBlock>();
  block->MessageSpeed = 2;
  block->BgmVolume = 30;
  block->AlbumBgmNo = 3;
  WriteFile(dir.path() / "SAVE.DAT", std::string(reinterpret_cast<const char*>(block.get()), sizeof(SaveBlock)));
  const auto path = [&](const char* name) { return (dir.path() / name).string(); };
  WriteFile(dir.path() / "events.txt",
            "1000 click 200 200\n"  // album
            "2000 click 100 200\n"  // music room: the music fades out over 2 s
            "4800 screenshot " +
                path("silent.png") +
                "\n"
                "5000 click 60 580\n"    // back, nothing chosen
                "7000 click 100 200\n"   // the music room again
                "9500 click 300 260\n"   // row 1
                "11500 click 300 260\n"  // row 1 again: its second version
                "13500 click 300 430\n"  // row 8
                "15500 click 300 430\n"  // row 8 again: track 9
                "16800 screenshot " +
                path("nine.png") +
                "\n"
                "17500 click 300 430\n"  // and track 8 again
                "19000 screenshot " +
                path("eight.png") +
                "\n"
                "19500 click 60 580\n");
  ASSERT_EQ(RunProgram("'" + dir.path().string() + "' --headless --max-ms 20500 --events " + path("events.txt") +
                           " --record-audio " + path("out.wav"),
                       {}, path("stderr.txt")),
            0)
      << ReadFile(path("stderr.txt"));
  const WavRecording r = ReadWav(path("out.wav"));
  // Loop time 0 is where the title's music begins to fade in.
  const size_t start = r.FirstAbove(0, 0, 50, 441);
  auto heard = [&](uint32_t ms) { return r.Rms(start + ms * 441 / 10, 4410, 0); };
  auto level = [&](const char* name) { return amplitude.at(name) / std::sqrt(2.0) * 77 / 256; };
  EXPECT_NEAR(heard(1500), level("M03"), level("M03") * 0.08);
  EXPECT_LT(heard(4500), 30);
  EXPECT_NEAR(heard(6500), level("M09"), level("M09") * 0.08);
  EXPECT_NEAR(heard(11000), level("M01"), level("M01") * 0.08);
  EXPECT_NEAR(heard(13000), level("M01P"), level("M01P") * 0.08);
  EXPECT_NEAR(heard(15000), level("M08"), level("M08") * 0.08);
  EXPECT_NEAR(heard(17000), level("M09"), level("M09") * 0.08);
  EXPECT_NEAR(heard(19000), level("M08"), level("M08") * 0.08);
  EXPECT_EQ(ReadFile(dir.path() / "SAVE.DAT").substr(offsetof(SaveBlock, AlbumBgmNo), 4), std::string("\x08\0\0\0", 4));
  // The mark: none while nothing plays, on the 8/9 row while track 9 does.
  auto green = [](const TABitmap& shot, int top, int left = 40, int right = 72) {
    for (int y = top; y < top + 42; ++y)
      for (int x = left; x < right; ++x)
        if (Rgb(shot, x, y) == 0x00FF00) return true;
    return false;
  };
  const TABitmap silent = LoadScreenshot(path("silent.png")), nine = LoadScreenshot(path("nine.png"));
  for (int top = 118; top < 496; top += 42) EXPECT_FALSE(green(silent, top)) << top;
  EXPECT_TRUE(green(nine, 412));
  EXPECT_FALSE(green(nine, 244));
  // Beside it, the number of the one of the two that is heard.
  const TABitmap eight = LoadScreenshot(path("eight.png"));
  EXPECT_TRUE(green(nine, 412, 0, 40));
  EXPECT_TRUE(green(eight, 412, 0, 40));
  auto numberArea = [](const TABitmap& shot) {
    std::vector<uint32_t> pixels;
    for (int y = 412; y < 454; ++y)
      for (int x = 0; x < 40; ++x) pixels.push_back(Rgb(shot, x, y));
    return pixels;
  };
  EXPECT_NE(numberArea(nine), numberArea(eight));
}

}  // namespace
}  // namespace mokuren::testing
