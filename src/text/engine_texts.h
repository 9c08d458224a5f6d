// The texts the engine itself shows (notices, the save screen's quick-save slot, the log's mark for a
// choice, the popup menu's items), as a translation names them: context "engine", the Japanese text as msgid.
// Blanks such as "{file}", "{dir}", "{name}" or "{error}" stand for a file or folder name, the characters a
// name may not hold, or what the system said, which the engine puts in when it shows the text
// (base/text_template.h); the error list's lines are among these texts (base/error_texts.h).
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace mokuren {

inline constexpr char kEngineTextContext[] = "engine";

std::span<const std::u16string_view> EngineTexts();

inline constexpr std::u16string_view kShowWindowCaption = u"ウィンドウ表示";  // the window item, window hidden
// The notice a game without a sound output shows once it first waits for the player.
inline constexpr std::u16string_view kNoSoundNotice = u"音声出力を開けないため、音は聞こえません";

// `text` with its first `placeholder` ("{file}", "{dir}") replaced by `name`.
std::u16string FillInName(std::u16string text, std::u16string_view placeholder, std::u16string_view name);

}  // namespace mokuren
