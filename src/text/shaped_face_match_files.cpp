// Translations' faces from the web build's one folder of font files (FontFilesFolder, font_match.h), under
// the file names of Debian's packages: DejaVu Sans (fonts-dejavu-core), WenQuanYi Micro Hei
// (fonts-wqy-microhei) and IPAGothic (fonts-ipafont-gothic). A family stands only for itself: the folder
// holds the faces the page ships, each for the scripts it covers.
#include <filesystem>

#include "text/font_match.h"
#include "text/shaped_face_match.h"

namespace mokuren {

namespace {

struct FamilyFile {
  std::string_view family;
  const char* file;
};
constexpr FamilyFile kFiles[] = {
    {"DejaVu Sans", "DejaVuSans.ttf"}, {"WenQuanYi Micro Hei", "wqy-microhei.ttc"}, {"IPAGothic", "ipag.ttf"}};

}  // namespace

struct ShapedFaceMatcher::State {
  std::filesystem::path folder;
};

ShapedFaceMatcher::ShapedFaceMatcher() = default;
ShapedFaceMatcher::~ShapedFaceMatcher() = default;

bool ShapedFaceMatcher::Open(std::string& error) {
  state_ = std::make_unique<State>();
  state_->folder = FontFilesFolder();
  return true;
}

bool ShapedFaceMatcher::Find(const char* family, const char* fcLanguage, std::u32string_view probe, std::string& path,
                             int& index) {
  if (!state_) return false;
  for (const FamilyFile& f : kFiles) {
    if (f.family != family) continue;
    std::error_code ec;
    const std::filesystem::path p = state_->folder / f.file;
    if (!std::filesystem::is_regular_file(p, ec)) return false;
    path = p.string();
    index = 0;
    return true;
  }
  return false;
}

}  // namespace mokuren
