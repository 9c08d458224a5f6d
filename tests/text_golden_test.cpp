// Whole frames with text, compared with stored pictures: a typed message in its window and a choice
// with the hovered plate. Anti-aliased glyph edges may differ by a shade between FreeType builds; a
// glyph, the layout, colours and clipping may not.
//
// MOKUREN_UPDATE_GOLDEN=1 rewrites the stored pictures (look at them before committing).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "graphics/png_writer.h"
#include "test_runner/golden_picture.h"
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

  // Pixels of the frame that differ from the stored picture by more than the anti-aliasing tolerance
  // in some channel; -1 when the picture cannot be read.
  int PixelsOffGolden(const std::string& name) {
    TABitmap golden;
    std::string error;
    if (!testrunner::ReadPicture(GoldenPath(name), golden, error)) return -1;
    return static_cast<int>(testrunner::PixelsOff(golden, form_->FrameSurface, kChannelTolerance));
  }

  void ExpectMatchesGolden(const std::string& name) {
    const char* update = std::getenv("MOKUREN_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
      std::string error;
      ASSERT_TRUE(WritePngFile(GoldenPath(name), form_->FrameSurface, PngAlpha::None, error)) << error;
      return;
    }
    const int off = PixelsOffGolden(name);
    ASSERT_GE(off, 0) << GoldenPath(name) << " is missing or unreadable (MOKUREN_UPDATE_GOLDEN=1 writes it)";
    EXPECT_LE(off, kPixelsAllowedOff) << name;
    if (off > kPixelsAllowedOff) {
      std::string ignored;
      WritePngFile(std::filesystem::temp_directory_path() / ("actual-" + name), form_->FrameSurface, PngAlpha::None,
                   ignored);
    }
  }

  // A glyph edge rasterised a shade differently is within the tolerance; one wrong glyph of 28 pixels
  // changes a few hundred pixels by far more.
  static constexpr int kChannelTolerance = 8;
  static constexpr int kPixelsAllowedOff = 16;
};

constexpr char16_t kTypedMessage[] =
    u"ミナ「①くん、おはよう！　今日から同じクラスだね。ずっと待ってたんだから、遅刻しないでよ？」";

TEST_F(TextGolden, TypedMessage) {
  ShowMessage(kTypedMessage);
  Click(400, 300);
  PassesWhile(task::MessageTyping);
  NextFrame();
  ExpectMatchesGolden("message_typed.png");
}

// The comparison is tight enough to see one wrong character, even one of a similar shape.
TEST_F(TextGolden, OneWrongGlyphDoesNotMatch) {
  for (auto [from, to] : {std::pair{u'？', u'！'}, std::pair{u'刻', u'延'}}) {
    std::u16string text = kTypedMessage;
    text[text.find(from)] = to;
    ShowMessage(text);
    Click(400, 300);
    PassesWhile(task::MessageTyping);
    NextFrame();
    EXPECT_GT(PixelsOffGolden("message_typed.png"), kPixelsAllowedOff) << "swapped " << static_cast<int>(from);
  }
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
