#include "text/engine_texts.h"

#include <algorithm>
#include <array>

#include "base/error_texts.h"
#include "base/picker_texts.h"
#include "base/spoken_texts.h"
#include "base/startup_texts.h"
#include "text/menu_captions.h"

namespace mokuren {

namespace {

// Kept in step with the places that show them: the notices of the input modes and of saving
// (src/text/input_modes.cpp, src/save/save_slots.cpp, save_file.cpp, save_location.cpp), the save
// screen (src/save/TForm7.cpp), the choice's line in the message log (src/text/choice_display.cpp) and
// the popup menu (kMenuCaptions, as src/backends/qt/qt_platform.cpp shows it), and the dialogs: the
// questions (src/app/TForm1.cpp, src/menus/title_menu.cpp), the confirmation box (src/dialogs/TQueryForm.h),
// the settings dialog (src/dialogs/TConfigForm.h), the comment dialog (src/dialogs/TCommentForm.h) and the
// name-entry dialog (src/text/TNameForm.h).
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

constexpr std::u16string_view kTexts[] = {
    u"シーンスキップしました",
    u"クイックセーブしました",
    u"クイックセーブできませんでした",
    u"クイックセーブがありません",
    u"クイックロードしました",
    kNoSoundNotice,
    u"セーブデータを書き込めませんでした",
    u"セーブデータが読めないため、初期設定で始めます（セーブできません）",
    u"セーブデータが壊れていたため、{file} に移して初期設定で始めます",
    u"セーブデータの保存先: {dir}",
    u"このブラウザ",
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
    u"確認",
    u"ＯＫ",
    u"キャンセル",
    u"ゲームを終了しますか？",
    u"タイトルに戻りますか？",
    u"セーブデータを書き込めませんでした。もう一度試しますか？",
    u"もう一度試す",
    u"終了する",
    u"画面エフェクト",
    u"画面モード",
    u"メッセージスピード",
    u"ボリューム",
    u"あり",
    u"なし",
    u"ウィンドウ",
    u"フルスクリーン",
    u"はやい",
    u"標準",
    u"おそい",
    u"ＢＧＭ",
    u"効果音",
    u"ボイス",
    u"0秒",
    u"20秒",
    u"小",
    u"大",
    u"読み上げ",
    u"コメント",
    u"OK",
    u"その男の名前は・・・",
    u"決定",
    u"全角２文字以上　６文字以内で名前を入力してください",
    u"全角2〜6文字で入力してください",
    u"{name} は名前に使用できません",
    u"名前を入力してください（1〜16文字）",
    u"名前は1〜16文字です",
    engine_text::kTranslationUnusable,
    engine_text::kNoSuchFile,
    engine_text::kIsAFolder,
    engine_text::kCannotRead,
    engine_text::kTooLarge,
    engine_text::kMalformedLine,
    engine_text::kMalformedFile,
    engine_text::kNoFace,
};

// The game picker's texts, the dialogs' and notices', the error list's lines, what is read aloud, then the
// start-up messages.
constexpr auto kAllTexts = [] {
  std::array<std::u16string_view, picker_text::kAll.size() + std::size(kTexts) + error_text::kAll.size() +
                                      spoken_text::kAll.size() + startup_text::kAll.size()>
      all{};
  auto at = std::copy(picker_text::kAll.begin(), picker_text::kAll.end(), all.begin());
  at = std::copy(error_text::kAll.begin(), error_text::kAll.end(), std::copy(std::begin(kTexts), std::end(kTexts), at));
  at = std::copy(spoken_text::kAll.begin(), spoken_text::kAll.end(), at);
  for (const StartupText& text : startup_text::kAll) *at++ = text.original;
  return all;
}();

}  // namespace

std::span<const std::u16string_view> EngineTexts() { return kAllTexts; }
std::span<const MenuCaption> MenuCaptions() { return kMenuCaptions; }

std::u16string FillInName(std::u16string text, std::u16string_view placeholder, std::u16string_view name) {
  if (const size_t at = text.find(placeholder); at != std::u16string::npos) text.replace(at, placeholder.size(), name);
  return text;
}

}  // namespace mokuren
