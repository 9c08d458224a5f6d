#include "text/engine_texts.h"

#include <array>

#include "text/menu_captions.h"

namespace mokuren {

namespace {

// Kept in step with the places that show them: the notices of the input modes and of saving
// (src/text/input_modes.cpp, src/save/save_slots.cpp, save_file.cpp, save_location.cpp), the save
// screen (src/save/TForm7.cpp), the choice's line in the message log (src/text/choice_display.cpp) and
// the popup menu (kMenuCaptions, as src/platform/qt/qt_platform.cpp shows it).
constexpr std::array<MenuCaption, 10> kMenuCaptions = {{
    {MenuItem::menuKSkip, u"既読スキップ"},
    {MenuItem::menuSSkip, u"シーンスキップ"},
    {MenuItem::menuAuto, u"自動進行"},
    {MenuItem::menuWindow, u"ウィンドウ消去"},
    {MenuItem::menuFloat, u"ウィンドウフロート化"},
    {MenuItem::menuSave, u"セーブ"},
    {MenuItem::menuLoad, u"ロード"},
    {MenuItem::menuConfig, u"環境設定"},
    {MenuItem::menuTitle, u"タイトルに戻る"},
    {MenuItem::menuQuit, u"ゲーム終了"},
}};

constexpr std::array<std::u16string_view, 22> kTexts = {
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
    u"既読スキップ",
    u"シーンスキップ",
    u"自動進行",
    u"ウィンドウ消去",
    kShowWindowCaption,
    u"ウィンドウフロート化",
    u"セーブ",
    u"ロード",
    u"環境設定",
    u"タイトルに戻る",
    u"ゲーム終了",
};

}  // namespace

std::span<const std::u16string_view> EngineTexts() { return kTexts; }
std::span<const MenuCaption> MenuCaptions() { return kMenuCaptions; }

std::u16string FillInName(std::u16string text, std::u16string_view placeholder, std::u16string_view name) {
  if (const size_t at = text.find(placeholder); at != std::u16string::npos) text.replace(at, placeholder.size(), name);
  return text;
}

}  // namespace mokuren
