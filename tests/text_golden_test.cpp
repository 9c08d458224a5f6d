// Whole frames with text, compared with stored pictures: a typed message in its window and a choice
// with the hovered plate. Anti-aliased glyphs may differ slightly between FreeType builds, so a few
// pixels may differ a little; the layout, colours and clipping may not.
//
// MOKUREN_UPDATE_GOLDEN=1 rewrites the stored pictures (look at them before committing).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "graphics/png_decoder.h"
#include "graphics/png_writer.h"
#include "text_fixture.h"

namespace mokuren::testing {
namespace {

std::filesystem::path GoldenPath(const std::string& name) {
  return std::filesystem::path(MOKUREN_SOURCE_DIR) / "tests" / "golden" / name;
}

class TextGolden : public TextFixture {
 protected:
  void SetUp() override {
    TextFixture::SetUp();
    form_->HeroName = u"カザミネ";
    form_->SystemMenuAllowed = 0;
    // A sky-like gradient for the scene.
    for (int y = 0; y < 600; ++y) {
      uint8_t* row = form_->DisplaySurface.ScanLine(y);
      for (int x = 0; x < 800; ++x) {
        row[x * 4 + 0] = static_cast<uint8_t>(200 - y / 6);
        row[x * 4 + 1] = static_cast<uint8_t>(120 + y / 8 + x / 40);
        row[x * 4 + 2] = static_cast<uint8_t>(60 + y / 5);
        row[x * 4 + 3] = 0;
      }
    }
    // A half-transparent navy window with an opaque light edge.
    TABitmap& frame = form_->SurfaceTable[6];
    frame.SetSize32(800, 184);
    for (int y = 0; y < 184; ++y) {
      uint8_t* row = frame.ScanLine(y);
      for (int x = 0; x < 800; ++x) {
        const bool edge = y < 3 || y >= 181 || x < 3 || x >= 797;
        row[x * 4 + 0] = edge ? 230 : 70;
        row[x * 4 + 1] = edge ? 220 : 30;
        row[x * 4 + 2] = edge ? 210 : 20;
        row[x * 4 + 3] = edge ? 0 : 80;
      }
    }
    // Waiting icon: a white square on the magenta key colour.
    TABitmap& sheet = form_->SurfaceTable[92];
    for (int y = 40; y < 56; ++y)
      for (int x = 0; x < 256; ++x)
        if (x % 32 >= 8 && x % 32 < 24) std::memset(sheet.ScanLine(y) + x * 4, 255, 3);
    // Choice plates: a dark translucent one and an amber highlighted one.
    form_->SurfaceTable[72].SetSize32(800, 40);
    form_->SurfaceTable[91].SetSize32(800, 40);
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 800; ++x) {
        const bool inside = x >= 150 && x < 650;
        uint8_t* p = form_->SurfaceTable[72].ScanLine(y) + x * 4;
        p[0] = 90, p[1] = 40, p[2] = 40, p[3] = inside ? 64 : 255;
        uint8_t* h = form_->SurfaceTable[91].ScanLine(y) + x * 4;
        h[0] = 40, h[1] = 140, h[2] = 220, h[3] = inside ? 32 : 255;
      }
    }
    // The on-screen buttons are not what these pictures are about.
    for (int slot = 8; slot <= 57; ++slot) form_->SurfaceTable[static_cast<size_t>(slot)].SetSize32(0, 0);
  }

  void NextFrame() {
    const int64_t frames = form_->FrameCount();
    while (form_->FrameCount() == frames) form_->IdleEvent();
  }

  void ExpectMatchesGolden(const std::string& name) {
    const TABitmap& frame = form_->FrameSurface;
    const auto path = GoldenPath(name);
    const char* update = std::getenv("MOKUREN_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
      std::string error;
      ASSERT_TRUE(WritePngFile(path, frame, PngAlpha::None, error)) << error;
      return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path << " is missing (MOKUREN_UPDATE_GOLDEN=1 writes it)";
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    PngImage golden;
    std::string error;
    ASSERT_TRUE(DecodePng(bytes, golden, error)) << error;
    ASSERT_EQ(golden.pixels.Width(), 800);
    ASSERT_EQ(golden.pixels.Height(), 600);
    // Anti-aliasing may move a little ink; anything more is a real difference.
    int slight = 0, large = 0;
    for (int y = 0; y < 600; ++y) {
      for (int x = 0; x < 800; ++x) {
        const uint8_t* a = frame.ScanLine(y) + x * 4;
        const uint8_t* b = golden.pixels.ScanLine(y) + x * 4;
        int d = 0;
        for (int k = 0; k < 3; ++k) d = std::max(d, std::abs(a[k] - b[k]));
        if (d > 2) ++slight;
        if (d > 96) ++large;
      }
    }
    EXPECT_LE(slight, 4000) << name;
    EXPECT_LE(large, 400) << name;
    if (slight > 4000 || large > 400) {
      std::string ignored;
      WritePngFile(std::filesystem::temp_directory_path() / ("actual-" + name), frame, PngAlpha::None, ignored);
    }
  }
};

TEST_F(TextGolden, TypedMessage) {
  ShowMessage(u"ミナ「①くん、おはよう！　今日から同じクラスだね。ずっと待ってたんだから、遅刻しないでよ？」");
  Click(400, 300);
  PassesWhile(task::MessageTyping);
  NextFrame();
  ExpectMatchesGolden("message_typed.png");
}

TEST_F(TextGolden, ChoiceWithHoveredPlate) {
  ShowChoice(u"一緒に行く,先に行ってもらう,少し考える");
  Move(400, 290);  // line 2 of three: bands 4-6, line 2 on rows 280-319
  NextFrame();
  EXPECT_EQ(form_->ChoiceHover, 2);
  ExpectMatchesGolden("choice_hover.png");
}

}  // namespace
}  // namespace mokuren::testing
