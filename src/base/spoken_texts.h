// What is read aloud when the player's focus moves (--speak, or the settings' "読み上げ"), for the places
// whose looks are pictures of the game's own and so name nothing the engine could read: the title's and
// the album's items, the button row, the save screen's slots. They are engine texts (context "engine"), so
// a translation of the engine translates them; blanks ("{slot}") are filled in as the text is spoken.
#pragma once

#include <array>
#include <string_view>

namespace mokuren::spoken_text {

// The title menu's items, top to bottom, and the opening-movie switch as it stands.
inline constexpr std::array<std::u16string_view, 5> kTitleItems = {u"はじめから", u"つづきから", u"アルバム",
                                                                   u"ムービー省略", u"ゲーム終了"};
inline constexpr std::u16string_view kSwitchOn = u"{item}　オン";
inline constexpr std::u16string_view kSwitchOff = u"{item}　オフ";
// The album menu's items, top to bottom.
inline constexpr std::array<std::u16string_view, 5> kAlbumItems = {u"イベントＣＧ", u"イベントシーン", u"音楽鑑賞",
                                                                   u"オープニングムービー", u"タイトルに戻る"};
// The galleries' and the music room's items.
inline constexpr std::u16string_view kGallerySlot = u"{page}ページ　{slot}番";
inline constexpr std::u16string_view kSceneInList = u"{page}ページ　{slot}番　再生リスト {position}番";
inline constexpr std::u16string_view kPreviousPage = u"前のページ";
inline constexpr std::u16string_view kNextPage = u"次のページ";
inline constexpr std::u16string_view kBack = u"戻る";
inline constexpr std::u16string_view kTrack = u"{track}曲目";
inline constexpr std::u16string_view kTrackPlaying = u"{track}曲目　再生中";
// The button row along the message window, buttons 3 to 10.
inline constexpr std::array<std::u16string_view, 8> kButtons = {u"ＢＧＭ切替",     u"ボイス再生", u"クイックセーブ",
                                                                u"クイックロード", u"セーブ",     u"ロード",
                                                                u"既読スキップ",   u"自動進行"};
// The save/load screen: its page, and a slot with its date and comment.
inline constexpr std::u16string_view kSavePage = u"セーブ　{page}ページ";
inline constexpr std::u16string_view kLoadPage = u"ロード　{page}ページ";
inline constexpr std::u16string_view kSlotUsed = u"{slot}番　{date}　{comment}";
inline constexpr std::u16string_view kSlotEmpty = u"{slot}番　空き";
inline constexpr std::u16string_view kSlotQuick = u"{slot}番　通常セーブ不可";
// A choice's line: its number and text.
inline constexpr std::u16string_view kChoice = u"{number}. {text}";

inline constexpr auto kAll = [] {
  std::array<std::u16string_view, kTitleItems.size() + kAlbumItems.size() + kButtons.size() + 15> all{};
  size_t n = 0;
  for (std::u16string_view t : kTitleItems) all[n++] = t;
  for (std::u16string_view t : kAlbumItems) all[n++] = t;
  for (std::u16string_view t : kButtons) all[n++] = t;
  for (std::u16string_view t :
       {kSwitchOn, kSwitchOff, kGallerySlot, kSceneInList, kPreviousPage, kNextPage, kBack, kTrack, kTrackPlaying,
        kSavePage, kLoadPage, kSlotUsed, kSlotEmpty, kSlotQuick, kChoice})
    all[n++] = t;
  return all;
}();

}  // namespace mokuren::spoken_text
