// What the engine needs before the first message: script 1, the start-up pictures of SYSGRP.DAT and a
// readable title. The engine goes on without them but shows the player a warning, or a plain caption.
#include "app/game_title.h"
#include "graphics/system_pictures.h"
#include "lint/game_checks.h"

namespace mokuren::lint {

void CheckStartup(const GameData& game, Findings& findings) {
  if (game.script && game.script->Entry(1).empty())
    findings.AtEntry(Severity::Error, "first-script", game.scriptFile, 1,
                     "script 1, where the game starts, is empty or missing");
  if (game.sysgrp)
    for (const SystemPicture& picture : kStartupSystemPictures)
      if (static_cast<size_t>(picture.entry) >= game.sysgrp->Count() ||
          game.sysgrp->Entry(static_cast<size_t>(picture.entry)).empty())
        findings.AtEntry(Severity::Warning, "startup-picture", game.sysgrpFile, picture.entry,
                         std::string(picture.role) + " is missing; the player is warned at start-up");
  const GameTitle title = ReadGameTitle(game.dir);
  for (const std::string& problem : title.problems) findings.AtFile(Severity::Warning, "title", title.file, problem);
}

}  // namespace mokuren::lint
