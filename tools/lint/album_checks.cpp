// Checks of the album's content against the game: the event pictures of each gallery slot the game
// uses, and the music room's tracks.
#include "lint/game_checks.h"
#include "menus/album_layout.h"
#include "menus/album_tables.h"
#include "sound/sound_files.h"

namespace mokuren::lint {

namespace {

void CheckPictures(const GameData& game, const std::set<int>& shown, Findings& findings) {
  if (!game.graphic) return;
  for (size_t page = 0; page < album::kPages; ++page) {
    for (size_t slot = 0; slot < album::kSlotsPerPage; ++slot) {
      const auto& variants = album::kStandardCgTable[page][slot];
      // A slot none of whose pictures the game has or shows is simply unused.
      bool used = false;
      for (int16_t e : variants) used = used || (e != album::kNone && (game.HasPicture(e) || shown.count(e)));
      if (!used) continue;
      const std::string where = "album page " + std::to_string(page + 1) + " slot " + std::to_string(slot + 1);
      for (size_t v = 0; v < variants.size() && variants[v] != album::kNone; ++v) {
        if (game.HasPicture(variants[v])) continue;
        findings.AtEntry(v == 0 ? Severity::Error : Severity::Warning, "album-picture", game.graphicFile, variants[v],
                         where + " lists this entry, which holds no picture" +
                             (v == 0 ? ": the slot opens once its first picture is shown, so it never opens"
                                     : ": the slot's variant " + std::to_string(v + 1) + " is never seen"));
      }
    }
  }
}

// The music room's rows that the game fills: a row whose track is there, in either version, must have
// what its first click plays (the track) and what its second plays (a track's second version, or track 9
// on the row of track 8). A row with neither version is one the game leaves out, and is left out here too.
void CheckMusicRoom(const GameData& game, Findings& findings) {
  std::string first, second;
  auto need = [&](std::string& missing, int track, bool variant) {
    const std::string name = MusicFileName(track, variant);
    if (!game.File(name)) missing += (missing.empty() ? "" : ", ") + Slashed(name);
  };
  for (int32_t track : album::kMusicRows) {
    const bool versions = track <= album::kTracksWithVersions;
    if (!game.File(MusicFileName(track, false)) && !(versions && game.File(MusicFileName(track, true)))) continue;
    need(first, track, false);
    if (versions) need(second, track, true);
    if (track == 8) need(second, 9, false);
  }
  if (!first.empty())
    findings.AtFile(Severity::Warning, "music-missing", "Sound",
                    "a click on a music-room row plays what the game lacks: " + first);
  if (!second.empty())
    findings.AtFile(Severity::Warning, "music-missing", "Sound",
                    "a second click on a music-room row plays what the game lacks: " + second);
}

// The album's screens are system pictures; without one a screen is black. A game without any of them
// has no album, and is not told of each.
void CheckScreens(const GameData& game, Findings& findings) {
  if (!HasAlbum(game)) return;
  std::vector<std::pair<int32_t, std::string>> screens = {{album::kMenuBackground, "the album menu"},
                                                          {album::kMenuSheet, "the album menu's sheet"},
                                                          {album::kMusicBackground, "the music room"},
                                                          {album::kMusicSheet, "the music room's sheet"},
                                                          {album::kPictureSheet, "the picture gallery's sheet"},
                                                          {album::kSceneSheet, "the scene gallery's sheet"}};
  for (int32_t page = 1; page <= album::kPages; ++page) {
    screens.emplace_back(album::PicturePageBackground(page), "picture gallery page " + std::to_string(page));
    screens.emplace_back(album::ScenePageBackground(page), "scene gallery page " + std::to_string(page));
  }
  for (const auto& [entry, what] : screens)
    if (game.sysgrp->Entry(static_cast<size_t>(entry)).empty())
      findings.AtEntry(Severity::Warning, "album-picture", game.sysgrpFile, entry,
                       "holds no picture: " + what + " is shown black");
}

}  // namespace

bool HasAlbum(const GameData& game) {
  if (!game.sysgrp) return false;
  for (int32_t entry = album::kMenuBackground; entry <= album::kSceneSheet; ++entry)
    if (!game.sysgrp->Entry(static_cast<size_t>(entry)).empty()) return true;
  return false;
}

void CheckAlbum(const GameData& game, const std::set<int>& shownPictures, Findings& findings) {
  CheckPictures(game, shownPictures, findings);
  if (HasAlbum(game)) CheckMusicRoom(game, findings);
  CheckScreens(game, findings);
}

}  // namespace mokuren::lint
