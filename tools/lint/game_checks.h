// The lint's checks, each over the whole game as read by ReadGame. They add to `findings` and never
// throw for bad data.
#pragma once

#include <set>

#include "lint/game_data.h"
#include "lint/lint_finding.h"

namespace mokuren::lint {

// Where jumps, calls and blocks lead, labels and scripts that nothing reaches, variable numbers, the
// flags that unlock the album's scenes, and messages of scripts the story reaches that read-skip cannot
// pass.
void CheckScripts(const GameData& game, Findings& findings);

// Messages and choices laid out by the engine's own rules: text past three lines, a text that the hero's
// name pushes past them, a speaker the name band cannot hold, choices cut or off their band (the band
// picture's solid part), the hero's name placeholder in a choice, where it is not replaced, and (unless
// `quick`) characters the message font lacks.
void CheckTexts(const GameData& game, bool quick, Findings& findings);

// How much of the game's files the lint decodes: none (only looked for), every picture, sound and the
// movie with each voice's header read, or the voices decoded to their ends as well.
enum class Decoding { None, Whole, Deep };

// Pictures, music, effects and voices that scripts name or number: present, and decodable as `decoding`
// says, as is every picture, sound file and the opening movie in the game. `shownPictures` receives the
// GRAPHIC.DAT entries scripts show.
void CheckResources(const GameData& game, Decoding decoding, Findings& findings, std::set<int>& shownPictures);

// Whether the game has an album: SYSGRP.DAT holds any of the album's screens.
bool HasAlbum(const GameData& game);

// The album's event pictures: a slot the game uses lists entries GRAPHIC.DAT lacks; the music room's rows
// the game fills; the album's screens, when the game has an album.
void CheckAlbum(const GameData& game, const std::set<int>& shownPictures, Findings& findings);

// SAVE.DAT, when the folder has one: its size, settings, and saved games that lead into scripts, steps,
// pictures or music the game no longer has.
void CheckSaveData(const GameData& game, Findings& findings);

// What start-up needs: script 1, the start-up pictures of SYSGRP.DAT, and a usable title file when the
// folder has one.
void CheckStartup(const GameData& game, Findings& findings);

// The game's translations (tl/*.po), as `mokuren-i18n check` finds them: translations that do not fit, a
// lost "①", entries for texts the game does not have or whose original changed, and PO files that cannot
// be read.
void CheckTranslations(const GameData& game, Findings& findings);

}  // namespace mokuren::lint
