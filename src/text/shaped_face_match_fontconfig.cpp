// Translations' faces through fontconfig: the installed scalable faces, best first, that have every probe
// character.
#include <fontconfig/fontconfig.h>

#include <algorithm>

#include "text/shaped_face_match.h"

namespace mokuren {

namespace {

struct PatternCloser {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct ConfigCloser {
  void operator()(FcConfig* c) const { FcConfigDestroy(c); }
};

}  // namespace

struct ShapedFaceMatcher::State {
  std::unique_ptr<FcConfig, ConfigCloser> config;
};

ShapedFaceMatcher::ShapedFaceMatcher() = default;
ShapedFaceMatcher::~ShapedFaceMatcher() = default;

bool ShapedFaceMatcher::Open(std::string& error) {
  state_ = std::make_unique<State>();
  state_->config.reset(FcInitLoadConfigAndFonts());
  if (!state_->config) {
    error = "fontconfig could not be initialised";
    return false;
  }
  return true;
}

bool ShapedFaceMatcher::Find(const char* family, const char* fcLanguage, std::u32string_view probe, std::string& path,
                             int& index) {
  if (!state_ || !state_->config) return false;
  FcConfig* config = state_->config.get();
  std::unique_ptr<FcPattern, PatternCloser> pattern(FcPatternCreate());
  if (!pattern) return false;
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>(fcLanguage));
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
  FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  FcFontSet* sorted = FcFontSort(config, pattern.get(), FcFalse, nullptr, &result);
  if (!sorted) return false;
  bool found = false;
  for (int i = 0; i < sorted->nfont && !found; ++i) {
    FcPattern* candidate = sorted->fonts[i];
    FcChar8* file = nullptr;
    FcCharSet* chars = nullptr;
    FcBool scalable = FcFalse;
    if (FcPatternGetString(candidate, FC_FILE, 0, &file) != FcResultMatch || !file) continue;
    if (FcPatternGetBool(candidate, FC_SCALABLE, 0, &scalable) == FcResultMatch && !scalable) continue;
    if (FcPatternGetCharSet(candidate, FC_CHARSET, 0, &chars) != FcResultMatch || !chars) continue;
    if (!std::all_of(probe.begin(), probe.end(), [&](char32_t c) { return FcCharSetHasChar(chars, c); })) continue;
    FcPatternGetInteger(candidate, FC_INDEX, 0, &index);
    path = reinterpret_cast<const char*>(file);
    found = true;
  }
  FcFontSetDestroy(sorted);
  return found;
}

}  // namespace mokuren
