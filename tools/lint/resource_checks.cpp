// Checks of what scripts show and play: pictures by name or number, music, effects and voices by the
// file names the engine builds, and the opening movie; and (unless asked to be quick) whether every
// picture of both image archives, every sound file and the movie decode with the engine's own decoders.
// A voice's header is read, not the whole voice, unless asked to be deep: a game has tens of thousands.
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "base/text_codec.h"
#include "graphics/png_decoder.h"
#include "lint/game_checks.h"
#include "movie/movie_player.h"
#include "platform/game_files.h"
#include "script/opcodes.h"
#include "script/script_registers.h"
#include "sound/OggWuvorbisLib.h"
#include "sound/sound_files.h"
#include "toolkit/archive_writer.h"
#include "toolkit/parallel_jobs.h"
#include "toolkit/suggestion.h"

namespace fs = std::filesystem;

namespace mokuren::lint {

namespace {

constexpr int kTitleTrack = 9;
constexpr uint32_t kScreenWidth = 800, kScreenHeight = 600;

std::string PngProblem(std::string_view bytes) {
  PngImage image;
  std::string error;
  if (DecodePng(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), image, error)) return {};
  return error;
}

// Decodes the whole file, so damage anywhere in it shows.
std::string VorbisProblem(const std::string& bytes) {
  auto stream = std::make_unique<TMemoryStream>(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  TVorbisFileDLL& lib = VorbisFile();
  OggVorbis_File vf{};
  if (lib.ov_open_callbacks(stream.get(), &vf) < 0) return "not an Ogg Vorbis file the engine can open";
  stream.release();  // the decoder owns it now
  const vorbis_info* info = lib.ov_info(&vf);
  const long rate = info ? info->rate : 0;
  std::vector<char> buffer(1 << 16);
  int64_t bytesRead = 0;
  std::string problem;
  for (int section = 0;;) {
    const long got = lib.ov_read(&vf, buffer.data(), static_cast<int>(buffer.size()), &section);
    if (got == 0) break;
    if (got < 0) {
      const double seconds =
          rate > 0 && info->channels > 0 ? static_cast<double>(bytesRead) / 2 / info->channels / rate : 0;
      problem = "the sound is damaged after " + std::to_string(static_cast<int>(seconds)) + " s";
      break;
    }
    bytesRead += got;
  }
  lib.ov_clear(&vf);
  return problem;
}

// What the engine checks first of a sound file: an Ogg page that begins a stream, holding a Vorbis
// identification header of at least one channel and a rate.
std::string VorbisHeaderProblem(const fs::path& path) {
  GameFile file;
  std::string problem;
  if (!file.Open(path, problem)) return problem;
  uint8_t page[27 + 255 + 30];
  const size_t size = static_cast<size_t>(std::min<uint64_t>(file.Size(), sizeof page));
  if (size < 27 || !file.ReadAt(0, page, size) || std::memcmp(page, "OggS", 4) != 0 || page[4] != 0)
    return "not an Ogg file";
  const size_t packet = 27 + page[26];
  if ((page[5] & 2) == 0 || size < packet + 16 || page[packet] != 1 || std::memcmp(page + packet + 1, "vorbis", 6) != 0)
    return "not an Ogg Vorbis file: its first packet is no Vorbis header";
  const uint32_t rate = page[packet + 12] | page[packet + 13] << 8 | page[packet + 14] << 16 |
                        static_cast<uint32_t>(page[packet + 15]) << 24;
  if (page[packet + 11] == 0 || rate == 0) return "its Vorbis header gives no channels or no rate";
  return {};
}

// Width and height from a PNG's header, or {0, 0} when it is not a PNG.
std::pair<uint32_t, uint32_t> PngSize(std::string_view png) {
  if (png.size() < 24 || png.substr(1, 3) != "PNG") return {0, 0};
  auto be32 = [&](size_t at) {
    uint32_t v = 0;
    for (size_t k = 0; k < 4; ++k) v = v << 8 | static_cast<uint8_t>(png[at + k]);
    return v;
  };
  return {be32(16), be32(20)};
}

std::string MovieProblem(const std::string& bytes) {
  MoviePlayer player;
  player.SetFile(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  std::string problem;
  player.Prepare(problem);
  return problem;
}

class ResourceChecker : ScriptCheck {
 public:
  ResourceChecker(const GameData& game, Decoding decoding, Findings& findings, std::set<int>& shown)
      : ScriptCheck(game, findings), decoding_(decoding), shown_(shown) {}

  void Run() {
    game_.ForEachInstruction([this](int n, const GameScript& s, int32_t i, const ScriptInstruction& ins) {
      CheckInstruction(n, s, i, ins);
    });
    CheckMovie();
    CheckTitleMusic();
    if (decoding_ != Decoding::None) Decode();
  }

 private:
  // A sound file the engine would play is present (every file of Sound/ and VOICE/ is decoded).
  bool SoundPresent(const std::string& name) { return game_.File(name).has_value(); }

  void CheckInstruction(int n, const GameScript& s, int32_t i, const ScriptInstruction& ins) {
    const bool fixedValue = OperandMode(ins.Modes, 4) == kModeValue;
    if (ins.Code >= op::Background && ins.Code <= op::Layer5 && fixedValue) {
      CheckPicture(n, s, i, ins);
    } else if (ins.Code == op::Bgm && fixedValue && ins.Value != 0) {
      const std::string name = MusicFileName(ins.Value, false);
      if (!SoundPresent(name))
        Add(Severity::Error, "music-missing", n, i,
            "music " + std::to_string(ins.Value) + ": " + Slashed(name) + " is missing");
      const std::string second = MusicFileName(ins.Value, true);
      if (second != name && !SoundPresent(second) && secondVersionsReported_.insert(ins.Value).second)
        Add(Severity::Warning, "music-missing", n, i,
            "music " + std::to_string(ins.Value) + " has no second version " + Slashed(second) +
                ": the music button switches to it and the music stops");
    } else if (ins.Code >= op::Se1 && ins.Code <= op::Se3 && fixedValue && ins.Value != 0) {
      const std::string name = EffectFileName(ins.Value);
      if (!SoundPresent(name))
        Add(Severity::Error, "effect-missing", n, i,
            "effect " + std::to_string(ins.Value) + ": " + Slashed(name) + " is missing");
    } else if (ins.Code == op::Message && fixedValue && ins.Value != -1) {
      if (std::string problem; !TableHasLine(s.resources, "resource-name", ins.Value, problem)) {
        Add(Severity::Error, "voice-missing", n, i, "the voice is " + problem);
        return;
      }
      const std::string name = ToUtf8(VoiceFileName(s.resources[static_cast<size_t>(ins.Value)]));
      if (!SoundPresent(name))
        Add(Severity::Error, "voice-missing", n, i,
            "voice " + Slashed(name) + " is missing" +
                toolkit::DidYouMean(ToUtf8(s.resources[static_cast<size_t>(ins.Value)]), VoiceNames()));
    } else if (ins.Code == op::Movie && !movieUse_) {
      movieUse_ = {n, i};
    } else if (ins.Code == op::SystemFunction && ins.P1 == op::sys::Title && OperandMode(ins.Modes, 0) == kModeValue &&
               !titleUse_) {
      titleUse_ = {n, i};
    }
  }

  // The title screen plays track 9 until the player picks another in the music room.
  void CheckTitleMusic() {
    if (!titleUse_) return;
    const std::string name = MusicFileName(kTitleTrack, false);
    if (!SoundPresent(name))
      Add(Severity::Warning, "music-missing", titleUse_->first, titleUse_->second,
          "the title screen plays music " + std::to_string(kTitleTrack) + " (" + Slashed(name) +
              ") until the player picks a track in the music room; the file is missing");
  }

  // A layer draws its whole picture with its top-left corner at x -200, 0 or +200 and y 0: the picture is a
  // canvas of the screen's size with the character drawn where it should stand.
  void CheckCanvas(int n, int32_t i, int entry, const std::string& name) {
    if (!canvasChecked_.insert(entry).second) return;
    const auto [w, h] = PngSize(game_.graphic->Entry(static_cast<size_t>(entry)));
    if ((w == 0 && h == 0) || (w == kScreenWidth && h == kScreenHeight)) return;
    Add(Severity::Warning, "character-canvas", n, i,
        "picture " + name + " is " + std::to_string(w) + "x" + std::to_string(h) +
            ": a layer draws a whole 800x600 canvas moved by -200, 0 or +200 (left, center, right), so a smaller "
            "picture hangs from that canvas's top-left corner instead of standing where the position says; draw the "
            "character on a transparent 800x600 canvas");
  }

  void CheckPicture(int n, const GameScript& s, int32_t i, const ScriptInstruction& ins) {
    int entry = ins.Value;
    if (ins.Modes & kNameFlag) {
      if (std::string problem; !TableHasLine(s.resources, "resource-name", ins.Value, problem)) {
        Add(Severity::Error, "picture-missing", n, i, "the picture is " + problem);
        return;
      }
      const std::u16string& name = s.resources[static_cast<size_t>(ins.Value)];
      entry = game_.PictureEntry(name);
      if (entry == 0) {
        if (game_.graphic)
          Add(Severity::Error, "picture-missing", n, i,
              "picture \"" + ToUtf8(name) + "\" is not in " + game_.graphicFile + "'s name list" +
                  toolkit::DidYouMean(ToUtf8(name), PictureNames()));
        return;
      }
    }
    if (entry == 0) return;  // no picture: a black background, an empty layer
    if (!game_.HasPicture(entry)) {
      if (game_.graphic)
        Add(Severity::Error, "picture-missing", n, i,
            "picture entry " + std::to_string(entry) + " of " + game_.graphicFile + " is empty");
      return;
    }
    shown_.insert(entry);
    if (ins.Code != op::Background)
      CheckCanvas(n, i, entry,
                  ins.Modes & kNameFlag ? "\"" + ToUtf8(s.resources[static_cast<size_t>(ins.Value)]) + "\""
                                        : std::to_string(entry));
  }

  void CheckMovie() {
    const std::optional<fs::path> movie = game_.File("op.ogv");
    if (movie) {
      movieFile_ = *movie;
    } else if (movieUse_) {
      Add(Severity::Error, "movie", movieUse_->first, movieUse_->second, "op.ogv is missing; the movie is skipped");
    }
  }

  // Every picture, sound file and the movie, each decoded on its own core.
  void Decode() {
    std::vector<std::function<void()>> jobs;
    std::mutex lock;
    auto report = [&](auto add) {
      std::lock_guard guard(lock);
      add();
    };
    auto fileJob = [&](const fs::path& path, const char* check, std::string (*problemOf)(const std::string&)) {
      jobs.push_back([&report, this, path, check, problemOf] {
        std::string bytes, problem;
        if (toolkit::ReadWholeFile(path, bytes, problem)) problem = problemOf(bytes);
        if (!problem.empty())
          report([&] { findings_.AtFile(Severity::Error, check, game_.Shown(path), "does not play: " + problem); });
      });
    };
    // The longest job first, so that it does not start last on a core of its own.
    if (movieFile_) fileJob(*movieFile_, "movie", MovieProblem);
    for (const char* folder : {"Sound", "VOICE"}) {
      const bool header = decoding_ != Decoding::Deep && std::string_view(folder) == "VOICE";
      for (const fs::path& path : game_.FilesIn(folder)) {
        if (path.extension() != ".ogg" && path.extension() != ".OGG") continue;
        if (!header) {
          fileJob(path, "sound-broken", VorbisProblem);
          continue;
        }
        jobs.push_back([&report, this, path] {
          if (std::string problem = VorbisHeaderProblem(path); !problem.empty())
            report([&] {
              findings_.AtFile(Severity::Error, "sound-broken", game_.Shown(path), "does not play: " + problem);
            });
        });
      }
    }
    for (const auto* archive : {&game_.graphic, &game_.sysgrp}) {
      if (!*archive) continue;
      const toolkit::LoadedArchive* a = &**archive;
      const std::string* file = archive == &game_.graphic ? &game_.graphicFile : &game_.sysgrpFile;
      for (size_t e = 1; e < a->Count(); ++e) {
        const std::string_view bytes = a->Entry(e);
        if (bytes.empty()) continue;
        jobs.push_back([&report, this, a, file, bytes, e] {
          if (std::string problem = PngProblem(bytes); !problem.empty())
            report([&] {
              findings_.AtEntry(Severity::Error, "picture-broken", *file, static_cast<int>(e),
                                EntryName(*a, e) + " does not decode: " + problem);
            });
        });
      }
    }
    toolkit::RunParallel(jobs);
  }

  // The names scripts can give pictures: GRAPHIC.DAT's name list without ".png".
  const std::vector<std::string>& PictureNames() {
    if (pictureNames_.empty() && game_.graphic)
      for (const std::u16string& line : game_.graphic->names.lines) {
        std::string name = ToUtf8(Trim(line));
        if (name.size() > 4 && UpperCase(FromUtf8(name.substr(name.size() - 4))) == u".PNG")
          pictureNames_.push_back(name.substr(0, name.size() - 4));
      }
    return pictureNames_;
  }
  // The names voices can be given: the files of VOICE/ without ".ogg".
  const std::vector<std::string>& VoiceNames() {
    if (voiceNames_.empty())
      for (const fs::path& file : game_.FilesIn("VOICE")) voiceNames_.push_back(file.stem().string());
    return voiceNames_;
  }

  static std::string EntryName(const toolkit::LoadedArchive& archive, size_t entry) {
    if (entry - 1 < archive.names.lines.size() && !Trim(archive.names.lines[entry - 1]).empty())
      return ToUtf8(Trim(archive.names.lines[entry - 1]));
    return "the picture";
  }

  const Decoding decoding_;
  std::set<int>& shown_;
  std::set<int> secondVersionsReported_;
  std::optional<std::pair<int, int32_t>> movieUse_, titleUse_;
  std::set<int> canvasChecked_;
  std::optional<fs::path> movieFile_;
  std::vector<std::string> pictureNames_, voiceNames_;
};

}  // namespace

void CheckResources(const GameData& game, Decoding decoding, Findings& findings, std::set<int>& shownPictures) {
  ResourceChecker(game, decoding, findings, shownPictures).Run();
}

}  // namespace mokuren::lint
