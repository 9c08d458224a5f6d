#include "app/game_title.h"

#include <algorithm>

#include "base/text_codec.h"
#include "platform/game_files.h"

namespace mokuren {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\u3000'; }

}  // namespace

GameTitle ParseGameTitle(std::string_view bytes) {
  GameTitle title;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  const std::string_view line = bytes.substr(0, bytes.find_first_of("\r\n"));
  // Valid UTF-8 comes back from the round trip unchanged; anything else is taken as the game data's CP932.
  std::u16string text = FromUtf8(line);
  if (ToUtf8(text) != line) {
    text = Cp932ToUtf16(line);
    bool held = true;
    if (Utf16ToCp932(text, &held) != line || !held)
      title.problems.push_back("the title has bytes that are neither UTF-8 nor CP932; they show as \"・\"");
  }
  for (char16_t& c : text)
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) c = u' ';
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  text = text.substr(begin, end - begin);
  if (text.empty()) {
    title.problems.push_back("the first line is empty; the caption stays \"Mokuren\"");
    return title;
  }
  if (text.size() > kMaxGameTitleLength) {
    title.problems.push_back("the title is " + std::to_string(text.size()) +
                             " characters long; the caption shows its first " + std::to_string(kMaxGameTitleLength));
    size_t cut = kMaxGameTitleLength;
    if (text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut;  // keep a pair whole
    text.resize(cut);
  }
  title.text = std::move(text);
  return title;
}

GameTitle ReadGameTitle(const std::filesystem::path& gameDir) {
  const std::filesystem::path path = FindGameFile(gameDir, kGameTitleFile);
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return {};
  const std::string file = path.filename().string();
  // Only a regular file is read: a named pipe in its place would hold the start-up until it is written to.
  GameFile in;
  std::string problem;
  if (!in.Open(path, problem)) return {{}, file, {problem}};
  std::string bytes(static_cast<size_t>(std::min<uint64_t>(in.Size(), kGameTitleReadLimit)), '\0');
  if (!in.ReadAt(0, bytes.data(), bytes.size())) return {{}, file, {"the file cannot be read"}};
  GameTitle title = ParseGameTitle(bytes);
  title.file = file;
  return title;
}

}  // namespace mokuren
