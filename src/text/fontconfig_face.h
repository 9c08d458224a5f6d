// One fontconfig lookup for every face the engine sets text in (the game's faces and a translation's):
// the installed scalable faces in fontconfig's order of preference for a family and a language, and the
// first of them that has every character the text needs.
#pragma once

#include <fontconfig/fontconfig.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace mokuren {

struct FontconfigCloser {
  void operator()(FcConfig* c) const { FcConfigDestroy(c); }
};
// A configuration of our own, released by its owner: the library's global one is never freed.
using FontconfigHandle = std::unique_ptr<FcConfig, FontconfigCloser>;

struct FaceQuery {
  const char* family;           // the family asked for first
  const char* language;         // fontconfig's language tag
  std::u32string_view probe;    // characters the face must have
  bool monospace = false;       // a monospaced face
  bool regularUpright = false;  // regular weight, roman slant
};

// The best face for `query`: its file and its index in the file. False when no installed face fits.
bool FindInstalledFace(FcConfig* config, const FaceQuery& query, std::string& path, int32_t& index);

}  // namespace mokuren
