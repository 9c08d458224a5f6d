// The game picker's texts, shown before any game is opened, as templates among the engine's own texts
// (context "engine"): the engine's shipped translations give them in the player's language.
#pragma once

#include <array>
#include <string_view>

namespace mokuren::picker_text {

inline constexpr std::u16string_view kCaption = u"ゲームを選ぶ — Mokuren";
inline constexpr std::u16string_view kChooseFolder = u"遊ぶゲームのフォルダを選んでください。";
inline constexpr std::u16string_view kChooseGame = u"遊ぶゲームを選んでください。";
inline constexpr std::u16string_view kPlay = u"遊ぶ";
inline constexpr std::u16string_view kBrowse = u"フォルダを選ぶ…";
inline constexpr std::u16string_view kCancel = u"やめる";
inline constexpr std::u16string_view kFolderCaption = u"ゲームのフォルダ";
inline constexpr std::u16string_view kNoGameThere = u"このフォルダにはゲームがありません（SCRIPT.DAT がありません）。";

inline constexpr std::array kAll = {kCaption, kChooseFolder, kChooseGame,    kPlay,
                                    kBrowse,  kCancel,       kFolderCaption, kNoGameThere};

}  // namespace mokuren::picker_text
