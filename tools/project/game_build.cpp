#include "project/game_build.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "archive/archive_index.h"
#include "base/text_codec.h"
#include "graphics/png_decoder.h"
#include "project/album_file.h"
#include "script/code_search.h"
#include "script/opcodes.h"
#include "script/script_registers.h"
#include "toolkit/archive_reader.h"
#include "toolkit/archive_writer.h"
#include "toolkit/build_state.h"
#include "toolkit/cp932_fit.h"
#include "toolkit/scenario_assembler.h"
#include "toolkit/scenario_files.h"
#include "toolkit/suggestion.h"

namespace fs = std::filesystem;

namespace mokuren::project {

namespace {

using toolkit::BuildState;
using toolkit::FileStamp;
using toolkit::ReadBuildState;
using toolkit::StampOf;
using toolkit::WriteBuildState;

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

// A compiled script and where its instructions were written (no positions when it was taken unchanged
// from the last build's SCRIPT.DAT).
struct BuiltScript {
  fs::path source;
  ScriptImage image;
  std::vector<toolkit::SourcePosition> positions;
  std::vector<std::u16string> labels, jumps, resources;
};

class Builder {
 public:
  Builder(const fs::path& dir, std::ostream& progress, std::ostream& errors)
      : dir_(dir), progress_(progress), errors_(errors), last_(ReadBuildState(dir)) {}

  bool Run() {
    progress_ << "mokuren-build: " << dir_.generic_string() << '\n';
    Scripts();
    Pictures();
    SystemPictures();
    CheckScripts();
    if (mistakes_ > 0) {
      errors_ << "mokuren-build: " << mistakes_ << (mistakes_ == 1 ? " mistake" : " mistakes")
              << "; nothing was written\n";
      return false;
    }
    for (const auto& [name, archive] : archives_) {
      if (archive.entries) {
        try {
          toolkit::WriteArchive(dir_ / name, *archive.entries);
        } catch (const std::exception& e) {
          errors_ << (dir_ / name).generic_string() << ": " << e.what() << '\n';
          return false;
        }
      }
      progress_ << "  " << name << ": " << archive.summary << '\n';
      if (const std::optional<FileStamp> written = StampOf(dir_ / name)) next_.archives[name] = *written;
    }
    // A state that cannot be kept only makes the next build a whole one.
    WriteBuildState(dir_, next_);
    progress_ << "mokuren-build: done; play it with: mokuren " << dir_.generic_string() << '\n';
    return true;
  }

 private:
  struct Output {
    std::optional<std::vector<toolkit::ArchiveEntry>> entries;  // nothing: the archive is up to date
    std::string summary;
  };

  // The archives in the order they are built and told.
  Output& Archive(const std::string& name) { return archives_.emplace_back(name, Output()).second; }

  void Mistake(const std::string& message) {
    errors_ << message << '\n';
    ++mistakes_;
  }
  std::string Shown(const fs::path& p) const { return p.generic_string(); }
  std::string Relative(const fs::path& p) const { return p.lexically_relative(dir_).generic_string(); }

  // Whether `file` is as the last build read it; its stamp is kept for the next one either way.
  bool Unchanged(const fs::path& file) {
    const std::optional<FileStamp> now = StampOf(file);
    if (!now) return false;
    const std::string key = Relative(file);
    next_.inputs[key] = *now;
    const auto it = last_.inputs.find(key);
    return it != last_.inputs.end() && it->second == *now;
  }
  // Whether the archive is the one the last build wrote.
  bool ArchiveAsWritten(const std::string& name) const {
    const auto it = last_.archives.find(name);
    const std::optional<FileStamp> now = StampOf(dir_ / name);
    return it != last_.archives.end() && now && it->second == *now;
  }

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
    // The scripts whose sources did not change since the last build are taken from its SCRIPT.DAT.
    std::optional<toolkit::LoadedArchive> old;
    if (ArchiveAsWritten("SCRIPT.DAT")) {
      try {
        old = toolkit::LoadArchive((dir_ / "SCRIPT.DAT").string(), ArchiveKind::Script);
      } catch (const std::exception&) {
        // Read anew from the sources.
      }
    }
    std::vector<toolkit::ArchiveEntry> entries(sources.empty() ? 0 : static_cast<size_t>(sources.rbegin()->first));
    size_t compiled = 0;
    for (const auto& [n, path] : sources) {
      BuiltScript& built = scripts_[n];
      built.source = path;
      toolkit::ArchiveEntry& entry = entries[static_cast<size_t>(n - 1)];
      entry.name = path.stem().string();
      const bool same = Unchanged(path) && old && static_cast<size_t>(n) < old->Count() &&
                        !old->Entry(static_cast<size_t>(n)).empty();
      if (same) {
        std::vector<std::string> problems;
        entry.bytes = std::string(old->Entry(static_cast<size_t>(n)));
        if (ParseScriptImage(entry.bytes, built.image, problems) && problems.empty()) {
          Tables(built);
          continue;
        }
      }
      if (!Assemble(n, built, entry)) continue;
      ++compiled;
      progress_ << "  script " << n << " <- " << Shown(path) << " (" << built.image.code.size() << " instructions)\n";
    }
    // A script removed, or one number given to another file, changes the archive as well.
    bool upToDate = compiled == 0 && old && old->Count() == entries.size() + 1;
    for (size_t n = 1; upToDate && n <= entries.size(); ++n)
      upToDate = old->Entry(n).empty() == entries[n - 1].bytes.empty() && old->Name(n) == entries[n - 1].name;
    Output& out = Archive("SCRIPT.DAT");
    out.summary = std::to_string(sources.size()) + (sources.size() == 1 ? " script" : " scripts");
    if (upToDate) {
      out.summary += ", up to date";
    } else {
      if (compiled < sources.size()) out.summary += " (" + std::to_string(compiled) + " compiled again)";
      out.entries = std::move(entries);
    }
  }

  bool Assemble(int n, BuiltScript& built, toolkit::ArchiveEntry& entry) {
    std::string text, error;
    if (!toolkit::ReadWholeFile(built.source, text, error)) {
      Mistake(error);
      return false;
    }
    toolkit::AssemblyResult r = toolkit::AssembleScenario(text, Shown(built.source));
    for (const std::string& e : r.errors) Mistake(e);
    if (!r.ok()) {
      scripts_.erase(n);
      return false;
    }
    built.image = std::move(r.image);
    built.positions = std::move(r.positions);
    entry.bytes = EncodeScriptImage(built.image);
    Tables(built);
    return true;
  }

  static void Tables(BuiltScript& built) {
    built.labels = ScriptTableLines(built.image.tables[static_cast<int>(ScriptTableKind::Labels)]);
    built.jumps = ScriptTableLines(built.image.tables[static_cast<int>(ScriptTableKind::Jumps)]);
    built.resources = ScriptTableLines(built.image.tables[static_cast<int>(ScriptTableKind::Resources)]);
  }

  // "FILE:LINE:COLUMN" of an instruction, compiling a script taken unchanged to find it.
  std::string Where(int n, BuiltScript& built, int32_t step) {
    if (built.positions.empty()) {
      std::string text, error;
      if (toolkit::ReadWholeFile(built.source, text, error))
        built.positions = toolkit::AssembleScenario(text, Shown(built.source)).positions;
    }
    if (step < 0 || static_cast<size_t>(step) >= built.positions.size())
      return Shown(built.source) + ": script " + std::to_string(n) + " step " + std::to_string(step);
    const toolkit::SourcePosition& p = built.positions[static_cast<size_t>(step)];
    return Shown(built.source) + ":" + std::to_string(p.line) + ":" + std::to_string(p.column);
  }

  // What needs every script and picture: each jump and call leads to a label of a script the game has,
  // and each picture a script names is among the pictures (a warning: the engine shows nothing for it).
  void CheckScripts() {
    for (auto& [n, built] : scripts_) {
      const std::vector<ScriptInstruction>& code = built.image.code;
      const int32_t end = CodeEnd(code);
      for (int32_t i = 0; i < end; ++i) {
        const ScriptInstruction& ins = code[static_cast<size_t>(i)];
        if (ins.Code == op::Jump || ins.Code == op::Call) {
          CheckJump(n, built, i, ins);
        } else if (ins.Code >= op::Background && ins.Code <= op::Layer5 && (ins.Modes & kNameFlag) &&
                   OperandMode(ins.Modes, 4) == kModeValue && !pictureNames_.empty() && ins.Value >= 0 &&
                   static_cast<size_t>(ins.Value) < built.resources.size()) {
          const std::string name = ToUtf8(Trim(built.resources[static_cast<size_t>(ins.Value)]));
          if (!name.empty() && !pictureNames_.count(Upper(name)))
            errors_ << Where(n, built, i) << ": warning: there is no picture " << name << ".png in "
                    << Shown(dir_ / "pictures") << "; the engine shows nothing for it"
                    << toolkit::DidYouMean(name, pictureList_) << '\n';
        }
      }
    }
  }

  void CheckJump(int n, BuiltScript& built, int32_t i, const ScriptInstruction& ins) {
    // A name or a script read from a variable is known only when the game runs.
    if (OperandMode(ins.Modes, 0) != kModeValue || OperandMode(ins.Modes, 4) != kModeValue) return;
    if (ins.P1 < 0 || static_cast<size_t>(ins.P1) >= built.jumps.size()) return;
    const char* what = ins.Code == op::Call ? "call" : "jump";
    const int target = ins.Value != 0 ? ins.Value : n;
    const auto t = scripts_.find(target);
    if (t == scripts_.end()) {
      Mistake(Where(n, built, i) + ": " + what + " to script " + std::to_string(target) + ", which the game lacks: " +
              Shown(dir_ / "scenario") + " has no file whose name carries " + std::to_string(target));
      return;
    }
    const std::u16string& name = built.jumps[static_cast<size_t>(ins.P1)];
    if (FindLabelInstruction(t->second.image.code, LabelIndex(t->second.labels, name)).step >= 0) return;
    std::vector<std::string> labels;
    for (const std::u16string& l : t->second.labels) labels.push_back(ToUtf8(l));
    Mistake(Where(n, built, i) + ": " + what + " to label \"" + ToUtf8(name) + "\", which " +
            (target == n ? std::string("this script") : "script " + std::to_string(target)) + " does not have" +
            toolkit::DidYouMean(ToUtf8(name), labels));
  }

  // A picture the engine can decode; the bytes, or nothing after telling the mistake. A picture the last
  // build took and that has not changed since is not decoded again.
  bool ReadPicture(const fs::path& file, std::string& bytes) {
    const bool same = Unchanged(file);
    std::string error;
    if (!toolkit::ReadWholeFile(file, bytes, error)) {
      Mistake(error);
      return false;
    }
    if (same) return true;
    PngImage image;
    if (!DecodePng({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, image, error)) {
      next_.inputs.erase(Relative(file));
      Mistake(Shown(file) + ": not a PNG picture the engine can show: " + error);
      return false;
    }
    return true;
  }

  // Whether every file of `files` (and `also`) is as the last build read it, the archive as it wrote it,
  // and no other file of the folder was read then: nothing to build.
  bool UpToDate(const std::string& archive, const fs::path& folder, const std::vector<fs::path>& files,
                const std::vector<fs::path>& also = {}) {
    std::set<std::string> now;
    bool same = ArchiveAsWritten(archive);
    // Every file's stamp is kept for the next build, whatever this one does.
    for (const std::vector<fs::path>* list : {&files, &also})
      for (const fs::path& f : *list) {
        now.insert(Relative(f));
        same = Unchanged(f) && same;
      }
    const std::string prefix = Relative(folder) + "/";
    for (const auto& [key, stamp] : last_.inputs)
      if (key.rfind(prefix, 0) == 0 && !now.count(key)) same = false;
    return same;
  }

  void Pictures() {
    const fs::path folder = dir_ / "pictures";
    const std::vector<fs::path> files = PngFiles(folder);
    // Each picture by its name without ".png", in capitals (scripts find names in any case).
    std::map<std::string, fs::path> byName;
    for (const fs::path& file : files) {
      const auto [at, added] = byName.emplace(Upper(file.stem().string()), file);
      if (!added) Mistake(Shown(file) + ": the same name as " + Shown(at->second) + " (names are found in any case)");
      pictureList_.push_back(file.stem().string());
    }
    for (const auto& [name, file] : byName) pictureNames_.insert(name);
    // album.txt's pictures go to their entries first; the others fill the entries from 1 that are left.
    std::map<int, fs::path> placed;
    std::set<std::string> inAlbum;
    const fs::path albumFile = dir_ / "album.txt";
    std::vector<fs::path> album;
    if (fs::exists(albumFile)) {
      album.push_back(albumFile);
      std::string text, error;
      std::vector<std::string> problems;
      if (!toolkit::ReadWholeFile(albumFile, text, error)) problems.push_back(error);
      for (const AlbumPlacement& p : ParseAlbumFile(text, Shown(albumFile), problems)) {
        const auto it = byName.find(Upper(p.picture));
        if (it == byName.end()) {
          problems.push_back(Shown(albumFile) + ":" + std::to_string(p.line) + ": there is no " + p.picture +
                             ".png in " + Shown(folder) + toolkit::DidYouMean(p.picture, pictureList_));
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
    Output& out = Archive("GRAPHIC.DAT");
    out.summary = std::to_string(placed.size()) + (placed.size() == 1 ? " picture" : " pictures") + " from " +
                  Shown(folder) + " (" + std::to_string(inAlbum.size()) + " in the album)";
    if (UpToDate("GRAPHIC.DAT", folder, files, album)) {
      out.summary += ", up to date";
      return;
    }
    std::vector<toolkit::ArchiveEntry> entries(placed.empty() ? 0 : static_cast<size_t>(placed.rbegin()->first));
    for (const auto& [entry, file] : placed) {
      toolkit::ArchiveEntry& e = entries[static_cast<size_t>(entry - 1)];
      e.name = file.filename().string();
      if (!ReadPicture(file, e.bytes)) continue;
      bool fits = true;
      Utf16ToCp932(FromUtf8(e.name), &fits);
      if (!fits) {
        const std::optional<toolkit::UnfitCharacter> unfit = toolkit::FirstUnfitCharacter(e.name);
        Mistake(Shown(file) + ": the name has a character that Shift-JIS (CP932) cannot hold" +
                (unfit ? ": " + unfit->shown : std::string()));
      }
    }
    out.entries = std::move(entries);
  }

  void SystemPictures() {
    const fs::path folder = dir_ / "system";
    const std::vector<fs::path> files = PngFiles(folder);
    std::map<int, fs::path> numbered;
    for (const fs::path& file : files) {
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
    Output& out = Archive("SYSGRP.DAT");
    out.summary =
        std::to_string(numbered.size()) + (numbered.size() == 1 ? " picture" : " pictures") + " from " + Shown(folder);
    if (UpToDate("SYSGRP.DAT", folder, files)) {
      out.summary += ", up to date";
      return;
    }
    std::vector<toolkit::ArchiveEntry> entries(numbered.empty() ? 0 : static_cast<size_t>(numbered.rbegin()->first));
    for (size_t i = 0; i < entries.size(); ++i) entries[i].name = "SYS" + std::to_string(i + 1) + ".PNG";
    for (const auto& [entry, file] : numbered) ReadPicture(file, entries[static_cast<size_t>(entry - 1)].bytes);
    out.entries = std::move(entries);
  }

  const fs::path dir_;
  std::ostream& progress_;
  std::ostream& errors_;
  const BuildState last_;
  BuildState next_;
  int mistakes_ = 0;
  std::map<int, BuiltScript> scripts_;
  std::set<std::string> pictureNames_;  // in capitals, without ".png"
  std::vector<std::string> pictureList_;
  std::vector<std::pair<std::string, Output>> archives_;
};

}  // namespace

bool BuildGame(const fs::path& dir, std::ostream& progress, std::ostream& errors) {
  return Builder(dir, progress, errors).Run();
}

}  // namespace mokuren::project
