// Translations' faces through fontconfig: the installed scalable faces, best first, that have every probe
// character.
#include "text/fontconfig_face.h"
#include "text/shaped_face_match.h"

namespace mokuren {

struct ShapedFaceMatcher::State {
  FontconfigHandle config;
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
  int32_t faceIndex = 0;
  const FaceQuery query{family, fcLanguage, probe, false, true};
  if (!state_ || !FindInstalledFace(state_->config.get(), query, path, faceIndex)) return false;
  index = faceIndex;
  return true;
}

}  // namespace mokuren
