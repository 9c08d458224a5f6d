#include "text/engine_texts.h"

#include <array>

namespace mokuren {

namespace {

// Kept in step with the places that show them: the notices of the input modes and of saving
// (src/text/input_modes.cpp, src/save/save_slots.cpp, save_file.cpp, save_location.cpp), the save
// screen (src/save/TForm7.cpp) and the choice's line in the message log (src/text/choice_display.cpp).
constexpr std::array<std::u16string_view, 11> kTexts = {
    u"シーンスキップしました",
    u"クイックセーブしました",
    u"クイックセーブできませんでした",
    u"クイックセーブがありません",
    u"クイックロードしました",
    u"セーブデータを書き込めませんでした",
    u"セーブデータが読めないため、初期設定で始めます（セーブできません）",
    u"セーブデータが壊れていたため、{file} に移して初期設定で始めます",
    u"セーブデータの保存先: {dir}",
    u"通常セーブ不可",
    u"【選択肢】",
};

}  // namespace

std::span<const std::u16string_view> EngineTexts() { return kTexts; }

std::u16string FillInName(std::u16string text, std::u16string_view placeholder, std::u16string_view name) {
  if (const size_t at = text.find(placeholder); at != std::u16string::npos) text.replace(at, placeholder.size(), name);
  return text;
}

}  // namespace mokuren
