// `mokuren-i18n check`: every translation of a PO file laid out as the engine will lay it out, and the
// entries that would not be shown or would lose something.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "i18n/translation_game.h"
#include "text/po_file.h"
#include "text/translated_layout.h"

namespace mokuren::i18n {

struct CheckFinding {
  bool error = false;
  std::string rule;  // "message-overflow", "choice-fit", "unknown-context", "picture-size", …
  size_t line = 0;   // of the PO file, 0 when unknown
  std::string context;
  std::string message;
  // A replacement picture's file, from the game's folder ("tl/en/SYSGRP.DAT/65.png"), when the finding is
  // about a picture rather than an entry of the PO file.
  std::string picture;
};

// Reads a PO file and checks it with the layout of its language (the header's "Language:", else the
// file's name), as `mokuren-i18n check` and the lint do, handing each finding to `found` in the order of the
// file as it is read, so that a file of a million entries is never held whole. `problems` receives what
// reading found ("FILE:LINE: message" or "FILE: message"); false when the file cannot be read or no
// installed face covers its language.
bool CheckTranslationFile(const TranslationGame& game, const std::filesystem::path& file,
                          std::vector<std::string>& problems, const std::function<void(const CheckFinding&)>& found);
// The same, the findings collected; nothing when the file cannot be read or checked.
std::optional<std::vector<CheckFinding>> CheckTranslationFile(const TranslationGame& game,
                                                              const std::filesystem::path& file,
                                                              std::vector<std::string>& problems);

// "FILE:LINE: error: CONTEXT: message [rule]", or "PICTURE: error: message [rule]" (the picture's path under
// the game folder `gameDir`).
std::string FormatCheckFinding(const std::string& poFile, const CheckFinding& f,
                               const std::filesystem::path& gameDir = {});

}  // namespace mokuren::i18n
