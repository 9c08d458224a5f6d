// mokuren-build's work: the sources of a game folder turned into its three archives, in the same folder.
//
//   scenario/*.txt    SCRIPT.DAT   script N from the file whose name carries N (script1.txt, 2_first.txt)
//   pictures/*.png    GRAPHIC.DAT  named entries from 1, in name order; the pictures album.txt names go
//                                  to the entries the album keeps for their slots
//   system/N*.png     SYSGRP.DAT   entry N, the number the file name starts with (061-title.png)
//
// Sound/, VOICE/, title.txt and op.ogv are used where they lie. Nothing is written unless every source
// is right.
#pragma once

#include <filesystem>
#include <ostream>

namespace mokuren::project {

// Builds the game in `dir`, telling each step on `progress` and each mistake, as "FILE[:LINE[:COLUMN]]:
// message", on `errors`. False when there was a mistake (and nothing was written).
bool BuildGame(const std::filesystem::path& dir, std::ostream& progress, std::ostream& errors);

}  // namespace mokuren::project
