#include "text/font_match.h"

#include <fontconfig/fontconfig.h>

namespace mokuren {

namespace {

// Hiragana "あ" and the kanji "漢": a face that has both can show the game's text.
bool CoversJapanese(FcPattern* font) {
  FcCharSet* cs = nullptr;
  if (FcPatternGetCharSet(font, FC_CHARSET, 0, &cs) != FcResultMatch || !cs) return false;
  return FcCharSetHasChar(cs, 0x3042) && FcCharSetHasChar(cs, 0x6F22);
}

struct PatternCloser {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternHandle = std::unique_ptr<FcPattern, PatternCloser>;

struct ConfigCloser {
  void operator()(FcConfig* c) const { FcConfigDestroy(c); }
};

}  // namespace

// A configuration of our own, released with the matcher: the library's global one is never freed, and
// the faces need nothing from fontconfig after matching.
struct FontMatcher::State {
  std::unique_ptr<FcConfig, ConfigCloser> config;
};

FontMatcher::FontMatcher() = default;
FontMatcher::~FontMatcher() = default;

bool FontMatcher::Open(std::string& error) {
  state_ = std::make_unique<State>();
  state_->config.reset(FcInitLoadConfigAndFonts());
  if (!state_->config) {
    error = "フォントの設定（fontconfig）を読み込めません。\nfontconfig could not be initialised";
    return false;
  }
  return true;
}

bool FontMatcher::Find(const char* family, bool monospace, std::string& path, int32_t& index) {
  if (!state_ || !state_->config) return false;
  FcConfig* config = state_->config.get();
  PatternHandle pattern(FcPatternCreate());
  if (!pattern) return false;
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  if (monospace) FcPatternAddInteger(pattern.get(), FC_SPACING, FC_MONO);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  FcFontSet* sorted = FcFontSort(config, pattern.get(), FcFalse, nullptr, &result);
  if (!sorted) return false;
  bool found = false;
  for (int i = 0; i < sorted->nfont && !found; ++i) {
    FcPattern* candidate = sorted->fonts[i];
    FcChar8* file = nullptr;
    FcBool scalable = FcFalse;
    if (FcPatternGetString(candidate, FC_FILE, 0, &file) != FcResultMatch || !file) continue;
    if (FcPatternGetBool(candidate, FC_SCALABLE, 0, &scalable) == FcResultMatch && !scalable) continue;
    if (!CoversJapanese(candidate)) continue;
    int idx = 0;
    FcPatternGetInteger(candidate, FC_INDEX, 0, &idx);
    path = reinterpret_cast<const char*>(file);
    index = idx;
    found = true;
  }
  FcFontSetDestroy(sorted);
  return found;
}

}  // namespace mokuren
