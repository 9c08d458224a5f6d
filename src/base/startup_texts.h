// The messages that end start-up or warn before the game goes on (a game already running, no game folder,
// no SCRIPT.DAT, an archive that cannot be read, a damaged first script or start-up pictures), as
// templates among the engine's own texts (context "engine"). The Japanese is the original a translation
// translates; the English beside it is the line told after the Japanese when no translation applies, as
// those who drive the engine from the command line know it. The blanks are filled in by StartupMessage.
#pragma once

#include <array>
#include <string_view>

namespace mokuren {

struct StartupText {
  std::u16string_view original;
  std::u16string_view english;
};

namespace startup_text {

inline constexpr StartupText kAlreadyRunning = {
    u"このゲームはもう起動しています（{dir}）。そのウィンドウを前面に出します。",
    u"the game in {dir} is already running; its window is brought to the front"};
inline constexpr StartupText kGameDirIsFile = {u"ゲームのフォルダ {dir} はフォルダではなくファイルです。",
                                               u"the game directory {dir} is a file, not a directory"};
inline constexpr StartupText kGameDirNotFolder = {u"ゲームのフォルダ {dir} はフォルダではありません。",
                                                  u"the game directory {dir} is not a directory"};
inline constexpr StartupText kGameDirMissing = {u"ゲームのフォルダ {dir} がありません。",
                                                u"the game directory {dir} does not exist"};
inline constexpr StartupText kNoGame = {
    u"ゲームが見つかりません: {dir} に SCRIPT.DAT がありません。ゲームのフォルダを指定して起動してください（mokuren "
    u"ゲームのフォルダ）。",
    u"no game in {dir} (it has no SCRIPT.DAT); start the program with the game's folder: mokuren GAME_DIR"};
// What the system says ("{error}") is told in the English line only.
inline constexpr StartupText kArchiveNotOpened = {
    u"アーカイブ {file} を開けません（ファイルがないか、普通のファイルではないか、読み込めません）。",
    u"cannot open the archive {file}: {error}"};
inline constexpr StartupText kArchiveTooShort = {
    u"アーカイブ {file} は {size} バイトしかなく、索引を収めるには足りません（524,304 バイト以上必要です）。",
    u"the archive {file} is {size} bytes long, too short for its index (at least 524,304 bytes)"};
inline constexpr StartupText kFirstScriptNotLoaded = {
    u"アーカイブ {file} のエントリー 1（ゲームの最初のスクリプト）を読み込めません: "
    u"{problem}。このままではゲームが正しく始まりません。ゲームのデータを確かめてください。",
    u"the archive {file}: entry 1 (the game's first script) cannot be loaded: {problem}; the game cannot start "
    u"as it should until its data is mended"};
// The pictures are listed as "{entries}", made of the four texts after it.
inline constexpr StartupText kPicturesNotLoaded = {
    u"アーカイブ {file} の起動時に使う画像を読み込めません: エントリー {entries}。これらの画像なしで続けます。",
    u"the archive {file}: start-up pictures cannot be loaded: {entries}; the game goes on without them"};
inline constexpr StartupText kEmptyPicture = {u"{entry}（空）", u"{entry} (empty)"};
inline constexpr StartupText kDamagedPicture = {u"{entry}（破損）", u"{entry} (damaged)"};
inline constexpr StartupText kPictureSeparator = {u"、", u", "};
inline constexpr StartupText kMorePictures = {u" ほか {count} 個", u" and {count} more"};
// What is wrong with the first script ("{problem}" above).
inline constexpr StartupText kScriptEntryEmpty = {u"中身が空です", u"the entry is empty"};
inline constexpr StartupText kScriptEntryUnreadable = {u"読み出せません", u"the entry cannot be read"};
inline constexpr StartupText kScriptEntryTooShort = {
    u"{size} バイトしかなく、スクリプトには短すぎます（20 バイト以上必要です）",
    u"the entry is {size} bytes long, too short for a script (at least 20 bytes)"};
inline constexpr StartupText kCodeSizeNegative = {u"コードの大きさ {size} が負の値です",
                                                  u"the code size {size} is negative"};
inline constexpr StartupText kCodeSizeOverLimit = {
    u"コードの大きさ {size} バイトが上限の 1,048,576 バイトを超えています",
    u"the code size {size} is over 1,048,576 bytes"};
inline constexpr StartupText kCodeSizePastEnd = {
    u"コードの大きさ {size} バイトがエントリーの残り {left} バイトを超えています",
    u"the code size {size} runs past the end of the entry ({left} bytes left)"};

inline constexpr std::array kAll = {
    kAlreadyRunning,      kGameDirIsFile,    kGameDirNotFolder,     kGameDirMissing,    kNoGame,
    kArchiveNotOpened,    kArchiveTooShort,  kFirstScriptNotLoaded, kPicturesNotLoaded, kEmptyPicture,
    kDamagedPicture,      kPictureSeparator, kMorePictures,         kScriptEntryEmpty,  kScriptEntryUnreadable,
    kScriptEntryTooShort, kCodeSizeNegative, kCodeSizeOverLimit,    kCodeSizePastEnd,
};

}  // namespace startup_text
}  // namespace mokuren
