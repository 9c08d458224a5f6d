// Image loading into the surface table, scene composition and the cross-fades, on a headless engine.
#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "graphics/ABitmapFilters32.h"
#include "graphics/png_writer.h"
#include "save/TForm7.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"
#include "support/test_surfaces.h"

namespace mokuren {
namespace {

using testing::BuildTestGame;
using testing::TestGame;

// A surface of one colour and transparency T (stored in PNGs as alpha 255 - T).
TABitmap Filled(int32_t w, int32_t h, uint8_t r, uint8_t g, uint8_t b, uint8_t t = 0) {
  return testing::Solid(w, h, b, g, r, t);
}

std::string Png(const TABitmap& s, PngAlpha alpha) {
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(EncodePng(s, alpha, bytes, error)) << error;
  return std::string(bytes.begin(), bytes.end());
}

const uint8_t* Px(const TABitmap& s, int32_t x, int32_t y) { return s.ScanLine(y) + x * 4; }

class GraphicsEngine : public testing::EngineFixture {
 protected:
  void Start(const TestGame& game) {
    BuildTestGame(dir_.path(), game);
    StartEngine();
  }
  // The pictures and composition, the layer these tests look at.
  Graphics& G() { return form_->Pictures(); }
  TABitmap& Slot(int n) { return G().SurfaceTable[static_cast<size_t>(n)]; }
};

TEST_F(GraphicsEngine, SurfacesStartAtTheirCreationSizes) {
  StartEngine();
  const std::pair<int, std::pair<int, int>> sizes[] = {
      {0, {800, 600}}, {5, {800, 600}},  {6, {800, 184}},  {7, {800, 184}}, {8, {64, 20}},
      {57, {64, 20}},  {58, {800, 184}}, {59, {800, 184}}, {60, {0, 0}},    {71, {0, 0}},
      {72, {800, 40}}, {90, {800, 40}},  {91, {800, 40}},  {92, {800, 600}}};
  for (const auto& [slot, wh] : sizes) {
    EXPECT_EQ(Slot(slot).Width(), wh.first) << "slot " << slot;
    EXPECT_EQ(Slot(slot).Height(), wh.second) << "slot " << slot;
  }
}

TEST_F(GraphicsEngine, PlacementsTakeTheImageSizeAndTheMaskRules) {
  TABitmap chr = Filled(300, 600, 200, 100, 50, 0);  // left half opaque
  for (int32_t y = 0; y < 600; ++y)
    for (int32_t x = 150; x < 300; ++x) chr.ScanLine(y)[x * 4 + 3] = 255;  // right half clear
  chr.ScanLine(7)[10 * 4 + 3] = 155;                                       // alpha 100
  TestGame game;
  game.graphics = {{"BG", Png(Filled(640, 480, 10, 20, 30), PngAlpha::None)},
                   {"CHR", Png(chr, PngAlpha::FromTransparency)},
                   {"PLAIN", Png(Filled(64, 20, 1, 2, 3), PngAlpha::None)},
                   {"SOLID", Png(Filled(64, 20, 4, 5, 6, 0), PngAlpha::FromTransparency)},
                   {"CLEAR", Png(Filled(64, 20, 7, 8, 9, 255), PngAlpha::FromTransparency)},
                   {"BROKEN", "\x89PNG\r\n\x1a\n this is not the rest of a PNG"}};
  game.sysgrp = {{1, Png(Filled(700, 100, 9, 9, 9, 3), PngAlpha::FromTransparency)}};
  Start(game);

  G().Kumo_ReadGraphic(0, 1, false);
  ASSERT_EQ(Slot(0).Width(), 640);
  ASSERT_EQ(Slot(0).Height(), 480);
  EXPECT_EQ(Px(Slot(0), 639, 479)[0], 30);
  EXPECT_EQ(Px(Slot(0), 639, 479)[2], 10);

  G().Kumo_ReadGraphic(1, 2, false);
  ASSERT_EQ(Slot(1).Width(), 300);
  ASSERT_EQ(Slot(1).Height(), 600);
  EXPECT_EQ(Px(Slot(1), 0, 0)[3], 0);
  EXPECT_EQ(Px(Slot(1), 299, 599)[3], 255);
  EXPECT_EQ(Px(Slot(1), 10, 7)[3], 155);
  EXPECT_EQ(Px(Slot(1), 10, 7)[2], 200) << "colour is straight, not premultiplied";

  // A picture without transparency is wholly transparent in a masked placement, but shows fully
  // in the opaque ones.
  G().Kumo_ReadGraphic(11, 3, false);
  EXPECT_EQ(Slot(8).Width(), 64);
  EXPECT_EQ(Px(Slot(8), 0, 0)[3], 255);
  EXPECT_EQ(Px(Slot(8), 63, 19)[3], 255);
  G().Kumo_ReadGraphic(51, 3, false);
  EXPECT_EQ(Slot(92).Width(), 64);
  EXPECT_EQ(Px(Slot(92), 5, 5)[2], 1);
  EXPECT_EQ(Px(Slot(92), 5, 5)[3], 0);

  G().Kumo_ReadGraphic(12, 4, false);   // alpha 255 everywhere
  G().Kumo_ReadGraphic(110, 5, false);  // alpha 0 everywhere
  EXPECT_EQ(Px(Slot(9), 3, 3)[3], 0);
  EXPECT_EQ(Px(Slot(57), 3, 3)[3], 255);
  G().Kumo_ReadGraphic(52, 4, false);
  G().Kumo_ReadGraphic(53, 4, false);
  EXPECT_EQ(Slot(72).Width(), 64);
  EXPECT_EQ(Slot(91).Width(), 64);

  // The message frame takes the image's size, not 800x184.
  G().Kumo_ReadGraphic(10, 1, true);
  EXPECT_EQ(Slot(6).Width(), 700);
  EXPECT_EQ(Slot(6).Height(), 100);
  EXPECT_EQ(Px(Slot(6), 0, 0)[3], 3);
}

TEST_F(GraphicsEngine, MissingBrokenAndUnplacedImagesChangeNothing) {
  TestGame game;
  game.graphics = {{"CHR", Png(Filled(30, 60, 1, 2, 3, 0), PngAlpha::FromTransparency)},
                   {"BROKEN", "\x89PNG\r\n\x1a\n this is not the rest of a PNG"}};
  Start(game);
  G().Kumo_ReadGraphic(1, 1, false);
  const std::array<TABitmap, 93> before = G().SurfaceTable;
  const size_t errors = Errors().size();

  G().Kumo_ReadGraphic(1, 77, false);  // no such entry: told
  ASSERT_EQ(Errors().size(), errors + 1);
  EXPECT_NE(Errors().back().find("entry 77"), std::string::npos);
  G().Kumo_ReadGraphic(7, 1, false);    // no such placement: decoded and discarded
  G().Kumo_ReadGraphic(202, 1, false);  // the save/load screen's page background, not the table
  G().Kumo_ReadGraphic(1, 2, false);    // does not decode: reported, nothing placed
  EXPECT_EQ(G().SurfaceTable, before);
  ASSERT_EQ(Errors().size(), errors + 2);
  EXPECT_NE(Errors().back().find("GRAPHIC.DAT: entry 2"), std::string::npos);

  // The save/load screen's picture boxes keep their size.
  const TABitmap& sheet = form_->GetSaveLoadForm().Image2;
  G().Kumo_ReadGraphic(203, 1, false);
  EXPECT_EQ(sheet.Width(), 800);
  EXPECT_EQ(Px(sheet, 29, 59)[0], 3);
  EXPECT_EQ(Px(sheet, 30, 60)[0], 0);
}

TEST_F(GraphicsEngine, SystemSetFillsFrameSheetPlatesButtonsAndTheFloatingBackground) {
  TABitmap sheet(800, 600);
  for (int32_t y = 0; y < 600; ++y)
    for (int32_t x = 0; x < 800; ++x) sheet.ScanLine(y)[x * 4 + 1] = static_cast<uint8_t>(y);
  TestGame game;
  game.sysgrp[1] = Png(Filled(800, 184, 1, 0, 0, 0), PngAlpha::FromTransparency);
  game.sysgrp[51] = Png(sheet, PngAlpha::None);
  game.sysgrp[52] = Png(Filled(800, 40, 52, 0, 0, 0), PngAlpha::FromTransparency);
  game.sysgrp[53] = Png(Filled(800, 40, 53, 0, 0, 0), PngAlpha::FromTransparency);
  // Every button picture carries its entry number in red.
  for (int entry = 3; entry <= 50; ++entry)
    if (entry <= 10 || entry % 10 >= 3 || entry % 10 == 0)
      game.sysgrp[entry] = Png(Filled(64, 20, static_cast<uint8_t>(entry), 0, 0, 0), PngAlpha::FromTransparency);
  Start(game);
  G().LoadSystemPictures();
  EXPECT_EQ(Px(Slot(6), 0, 0)[2], 1);
  EXPECT_EQ(Px(Slot(72), 0, 0)[2], 52);
  EXPECT_EQ(Px(Slot(91), 0, 0)[2], 53);
  // The floating window's background is rows 416-599 of the sheet.
  EXPECT_EQ(Px(Slot(7), 0, 0)[1], 416 % 256);
  EXPECT_EQ(Px(Slot(7), 799, 183)[1], 599 % 256);
  // Button k in state s is slot 8 + (k - 1) + 10s: states 0-3 from entry 11 + (k - 1) + 10s, state 4 from k.
  for (int k = 3; k <= 10; ++k) {
    for (int s = 0; s <= 3; ++s) EXPECT_EQ(Px(Slot(8 + (k - 1) + 10 * s), 0, 0)[2], 11 + (k - 1) + 10 * s);
    EXPECT_EQ(Px(Slot(8 + (k - 1) + 40), 0, 0)[2], k);
  }
  // Restarting play reloads frame, sheet and plates but leaves the floating background and buttons.
  Slot(7).FillRGB(9, 9, 9);
  Slot(10).FillRGB(9, 9, 9);
  Slot(72).FillRGB(9, 9, 9);
  G().LoadSystemPictures(false);
  EXPECT_EQ(Px(Slot(7), 0, 0)[2], 9);
  EXPECT_EQ(Px(Slot(10), 0, 0)[2], 9);
  EXPECT_EQ(Px(Slot(72), 0, 0)[2], 52);
}

TEST_F(GraphicsEngine, SeenFlagsCoverScenarioEntries351To759Only) {
  StartEngine();
  // The flag is set before the read, so entries need not exist.
  for (int entry : {0, 350, 351, 759, 760}) G().Kumo_ReadGraphic(0, entry, false);
  for (int entry : {351, 400, 759}) G().Kumo_ReadGraphic(0, entry, true);
  EXPECT_EQ(G().CgSeenFlags[0], 1);
  EXPECT_EQ(G().CgSeenFlags[408], 1);
  EXPECT_EQ(std::accumulate(std::begin(G().CgSeenFlags), std::end(G().CgSeenFlags), 0), 2);
}

TEST_F(GraphicsEngine, SceneIsBackgroundThenLayersFiveToOne) {
  StartEngine();
  Slot(0) = Filled(400, 300, 0, 0, 200);     // smaller than the frame: black borders
  Slot(1) = Filled(800, 600, 255, 0, 0);     // opaque red at x = -200
  Slot(2) = Filled(300, 600, 0, 255, 0);     // green at x = 700, cut at the right edge
  Slot(3) = Filled(800, 600, 9, 9, 9);       // loaded, but the layer is empty
  Slot(4) = Filled(800, 600, 1, 1, 1, 255);  // fully transparent: leaves what is below exactly
  for (int n = 1; n <= 5; ++n) {
    G().LayerImage[n - 1] = 0;
    G().LayerOpacity[n - 1] = 255;
    G().LayerPos[n - 1] = {0, 0};
  }
  G().LayerImage[0] = 1;
  G().LayerPos[0] = {-200, 0};
  G().LayerImage[1] = 2;
  G().LayerPos[1] = {700, 0};
  G().LayerImage[3] = 4;
  G().Kumo_CreateNextImage();
  const TABitmap& next = G().NextSurface;
  EXPECT_EQ(Px(next, 0, 0)[2], 254) << "layer 1 covers columns 0-599";
  EXPECT_EQ(Px(next, 599, 599)[2], 254);
  EXPECT_EQ(Px(next, 700, 0)[1], 254) << "layer 2 shows right of layer 1";
  EXPECT_EQ(Px(next, 650, 100)[0], 0) << "black border beyond the 400x300 background";
  EXPECT_EQ(Px(next, 650, 100)[2], 0);
  // Layer 2 lies under layer 1 where both cover.
  Slot(2) = Filled(300, 600, 0, 255, 0);
  G().LayerPos[1] = {100, 0};
  G().Kumo_CreateNextImage();
  EXPECT_EQ(Px(next, 150, 10)[1], 0);
  EXPECT_EQ(Px(next, 150, 10)[2], 254);
}

class CrossFade : public GraphicsEngine {
 protected:
  void SetUp() override {
    StartEngine();
    for (int n = 0; n < 5; ++n) G().LayerImage[n] = 0;
    Slot(0) = Filled(800, 600, 200, 200, 200);
    G().DisplaySurface.FillRGB(0, 0, 0);
  }
};

TEST_F(CrossFade, HalfWayBlendsAt127AndTheEndCopiesExactly) {
  G().StartTransition(1000, task::Effect01);
  EXPECT_EQ(Task(), task::Effect01);
  platform().Stall(500);
  G().Kumo_DispEffect_01();
  // a = 500 * 255 / 1000 = 127: (200 * 127 + 0 * 129) >> 8 = 99.
  EXPECT_EQ(Px(G().DisplaySurface, 400, 300)[0], 99);
  EXPECT_EQ(Task(), task::Effect01);
  // The next step blends over the already blended picture: (200 * 191 + 99 * 65) >> 8 = 174.
  platform().Stall(250);
  G().Kumo_DispEffect_01();
  EXPECT_EQ(Px(G().DisplaySurface, 0, 0)[2], 174);
  platform().Stall(250);
  G().Kumo_DispEffect_01();
  EXPECT_EQ(G().DisplaySurface, G().NextSurface);
  EXPECT_EQ(Task(), task::Script);
}

TEST_F(CrossFade, FastForwardSkipsOnlyTheScenarioFade) {
  form_->Text().Modes.FastForward = 1;  // as read-skip sets it
  G().StartTransition(1000, task::Effect01);
  G().Kumo_DispEffect_01();
  EXPECT_EQ(G().DisplaySurface, G().NextSurface);
  EXPECT_EQ(Task(), task::Script);

  G().DisplaySurface.FillRGB(0, 0, 0);
  G().StartTransition(500, task::Effect91, task::TitleMenu);
  G().Kumo_DispEffect_91();
  EXPECT_EQ(Task(), task::Effect91) << "menu fades are never skipped";
  EXPECT_EQ(Px(G().DisplaySurface, 0, 0)[0], 0);
  platform().Stall(500);
  G().Kumo_DispEffect_91();
  EXPECT_EQ(Task(), task::TitleMenu);
  EXPECT_EQ(G().DisplaySurface, G().NextSurface);
}

TEST_F(GraphicsEngine, MessageFrameIsBlendedAtTheWindowPosition) {
  StartEngine();
  Slot(6) = Filled(800, 184, 255, 255, 255, 0);
  G().FrameSurface.FillRGB(0, 0, 0);
  G().DrawMessageFrame();
  EXPECT_EQ(Px(G().FrameSurface, 0, 415)[0], 0);
  EXPECT_EQ(Px(G().FrameSurface, 0, 416)[0], 254);
  EXPECT_EQ(Px(G().FrameSurface, 799, 599)[0], 254);
}

}  // namespace
}  // namespace mokuren
