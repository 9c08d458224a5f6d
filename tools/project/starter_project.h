// The sources of a new game, as mokuren-new writes them: a game the writer owns from its first line, which
// mokuren-build turns into a playable game folder in place.
//
//   title.txt            the game's title (the window's caption, and the title screen's words)
//   scenario/            script1.txt (the title menu) and 2_first.txt (a first scene)
//   pictures/            BG01.png, CH01.png: placeholders, packed into GRAPHIC.DAT by name
//   system/              every system picture, NNN-what.png for SYSGRP.DAT entry NNN: neutral looks
//                        drawn by the demo builder's code, with the game's title on the title screen
//   Sound/               M01.ogg and its second version M01P.ogg, M09.ogg (the title's), S01.ogg
//   album.txt            the album's table, empty: which pictures fill which gallery slot
//   mokuren-lint.toml    the lint's settings for this game, none yet
//   tests/first.events   a test of the first scene, for mokuren-test
//   README.md            where things are, and the commands
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

namespace mokuren::project {

// Writes the sources into `dir` (made if missing), telling each part on `progress`. `title` is UTF-8.
// Throws std::runtime_error naming the file that cannot be written.
void WriteStarterProject(const std::filesystem::path& dir, const std::string& title, std::ostream& progress);

}  // namespace mokuren::project
