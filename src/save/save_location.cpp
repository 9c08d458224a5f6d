#include "save/save_location.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/atomic_file.h"
#include "base/error_list.h"
#include "base/error_texts.h"
#include "base/text_codec.h"
#include "platform/game_files.h"
#include "platform/platform.h"
#include "save/save_data.h"
#include "save/save_host.h"
#include "text/engine_texts.h"

namespace mokuren {

namespace {

// How long the player is shown where the saves went (timer ticks of 10 ms).
constexpr int32_t kMovedNoticeTicks = 800;

std::filesystem::path HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return {};
}

// The longest file name the usual Linux file systems take, in bytes.
constexpr size_t kMaxFileNameBytes = 255;

// FNV-1a: stable across builds and machines, which std::hash is not.
uint32_t PathHash(const std::string& s) {
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : s) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return static_cast<uint32_t>(h ^ (h >> 32));
}

bool ReadWhole(const std::filesystem::path& p, std::vector<uint8_t>& bytes) {
  std::ifstream in(p, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), {});
  return !in.bad();
}

// The path as the player would type it: the home directory as "~".
std::string Shown(const std::filesystem::path& p) {
  const std::string home = HomeDirectory().string(), s = p.string();
  if (!home.empty() && home != "/" && s.starts_with(home + "/")) return "~" + s.substr(home.size());
  return s;
}

}  // namespace

bool DirectoryWritable(const std::filesystem::path& dir) {
  // The system's own answer: it knows read-only mounts and access lists, and leaves the folder untouched.
  return ::access(dir.c_str(), W_OK) == 0;
}

std::filesystem::path UserSaveDirectory(const std::filesystem::path& gameDir) {
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && std::filesystem::path(xdg).is_absolute()) {
    base = xdg;
  } else {
    base = HomeDirectory() / ".local" / "share";
  }
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::weakly_canonical(std::filesystem::absolute(gameDir), ec);
  const std::string key = (ec ? gameDir : absolute).string();
  std::string name = (ec ? gameDir : absolute).filename().string();
  if (name.empty()) name = "game";
  // A file name has at most 255 bytes, and the hash needs 9 of them. A longer game folder name is cut,
  // never inside a UTF-8 character; the hash of the whole path still tells such folders apart.
  if (name.size() > kMaxFileNameBytes - 9) {
    size_t cut = kMaxFileNameBytes - 9;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  char hash[9];
  std::snprintf(hash, sizeof hash, "%08x", PathHash(key));
  return base / "mokuren" / (name + "-" + hash);
}

void SaveData::ChooseSaveDir() {
  SaveDir = gameDir_;
  if (DirectoryWritable(gameDir_)) return;
  const std::filesystem::path dir = UserSaveDirectory(gameDir_);
  std::error_code ec;
  const bool existed = std::filesystem::is_directory(dir, ec);
  if (!existed && (!std::filesystem::create_directories(dir, ec) || ec)) {
    errors_.Add(error_text::kNoSaveFolder, {{u"dir", FromUtf8(dir.string())}, {u"error", FromUtf8(ec.message())}});
    return;
  }
  SaveDir = dir;
  // Progress and saves made while the folder was writable come along, thumbnails included, the first
  // time only: afterwards the copy here is the newer one.
  const std::filesystem::path original = FindGameFile(gameDir_, "SAVE.DAT");
  if (!std::filesystem::exists(dir / "SAVE.DAT", ec) && std::filesystem::is_regular_file(original, ec)) {
    std::vector<uint8_t> bytes;
    std::string error = ReadWhole(original, bytes) ? WriteFileAtomically(dir / "SAVE.DAT", bytes) : "cannot read it";
    if (!error.empty())
      errors_.Add(error_text::kSaveNotCopied, {{u"dir", FromUtf8(dir.string())}, {u"error", FromUtf8(error)}});
    const std::filesystem::path thumbs = FindGameFile(gameDir_, "THUMB");
    for (std::filesystem::directory_iterator it(thumbs, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code fileEc;
      if (!it->is_regular_file(fileEc) || !ReadWhole(it->path(), bytes)) continue;
      std::filesystem::create_directories(dir / "THUMB", fileEc);
      WriteFileAtomically(dir / "THUMB" / it->path().filename(), bytes);
    }
  }
  if (existed) return;
  // Said once, when the folder is made: from then on the saves are simply there.
  errors_.Add(error_text::kSavesMoved, {{u"game", FromUtf8(gameDir_.string())}, {u"dir", FromUtf8(dir.string())}});
  const std::u16string_view place = platform_.PlayerFilesPlace();
  host_.ShowNotice(FillInName(host_.EngineText(u"セーブデータの保存先: {dir}"), u"{dir}",
                              place.empty() ? FromUtf8(Shown(dir)) : host_.EngineText(place)),
                   kMovedNoticeTicks);
}

}  // namespace mokuren
