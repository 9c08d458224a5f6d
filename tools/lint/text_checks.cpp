// Checks of the texts the player reads, laid out by the engine's own rules (text/message_layout.h): what
// a message loses past its third line, with the default name and with every name the player may choose,
// the speaker's band, and choices the engine would cut or that run off their band.
#include <algorithm>
#include <optional>
#include <set>

#include "base/text_codec.h"
#include "graphics/png_decoder.h"
#include "lint/game_checks.h"
#include "script/opcodes.h"
#include "script/script_registers.h"
#include "text/TNameForm.h"
#include "text/message_layout.h"
#include "text/text_renderer.h"

namespace mokuren::lint {

namespace {

// Characters of the speaker's name that fit the name band.
constexpr size_t kSpeakerLength = static_cast<size_t>((kMessageWindowWidth - kMessageTextLeft) / kCharacterCell);

bool Blank(std::u16string_view s) {
  return std::all_of(s.begin(), s.end(), [](char16_t c) { return c == u' ' || c == u'　' || c == u'/'; });
}

std::string Shortened(std::u16string_view s) {
  constexpr size_t kShown = 12;
  return "\"" + ToUtf8(s.substr(0, kShown)) + (s.size() > kShown ? "…" : "") + "\"";
}

// The columns of the choice band picture (SYSGRP.DAT 52, drawn from the screen's left edge) where its
// middle row is at least half as opaque as its most opaque pixel: where a choice's text reads on the band.
std::optional<std::pair<int32_t, int32_t>> SolidBand(const GameData& game) {
  constexpr size_t kBandEntry = 52;
  if (!game.sysgrp) return std::nullopt;
  const std::string_view png = game.sysgrp->Entry(kBandEntry);
  PngImage image;
  std::string error;
  if (png.empty() || !DecodePng({reinterpret_cast<const uint8_t*>(png.data()), png.size()}, image, error) ||
      image.pixels.Height() <= 0)
    return std::nullopt;
  const uint8_t* row = image.pixels.ScanLine(image.pixels.Height() / 2);
  const int32_t width = std::min<int32_t>(image.pixels.Width(), kChoiceBandWidth);
  uint8_t peak = 0;
  for (int32_t x = 0; x < width; ++x) peak = std::max(peak, row[x * 4 + 3]);
  if (peak == 0) return std::nullopt;
  int32_t left = -1, right = -1;
  for (int32_t x = 0; x < width; ++x)
    if (row[x * 4 + 3] * 2 >= peak) {
      if (left < 0) left = x;
      right = x + 1;
    }
  return std::pair{left, right};
}

// The characters of the message font that it has no glyph for: their glyph is the face's missing-glyph
// box, the glyph of a code point no font maps.
class GlyphCheck {
 public:
  GlyphCheck() {
    std::string error;
    if (!renderer_.Open(error)) return;
    const Glyph* box = renderer_.GlyphOf(kUnmapped, kFont);
    if (box) box_ = *box;
  }

  std::u16string Missing(std::u16string_view text) {
    std::u16string missing;
    if (!box_) return missing;
    for (char16_t c : text) {
      if (c == u' ' || c == u'　' || c == u'/' || c == kHeroPlaceholder || missing.find(c) != std::u16string::npos)
        continue;
      auto [known, added] = cache_.emplace(c, false);
      if (added) {
        const Glyph* g = renderer_.GlyphOf(c, kFont);
        known->second = g && g->width == box_->width && g->rows == box_->rows && g->left == box_->left &&
                        g->top == box_->top && g->advance == box_->advance && g->coverage == box_->coverage;
      }
      if (known->second) missing += c;
    }
    return missing;
  }
  std::string FontFile() const {
    return std::filesystem::path(renderer_.FacePath(FontName::Gothic)).filename().string();
  }

 private:
  static constexpr char32_t kUnmapped = 0xFFFF;  // a noncharacter: never in a font
  static constexpr FontSpec kFont{FontName::Gothic, kCharacterCell, false};
  TextRenderer renderer_;
  std::optional<Glyph> box_;
  std::map<char16_t, bool> cache_;  // character -> whether the font lacks it
};

class TextChecker : ScriptCheck {
 public:
  TextChecker(const GameData& game, bool quick, Findings& findings) : ScriptCheck(game, findings) {
    band_ = SolidBand(game);
    if (!quick) glyphs_.emplace();
  }

  void Run() {
    game_.ForEachInstruction([this](int n, const GameScript& s, int32_t i, const ScriptInstruction& ins) {
      if (ins.Code != op::Message && ins.Code != op::Choice) return;
      if (OperandMode(ins.Modes, 0) != kModeValue) return;  // the text is chosen by a variable
      if (std::string problem; !TableHasLine(s.messages, "message", ins.P1, problem)) {
        Add(Severity::Error, "message-line", n, i, "the text is " + problem + "; an empty text is shown");
        return;
      }
      const std::u16string& text = s.messages[static_cast<size_t>(ins.P1)];
      if (ins.Code == op::Message)
        CheckMessage(n, i, text);
      else
        CheckChoice(n, i, text);
      CheckGlyphs(n, i, text);
    });
  }

 private:
  // The text a layout with this name leaves out, unless it is only blanks and breaks.
  static std::u16string Dropped(std::u16string_view text, std::u16string_view name) {
    std::u16string lost;
    LayoutMessage(text, name, kLineStartForbidden, kLineEndForbidden, &lost);
    return Blank(lost) ? std::u16string() : lost;
  }

  void CheckMessage(int n, int32_t i, const std::u16string& text) {
    const std::u16string lost = Dropped(text, TNameForm::kDefaultName);
    if (!lost.empty()) {
      Add(Severity::Error, "message-overflow", n, i,
          "the message runs past three lines; " + Shortened(lost) + " is never shown");
    } else if (text.find(kHeroPlaceholder) != std::u16string::npos) {
      std::vector<size_t> lengths;
      for (size_t length = TNameForm::kMinLength; length <= TNameForm::kMaxLength; ++length)
        if (!Dropped(text, std::u16string(length, u'名')).empty()) lengths.push_back(length);
      if (!lengths.empty())
        Add(Severity::Warning, "name-overflow", n, i,
            "with a hero's name of " + std::to_string(lengths.front()) + (lengths.size() > 1 ? " or more" : "") +
                " characters the message runs past three lines");
    }
    // The speaker, with the longest name the player may choose.
    const std::u16string speaker =
        LayoutMessage(text, std::u16string(TNameForm::kMaxLength, u'名'), kLineStartForbidden, kLineEndForbidden)[0];
    if (speaker.size() > kSpeakerLength)
      Add(Severity::Error, "speaker", n, i,
          "the speaker's name " + Shortened(speaker) + " is " + std::to_string(speaker.size()) +
              " characters long; the name band holds " + std::to_string(kSpeakerLength));
    else if (speaker.find_first_of(u"。、") != std::u16string::npos)
      Add(Severity::Warning, "speaker", n, i,
          "everything before the first 「 is shown as the speaker's name (" + Shortened(speaker) +
              "); narration quotes with 『』");
  }

  void CheckChoice(int n, int32_t i, const std::u16string& text) {
    if (text.find(kHeroPlaceholder) != std::u16string::npos)
      Add(Severity::Warning, "choice-name", n, i, "choices show ① as it is: the hero's name is put only into messages");
    // What the writer separated with commas, against what the engine makes of it.
    std::vector<std::u16string> meant;
    for (size_t start = 0;;) {
      const size_t comma = text.find(u',', start);
      meant.push_back(text.substr(start, comma == std::u16string::npos ? std::u16string::npos : comma - start));
      if (comma == std::u16string::npos) break;
      start = comma + 1;
    }
    const std::vector<std::u16string> shown = SplitChoices(text);
    if (shown.size() == 1)
      Add(Severity::Error, "choice-one", n, i,
          "a choice of one item, " + Shortened(shown[0]) +
              ": the player has nothing to choose; separate the items with \",\", or write a message");
    for (size_t k = 0; k < meant.size() && k < static_cast<size_t>(kMaxChoices); ++k) {
      if (meant[k].size() > kChoiceLength) {
        Add(Severity::Error, "choice-fit", n, i,
            "choice " + std::to_string(k + 1) + " " + Shortened(meant[k]) + " is " + std::to_string(meant[k].size()) +
                " characters long; the engine cuts it after " + std::to_string(kChoiceLength) +
                " and shows the rest as a choice of its own");
        return;
      }
    }
    if (meant.size() > static_cast<size_t>(kMaxChoices)) {
      Add(Severity::Error, "choice-fit", n, i,
          std::to_string(meant.size()) + " choices; only the first " + std::to_string(kMaxChoices) + " are shown");
      return;
    }
    for (size_t k = 0; k < shown.size(); ++k) {
      const int32_t left = ChoiceTextLeft(shown[k].size());
      const int32_t right = left + kCharacterCell * static_cast<int32_t>(shown[k].size());
      if (left < 0 || right > kChoiceBandWidth) {
        Add(Severity::Error, "choice-fit", n, i,
            "choice " + std::to_string(k + 1) + " " + Shortened(shown[k]) + " is " + std::to_string(shown[k].size()) +
                " characters long and runs off its band at both ends");
      } else if (band_ && (left < band_->first || right > band_->second)) {
        Add(Severity::Warning, "choice-band", n, i,
            "choice " + std::to_string(k + 1) + " " + Shortened(shown[k]) + " spans x " + std::to_string(left) + "-" +
                std::to_string(right) + ", but the choice band (" + game_.sysgrpFile + " 52) is solid only from x " +
                std::to_string(band_->first) + " to " + std::to_string(band_->second) +
                ": its ends stand on the scene; at most " +
                std::to_string(std::max(0, std::min(400 - band_->first, band_->second - 400) / (kCharacterCell / 2))) +
                " characters fit");
        break;
      }
    }
  }

  void CheckGlyphs(int n, int32_t i, const std::u16string& text) {
    if (!glyphs_) return;
    const std::u16string missing = glyphs_->Missing(text);
    if (missing.empty()) return;
    std::string list;
    for (char16_t c : missing) list += (list.empty() ? "" : " ") + ToUtf8(std::u16string(1, c));
    Add(Severity::Warning, "glyph-missing", n, i,
        "the message font (" + glyphs_->FontFile() + ") has no glyph for " + list +
            ": the player sees a box in its place");
  }

  std::optional<std::pair<int32_t, int32_t>> band_;
  std::optional<GlyphCheck> glyphs_;
};

}  // namespace

void CheckTexts(const GameData& game, bool quick, Findings& findings) { TextChecker(game, quick, findings).Run(); }

}  // namespace mokuren::lint
