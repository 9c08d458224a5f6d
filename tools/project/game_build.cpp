#include "project/game_build.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "archive/archive_index.h"
#include "base/text_codec.h"
#include "graphics/png_decoder.h"
#include "project/album_file.h"
#include "toolkit/archive_writer.h"
#include "toolkit/scenario_assembler.h"
#include "toolkit/scenario_files.h"

namespace fs = std::filesystem;

namespace mokuren::project {

namespace {

bool IsPng(const fs::path& file) {
  std::string ext = file.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".png";
}

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
  return s;
}

// The PNG files of a folder, sorted by name; none when the folder is missing.
std::vector<fs::path> PngFiles(const fs::path& dir) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec))
    if (e.is_regular_file() && IsPng(e.path())) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

class Builder {
 public:
  Builder(const fs::path& dir, std::ostream& progress, std::ostream& errors)
      : dir_(dir), progress_(progress), errors_(errors) {}

  bool Run() {
    progress_ << "mokuren-build: " << dir_.generic_string() << '\n';
    Scripts();
    Pictures();
    SystemPictures();
    if (mistakes_ > 0) {
      errors_ << "mokuren-build: " << mistakes_ << (mistakes_ == 1 ? " mistake" : " mistakes")
              << "; nothing was written\n";
      return false;
    }
    for (const auto& [name, entries] : archives_) {
      try {
        toolkit::WriteArchive(dir_ / name, entries);
      } catch (const std::exception& e) {
        errors_ << (dir_ / name).generic_string() << ": " << e.what() << '\n';
        return false;
      }
    }
    progress_ << "mokuren-build: done; play it with: mokuren " << dir_.generic_string() << '\n';
    return true;
  }

 private:
  void Mistake(const std::string& message) {
    errors_ << message << '\n';
    ++mistakes_;
  }
  std::string Shown(const fs::path& p) const { return p.generic_string(); }

  void Scripts() {
    const fs::path folder = dir_ / "scenario";
    std::map<int, fs::path> sources;
    try {
      if (!fs::is_directory(folder)) {
        Mistake(Shown(folder) + ": there is no such folder; the game's scripts are written there");
        return;
      }
      sources = toolkit::FindScenarioSources(folder);
    } catch (const std::exception& e) {
      Mistake(e.what());
      return;
    }
    if (sources.empty()) Mistake(Shown(folder) + ": holds no script; script 1 (script1.txt) is where the game starts");
    std::vector<toolkit::ArchiveEntry> scripts(sources.empty() ? 0 : static_cast<size_t>(sources.rbegin()->first));
    for (const auto& [n, path] : sources) {
      std::string text, error;
      if (!toolkit::ReadWholeFile(path, text, error)) {
        Mistake(error);
        continue;
      }
      const toolkit::AssemblyResult r = toolkit::AssembleScenario(text, Shown(path));
      for (const std::string& e : r.errors) Mistake(e);
      if (!r.ok()) continue;
      scripts[static_cast<size_t>(n - 1)] = {path.stem().string(), EncodeScriptImage(r.image)};
      progress_ << "  script " << n << " <- " << Shown(path) << " (" << r.image.code.size() << " instructions)\n";
    }
    progress_ << "  SCRIPT.DAT: " << sources.size() << (sources.size() == 1 ? " script\n" : " scripts\n");
    archives_["SCRIPT.DAT"] = std::move(scripts);
  }

  // A picture the engine can decode; the bytes, or nothing after telling the mistake.
  bool ReadPicture(const fs::path& file, std::string& bytes) {
    std::string error;
    if (!toolkit::ReadWholeFile(file, bytes, error)) {
      Mistake(error);
      return false;
    }
    PngImage image;
    if (!DecodePng({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, image, error)) {
      Mistake(Shown(file) + ": not a PNG picture the engine can show: " + error);
      return false;
    }
    return true;
  }

  void Pictures() {
    const fs::path folder = dir_ / "pictures";
    // Each picture by its name without ".png", in capitals (scripts find names in any case).
    std::map<std::string, fs::path> byName;
    for (const fs::path& file : PngFiles(folder)) {
      const auto [at, added] = byName.emplace(Upper(file.stem().string()), file);
      if (!added) Mistake(Shown(file) + ": the same name as " + Shown(at->second) + " (names are found in any case)");
    }
    // album.txt's pictures go to their entries first; the others fill the entries from 1 that are left.
    std::map<int, fs::path> placed;
    std::set<std::string> inAlbum;
    const fs::path albumFile = dir_ / "album.txt";
    if (fs::exists(albumFile)) {
      std::string text, error;
      std::vector<std::string> problems;
      if (!toolkit::ReadWholeFile(albumFile, text, error)) problems.push_back(error);
      for (const AlbumPlacement& p : ParseAlbumFile(text, Shown(albumFile), problems)) {
        const auto it = byName.find(Upper(p.picture));
        if (it == byName.end()) {
          problems.push_back(Shown(albumFile) + ":" + std::to_string(p.line) + ": there is no " + p.picture +
                             ".png in " + Shown(folder));
        } else if (!inAlbum.insert(it->first).second) {
          problems.push_back(Shown(albumFile) + ":" + std::to_string(p.line) + ": " + p.picture +
                             " is already in the album");
        } else {
          placed[p.entry] = it->second;
        }
      }
      for (const std::string& p : problems) Mistake(p);
    }
    int next = 1;
    for (const auto& [name, file] : byName) {
      if (inAlbum.count(name)) continue;
      while (placed.count(next)) ++next;
      if (next >= static_cast<int>(ArchiveIndex::kEntries)) {
        Mistake(Shown(file) + ": GRAPHIC.DAT holds at most " + std::to_string(ArchiveIndex::kEntries - 1) +
                " pictures");
        break;
      }
      placed[next++] = file;
    }
    std::vector<toolkit::ArchiveEntry> entries(placed.empty() ? 0 : static_cast<size_t>(placed.rbegin()->first));
    for (const auto& [entry, file] : placed) {
      toolkit::ArchiveEntry& e = entries[static_cast<size_t>(entry - 1)];
      e.name = file.filename().string();
      if (!ReadPicture(file, e.bytes)) continue;
      bool fits = true;
      Utf16ToCp932(FromUtf8(e.name), &fits);
      if (!fits) Mistake(Shown(file) + ": the name has characters that Shift-JIS (CP932) cannot hold");
    }
    progress_ << "  GRAPHIC.DAT: " << placed.size() << (placed.size() == 1 ? " picture" : " pictures") << " from "
              << Shown(folder) << " (" << inAlbum.size() << " in the album)\n";
    archives_["GRAPHIC.DAT"] = std::move(entries);
  }

  void SystemPictures() {
    const fs::path folder = dir_ / "system";
    std::map<int, fs::path> numbered;
    for (const fs::path& file : PngFiles(folder)) {
      const std::string name = file.filename().string();
      size_t digits = 0;
      while (digits < name.size() && std::isdigit(static_cast<unsigned char>(name[digits]))) ++digits;
      const int entry = digits > 0 && digits <= 5 ? std::stoi(name.substr(0, digits)) : 0;
      if (entry < 1 || entry >= static_cast<int>(ArchiveIndex::kEntries)) {
        Mistake(Shown(file) + ": a system picture's name starts with its SYSGRP.DAT entry number (061-title.png)");
        continue;
      }
      if (const auto [at, added] = numbered.emplace(entry, file); !added)
        Mistake(Shown(file) + ": entry " + std::to_string(entry) + " is " + Shown(at->second) + " already");
    }
    std::vector<toolkit::ArchiveEntry> entries(numbered.empty() ? 0 : static_cast<size_t>(numbered.rbegin()->first));
    for (size_t i = 0; i < entries.size(); ++i) entries[i].name = "SYS" + std::to_string(i + 1) + ".PNG";
    for (const auto& [entry, file] : numbered) ReadPicture(file, entries[static_cast<size_t>(entry - 1)].bytes);
    progress_ << "  SYSGRP.DAT: " << numbered.size() << (numbered.size() == 1 ? " picture" : " pictures") << " from "
              << Shown(folder) << '\n';
    archives_["SYSGRP.DAT"] = std::move(entries);
  }

  const fs::path dir_;
  std::ostream& progress_;
  std::ostream& errors_;
  int mistakes_ = 0;
  std::map<std::string, std::vector<toolkit::ArchiveEntry>> archives_;
};

}  // namespace

bool BuildGame(const fs::path& dir, std::ostream& progress, std::ostream& errors) {
  return Builder(dir, progress, errors).Run();
}

}  // namespace mokuren::project
