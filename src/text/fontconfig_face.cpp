#include "text/fontconfig_face.h"

#include <algorithm>

namespace mokuren {

namespace {

struct PatternCloser {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};

}  // namespace

bool FindInstalledFace(FcConfig* config, const FaceQuery& query, std::string& path, int32_t& index) {
  std::unique_ptr<FcPattern, PatternCloser> pattern(FcPatternCreate());
  if (!config || !pattern) return false;
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(query.family));
  FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>(query.language));
  if (query.monospace) FcPatternAddInteger(pattern.get(), FC_SPACING, FC_MONO);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  if (query.regularUpright) {
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
  }
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
    const auto has = [&](char32_t c) { return FcCharSetHasChar(chars, c) != FcFalse; };
    if (!std::all_of(query.probe.begin(), query.probe.end(), has)) continue;
    int faceIndex = 0;
    FcPatternGetInteger(candidate, FC_INDEX, 0, &faceIndex);
    path = reinterpret_cast<const char*>(file);
    index = faceIndex;
    found = true;
  }
  FcFontSetDestroy(sorted);
  return found;
}

}  // namespace mokuren
