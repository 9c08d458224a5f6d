// Finding the font file that stands in for one of the game's faces. Native builds ask fontconfig for the
// installed family (font_match_fontconfig.cpp); builds without fontconfig, the web build, look in one
// folder of font files (font_match_files.cpp).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace mokuren {

class FontMatcher {
 public:
  FontMatcher();
  ~FontMatcher();
  FontMatcher(const FontMatcher&) = delete;
  FontMatcher& operator=(const FontMatcher&) = delete;

  // Gets ready to match. False, with a message for the player in error, when fonts cannot be looked up.
  bool Open(std::string& error);
  // The best face for family (a monospaced one when asked), or, when family is missing, the best face
  // for Japanese text: its file and its index in the file. False when no face can show Japanese text.
  bool Find(const char* family, bool monospace, std::string& path, int32_t& index);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Starts reading the font configuration on a thread of its own, so that the next FontMatcher::Open finds it
// read (the windowed game, while its window is made). Does nothing where there is nothing to read.
void PrepareFontMatching();

// The whole face that the face in `path` was cut down from, for a build that ships its faces cut down to
// the characters its game's texts use (the web page): a character the cut-down face lacks is drawn from the
// whole one. Empty when `path` is a whole face. Opening the whole face may take long (the page fetches it
// then), so a caller opens it only once a character needs it.
std::string FullerFace(const std::string& path);

// Builds without fontconfig only: the one folder of font files, MOKUREN_FONT_DIR, else the one the build
// names. The game's faces and a translation's faces are both looked up there.
std::filesystem::path FontFilesFolder();

}  // namespace mokuren
