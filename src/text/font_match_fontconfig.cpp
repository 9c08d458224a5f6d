#include "text/font_match.h"

#include <future>
#include <mutex>
#include <system_error>

#include "text/fontconfig_face.h"

namespace mokuren {

// A configuration of our own, released with the matcher: the library's global one is never freed, and
// the faces need nothing from fontconfig after matching.
struct FontMatcher::State {
  FontconfigHandle config;
};

namespace {

// The configuration PrepareFontMatching reads ahead, until an Open takes it; one never taken (the program
// ended before it opened a game) is released with the future at exit.
std::mutex preparedMutex;
std::future<FontconfigHandle> prepared;

}  // namespace

void PrepareFontMatching() {
  std::lock_guard lock(preparedMutex);
  if (prepared.valid()) return;
  // Without a thread to read it on, Open reads the configuration itself.
  try {
    prepared = std::async(std::launch::async, [] { return FontconfigHandle(FcInitLoadConfigAndFonts()); });
  } catch (const std::system_error&) {
  }
}

FontMatcher::FontMatcher() = default;
FontMatcher::~FontMatcher() = default;

bool FontMatcher::Open(std::string& error) {
  state_ = std::make_unique<State>();
  {
    std::lock_guard lock(preparedMutex);
    if (prepared.valid()) state_->config = prepared.get();
  }
  if (!state_->config) state_->config.reset(FcInitLoadConfigAndFonts());
  if (!state_->config) {
    error = "フォントの設定（fontconfig）を読み込めません。\nfontconfig could not be initialised";
    return false;
  }
  return true;
}

bool FontMatcher::Find(const char* family, bool monospace, std::string& path, int32_t& index) {
  // Hiragana "あ" and the kanji "漢": a face that has both can show the game's text.
  return state_ && FindInstalledFace(state_->config.get(), {family, "ja", U"あ漢", monospace}, path, index);
}

// Installed faces are whole.
std::string FullerFace(const std::string&) { return {}; }

}  // namespace mokuren
