// Whole frames with text, compared with stored pictures: a typed message in its window and a choice
// with the hovered plate. Anti-aliased glyph edges may differ by a shade between FreeType builds; a
// glyph, the layout, colours and clipping may not.
//
// MOKUREN_UPDATE_GOLDEN=1 rewrites the stored pictures (look at them before committing).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "graphics/png_writer.h"
#include "test_runner/golden_picture.h"
#include "text_fixture.h"
#include "toolkit/png_writer.h"

namespace mokuren::testing {
namespace {

std::filesystem::path GoldenPath(const std::string& name) {
  return std::filesystem::path(MOKUREN_SOURCE_DIR) / "tests" / "golden" / name;
}

class TextGolden : public TextFixture {
 protected:
  void SetUp() override {
    // A sky-like gradient for the scene.
    std::vector<uint8_t> sky(800 * 600 * 4);
    for (int y = 0; y < 600; ++y)
      for (int x = 0; x < 800; ++x) {
        uint8_t* p = &sky[static_cast<size_t>(y * 800 + x) * 4];
        p[0] = static_cast<uint8_t>(60 + y / 5);
        p[1] = static_cast<uint8_t>(120 + y / 8 + x / 40);
        p[2] = static_cast<uint8_t>(200 - y / 6);
        p[3] = 255;
      }
    graphics_ = {{"SKY", toolkit::EncodePng(800, 600, sky)}};
    // A half-transparent navy window with an opaque light edge.
    pictures_[1] = Picture(800, 184, [](int x, int y, uint8_t* p) {
      const bool edge = y < 3 || y >= 181 || x < 3 || x >= 797;
      p[0] = edge ? 210 : 20, p[1] = edge ? 220 : 30, p[2] = edge ? 230 : 70, p[3] = edge ? 255 : 175;
    });
    // Waiting icon: a white square on the magenta key colour.
    pictures_[51] = Picture(800, 600, [](int x, int y, uint8_t* p) {
      const bool icon = y >= 40 && y < 56 && x < 256 && x % 32 >= 8 && x % 32 < 24;
      p[0] = 255, p[1] = icon ? 255 : 0, p[2] = 255, p[3] = 255;
    });
    // Choice plates: a dark translucent one and an amber highlighted one.
    pictures_[52] = Picture(
        800, 40, [](int x, int, uint8_t* p) { p[0] = 40, p[1] = 40, p[2] = 90, p[3] = x >= 150 && x < 650 ? 191 : 0; });
    pictures_[53] = Picture(800, 40, [](int x, int, uint8_t* p) {
      p[0] = 220, p[1] = 140, p[2] = 40, p[3] = x >= 150 && x < 650 ? 223 : 0;
    });
  }
  // PNG bytes of a picture whose pixels (red, green, blue, alpha) `paint` gives.
  template <typename Paint>
  static std::string Picture(int width, int height, Paint paint) {
    std::vector<uint8_t> rgba(static_cast<size_t>(width * height) * 4);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) paint(x, y, &rgba[static_cast<size_t>(y * width + x) * 4]);
    return toolkit::EncodePng(width, height, rgba);
  }
  // The scene under the sky, the menu and its buttons not allowed, then `text`.
  void StartOnTheSky(const std::string& text) { Start("sysmenu 0\nbg \"SKY\"\nshow\n" + text); }

  // Pixels of the frame that differ from the stored picture by more than the anti-aliasing tolerance
  // in some channel; -1 when the picture cannot be read.
  int PixelsOffGolden(const std::string& name) {
    TABitmap golden;
    std::string error;
    if (!testrunner::ReadPicture(GoldenPath(name), golden, error)) return -1;
    return static_cast<int>(testrunner::PixelsOff(golden, Frame(), kChannelTolerance));
  }

  void ExpectMatchesGolden(const std::string& name) {
    const char* update = std::getenv("MOKUREN_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
      std::string error;
      ASSERT_TRUE(WritePngFile(GoldenPath(name), Frame(), PngAlpha::None, error)) << error;
      return;
    }
    const int off = PixelsOffGolden(name);
    ASSERT_GE(off, 0) << GoldenPath(name) << " is missing or unreadable (MOKUREN_UPDATE_GOLDEN=1 writes it)";
    EXPECT_LE(off, kPixelsAllowedOff) << name;
    if (off > kPixelsAllowedOff) {
      std::string ignored;
      WritePngFile(std::filesystem::temp_directory_path() / ("actual-" + name), Frame(), PngAlpha::None, ignored);
    }
  }

  // A glyph edge rasterised a shade differently is within the tolerance; one wrong glyph of 28 pixels
  // changes a few hundred pixels by far more.
  static constexpr int kChannelTolerance = 8;
  static constexpr int kPixelsAllowedOff = 16;
};

constexpr char kTypedMessage[] =
    "ミナ「①くん、おはよう！　今日から同じクラスだね。ずっと待ってたんだから、遅刻しないでよ？」";

TEST_F(TextGolden, TypedMessage) {
  StartOnTheSky("msg \"" + std::string(kTypedMessage) + "\"\nwait click\n");
  Click(400, 300);
  PassesWhile(task::MessageTyping);
  NextFrame();
  ExpectMatchesGolden("message_typed.png");
}

// The comparison is tight enough to see one wrong character, even one of a similar shape.
TEST_F(TextGolden, OneWrongGlyphDoesNotMatch) {
  std::string script;
  for (auto [from, to] : {std::pair{"？", "！"}, std::pair{"刻", "延"}}) {
    std::string text = kTypedMessage;
    text.replace(text.find(from), std::string(from).size(), to);
    script += "msg \"" + text + "\"\n";
  }
  StartOnTheSky(script + "wait click\n");
  for (const char* swapped : {"？", "刻"}) {
    ASSERT_TRUE(RunUntilTask(task::MessageTyping));
    Click(400, 300);
    PassesWhile(task::MessageTyping);
    NextFrame();
    EXPECT_GT(PixelsOffGolden("message_typed.png"), kPixelsAllowedOff) << "swapped " << swapped;
    Click(400, 300);
    Passes(1);
  }
}

TEST_F(TextGolden, ChoiceWithHoveredPlate) {
  StartOnTheSky("choice \"一緒に行く,先に行ってもらう,少し考える\"\n");
  MoveTo(400, 290);  // line 2 of three: bands 4-6, line 2 on rows 280-319
  NextFrame();
  EXPECT_EQ(ChoiceHovered(), 2);
  ExpectMatchesGolden("choice_hover.png");
}

}  // namespace
}  // namespace mokuren::testing
