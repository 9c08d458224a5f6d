// Finding the file of a translation's face (shaped_font.h). Native builds ask fontconfig for the best
// installed face of the family that covers the language (shaped_face_match_fontconfig.cpp); the web build
// looks in its one folder of font files (shaped_face_match_files.cpp).
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace mokuren {

class ShapedFaceMatcher {
 public:
  ShapedFaceMatcher();
  ~ShapedFaceMatcher();
  ShapedFaceMatcher(const ShapedFaceMatcher&) = delete;
  ShapedFaceMatcher& operator=(const ShapedFaceMatcher&) = delete;

  // Gets ready to match. False, with the reason in error, when fonts cannot be looked up.
  bool Open(std::string& error);
  // The face of `family` (or the best stand-in) for the language `fcLanguage` ("en", "zh-cn") that has
  // every `probe` character: its file and its index in the file.
  bool Find(const char* family, const char* fcLanguage, std::u32string_view probe, std::string& path, int& index);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace mokuren
