#include "graphics/picture_replacements.h"

#include <algorithm>
#include <charconv>
#include <system_error>
#include <unordered_map>

#include "base/text_codec.h"
#include "platform/game_files.h"

namespace mokuren {

namespace {

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

bool EndsWithPng(const std::string& upper) { return upper.size() > 4 && upper.ends_with(".PNG"); }

// The files of a folder (named in any case under `parent`), by name; empty when there is no such folder.
std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& parent, const char* folder) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  const std::filesystem::path dir = FindGameFile(parent, folder);
  if (!std::filesystem::is_directory(dir, ec)) return files;
  for (const std::filesystem::directory_entry& e : std::filesystem::directory_iterator(dir, ec))
    if (e.is_regular_file(ec)) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

std::string ReplacementFileName(std::u16string_view name) {
  const std::string utf8 = ToUtf8(name);
  if (utf8.empty() || utf8.find_first_of("/\\") != std::string::npos || utf8 == "." || utf8 == "..") return {};
  return EndsWithPng(Upper(utf8)) ? utf8 : utf8 + ".png";
}

PictureReplacements PictureReplacements::Find(const std::filesystem::path& folder,
                                              const std::vector<std::u16string>& graphicNames,
                                              const std::function<bool(int32_t)>& systemEntry) {
  PictureReplacements r;
  r.gameDir_ = folder.parent_path().parent_path();
  for (const std::filesystem::path& file : FilesIn(folder, kReplacedSystemFolder)) {
    const std::string name = Upper(file.filename().string());
    int32_t entry = 0;
    const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), entry);
    if (ec != std::errc() || std::string_view(end) != ".PNG" || entry < 1 || name[0] == '0') {
      r.strays_.push_back({file, "its name is not a system picture's number followed by \".png\""});
    } else if (!systemEntry(entry)) {
      r.strays_.push_back({file, std::string(kReplacedSystemFolder) + " has no picture " + std::to_string(entry)});
    } else {
      r.system_[entry] = file;
    }
  }
  const std::vector<std::filesystem::path> graphicFiles = FilesIn(folder, kReplacedGraphicsFolder);
  if (graphicFiles.empty()) return r;
  // Each listed name under the file names that replace it: the name as listed, and with ".png" added.
  std::unordered_map<std::string, int32_t> entries;
  for (size_t i = 0; i < graphicNames.size(); ++i) {
    std::string name = Upper(ToUtf8(graphicNames[i]));
    // Blanks around a listed name do not count, as when a script names the picture.
    name.erase(0, name.find_first_not_of(' '));
    name.erase(name.find_last_not_of(' ') + 1);
    if (name == ":END") break;
    if (name.empty()) continue;
    entries.emplace(name + ".PNG", static_cast<int32_t>(i + 1));
    if (EndsWithPng(name)) entries.emplace(name, static_cast<int32_t>(i + 1));
  }
  for (const std::filesystem::path& file : graphicFiles) {
    const auto it = entries.find(Upper(file.filename().string()));
    if (it == entries.end())
      r.strays_.push_back({file, std::string(kReplacedGraphicsFolder) + " names no picture \"" +
                                     file.filename().string() + "\" (the name list's name, with or without .png)"});
    else
      r.graphics_[it->second] = file;
  }
  return r;
}

std::string PictureReplacements::Shown(const std::filesystem::path& file) const {
  const std::filesystem::path relative = file.lexically_relative(gameDir_);
  return (relative.empty() ? file : relative).generic_string();
}

const std::filesystem::path* PictureReplacements::For(bool system, int32_t entry) const {
  const auto& map = system ? system_ : graphics_;
  const auto it = map.find(entry);
  return it == map.end() ? nullptr : &it->second;
}

}  // namespace mokuren
