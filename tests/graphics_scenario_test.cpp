// The real program, headless: a background and a layer shown by the script, seen through screenshots.
#include <gtest/gtest.h>

#include <string>

#include "graphics/ABitmapFilters32.h"
#include "graphics/png_writer.h"
#include "support/engine_fixture.h"
#include "support/game_builder.h"
#include "support/screenshot_file.h"

namespace mokuren {
namespace {

using testing::LoadScreenshot;
using testing::RunProgram;

std::string Png(const TABitmap& s, PngAlpha alpha) {
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(EncodePng(s, alpha, bytes, error)) << error;
  return std::string(bytes.begin(), bytes.end());
}

TEST(GraphicsScenario, ShowCrossFadesToTheComposedScene) {
  testing::TempDir dir;
  // A background with a diagonal pattern and an 800-wide character with a soft-edged transparent band.
  TABitmap bg(800, 600), chr(800, 600);
  for (int32_t y = 0; y < 600; ++y)
    for (int32_t x = 0; x < 800; ++x) {
      uint8_t* b = bg.ScanLine(y) + x * 4;
      b[0] = static_cast<uint8_t>(x + y);
      b[1] = static_cast<uint8_t>(y / 3);
      b[2] = static_cast<uint8_t>(255 - x / 4);
      uint8_t* c = chr.ScanLine(y) + x * 4;
      c[0] = 40;
      c[1] = static_cast<uint8_t>(x);
      c[2] = 220;
      c[3] = x < 300 ? 255 : x < 556 ? static_cast<uint8_t>(555 - x) : 0;  // clear, fading in, opaque
    }
  testing::TestGame game;
  game.graphics = {{"BG", Png(bg, PngAlpha::None)}, {"CHR", Png(chr, PngAlpha::FromTransparency)}};
  game.scripts[1] = "bg \"BG\"\nlayer1 left, \"CHR\"\nshow\nwait 5000\nend\n";
  testing::BuildTestGame(dir.path(), game);
  const auto mid = dir.path() / "mid.png";
  const auto done = dir.path() / "done.png";
  testing::WriteFile(dir.path() / "events.txt",
                     "500 screenshot " + mid.string() + "\n2000 screenshot " + done.string() + "\n");
  ASSERT_EQ(RunProgram("'" + dir.path().string() + "' --headless --max-ms 2100 --events '" +
                       (dir.path() / "events.txt").string() + "'"),
            0);

  // What the scene must be: the background, then the layer drawn at x = -200.
  TABitmap expected(800, 600);
  CopyOpaque(bg, expected, 0, 0);
  DrawAlphaSkip(chr, expected, -200, 0, 800, 600, 0, 0, 255);

  const TABitmap after = LoadScreenshot(done);
  ASSERT_EQ(after.Width(), 800);
  ASSERT_EQ(after.Height(), 600);
  for (int32_t y = 0; y < 600; ++y)
    for (int32_t x = 0; x < 800; ++x)
      for (int b = 0; b < 3; ++b)
        ASSERT_EQ(after.ScanLine(y)[x * 4 + b], expected.ScanLine(y)[x * 4 + b]) << "at " << x << "," << y;

  // Half-way the picture lies between black and the new scene, nearer the new one (each step blends
  // over the previous one).
  const TABitmap half = LoadScreenshot(mid);
  int between = 0, checked = 0;
  for (int32_t y = 0; y < 600; y += 7)
    for (int32_t x = 0; x < 800; x += 5) {
      const int target = expected.ScanLine(y)[x * 4 + 2];
      const int seen = half.ScanLine(y)[x * 4 + 2];
      if (target < 40) continue;
      ++checked;
      EXPECT_LE(seen, target) << "at " << x << "," << y;
      if (seen > 0 && seen < target) ++between;
    }
  EXPECT_GT(between, checked * 9 / 10);
}

}  // namespace
}  // namespace mokuren
