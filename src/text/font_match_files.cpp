// Faces from one folder of font files, for builds without fontconfig (the web build): the folder named by
// MOKUREN_FONT_DIR, else the one the build names (MOKUREN_FONT_DIR_DEFAULT). The IPA fonts of Debian's
// fonts-ipafont packages stand in for the game's faces under their own file names; a face cut down to a
// game's characters has its whole face in the folder's "full" folder.
#include "text/font_match.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>

#ifndef MOKUREN_FONT_DIR_DEFAULT
#define MOKUREN_FONT_DIR_DEFAULT "/fonts"
#endif

namespace mokuren {

namespace {

struct FamilyFile {
  const char* family;
  const char* file;
};
// Each family's own file first; the rest, monospaced first, stand in for a missing one.
constexpr FamilyFile kFiles[] = {
    {"IPAGothic", "ipag.ttf"}, {"IPAPGothic", "ipagp.ttf"}, {"IPAMincho", "ipam.ttf"}, {"IPAPMincho", "ipamp.ttf"}};

}  // namespace

std::filesystem::path FontFilesFolder() {
  const char* dir = std::getenv("MOKUREN_FONT_DIR");
  return dir && *dir ? dir : MOKUREN_FONT_DIR_DEFAULT;
}

void PrepareFontMatching() {}

std::string FullerFace(const std::string& path) {
  // The whole face lies in the folder's "full" folder under the cut-down face's name.
  const std::filesystem::path p(path);
  const std::filesystem::path whole = p.parent_path() / "full" / p.filename();
  std::error_code ec;
  return std::filesystem::is_regular_file(whole, ec) ? whole.string() : std::string();
}

struct FontMatcher::State {
  std::filesystem::path folder;
};

FontMatcher::FontMatcher() = default;
FontMatcher::~FontMatcher() = default;

bool FontMatcher::Open(std::string& error) {
  state_ = std::make_unique<State>();
  state_->folder = FontFilesFolder();
  return true;
}

bool FontMatcher::Find(const char* family, bool monospace, std::string& path, int32_t& index) {
  if (!state_) return false;
  auto present = [&](const char* file) {
    std::error_code ec;
    std::filesystem::path p = state_->folder / file;
    if (!std::filesystem::is_regular_file(p, ec)) return false;
    path = p.string();
    index = 0;
    return true;
  };
  for (const FamilyFile& f : kFiles) {
    if (std::string_view(f.family) == family && present(f.file)) return true;
  }
  for (const FamilyFile& f : kFiles) {
    if (present(f.file)) return true;
  }
  return false;
}

}  // namespace mokuren
