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

namespace engine_text {
// A translation that cannot be used, as the notice line and the error list tell it, and its reasons.
inline constexpr std::u16string_view kTranslationUnusable =
    u"翻訳 {file} を使えないため、元の言語で遊びます（{reason}）";
inline constexpr std::u16string_view kNoSuchFile = u"ファイルがありません";
inline constexpr std::u16string_view kIsAFolder = u"ファイルではなくフォルダです";
inline constexpr std::u16string_view kCannotRead = u"読み込めません: {error}";
inline constexpr std::u16string_view kTooLarge = u"大きすぎます（{size} バイト）";
inline constexpr std::u16string_view kMalformedLine = u"{line} 行目に誤りがあります: {error}";
inline constexpr std::u16string_view kMalformedFile = u"誤りがあります: {error}";
inline constexpr std::u16string_view kNoFace = u"言語 {language} を表示できるフォントがありません";
}  // namespace engine_text

// `text` with its first `placeholder` ("{file}", "{dir}") replaced by `name`.
std::u16string FillInName(std::u16string text, std::u16string_view placeholder, std::u16string_view name);

}  // namespace mokuren
