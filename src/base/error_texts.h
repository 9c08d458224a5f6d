// The lines the engine adds to its error list, as templates among its own texts (context "engine"): a
// translation of the engine translates them, and ErrorList fills in their blanks. The Japanese ones are
// the originals; the few in English are told mostly to those who drive the engine from the command line
// (its options, the events file) and keep the English they are documented with, a translation may still
// give them another language. What the system or a library says ("{error}") is put in as it comes.
#pragma once

#include <array>
#include <string_view>

namespace mokuren::error_text {

// SAVE.DAT and the thumbnails.
inline constexpr std::u16string_view kSaveBlocked =
    u"前の SAVE.DAT を読み込めないか退避できなかったため、SAVE.DAT には書き込みませんでした";
inline constexpr std::u16string_view kSaveNotWritten =
    u"SAVE.DAT に書き込めませんでした（{error}）。前のセーブデータはそのまま残っています";
inline constexpr std::u16string_view kSaveUnreadable =
    u"SAVE.DAT を読み込めません（{error}）。ファイルはそのまま残し、初期設定で始めます。このあいだ SAVE.DAT "
    u"には書き込みません";
inline constexpr std::u16string_view kSaveNotRegular = u"通常のファイルではありません";
inline constexpr std::u16string_view kSaveShortened = u"読み込み中にファイルが短くなりました";
inline constexpr std::u16string_view kSaveWrongSize =
    u"SAVE.DAT の大きさが {size} バイトで、正しい大きさの {expected} バイトと違います";
inline constexpr std::u16string_view kSaveDamagedKept =
    u"{problem}。退避もできなかったため（{error}）、初期設定で始めます。SAVE.DAT には書き込みません";
inline constexpr std::u16string_view kSaveDamagedAside =
    u"{problem}。元のファイルを {file} として残し、初期設定で始めます";
inline constexpr std::u16string_view kImportedSave = u"読み込むセーブデータ: {problem}";
inline constexpr std::u16string_view kImportWrongSize = u"{problem}。今のセーブデータはそのまま残っています";
inline constexpr std::u16string_view kImportBlocked =
    u"前の SAVE.DAT を読み込めないか退避できなかったため、SAVE.DAT には書き込みません";
inline constexpr std::u16string_view kImportNotKept =
    u"今の SAVE.DAT を {file} として残せなかったため（{error}）、読み込みませんでした";
// A file of the right size whose values no engine writes (save/save_plausibility.h), and which value.
inline constexpr std::u16string_view kImportImplausible =
    u"{problem}。このゲームの SAVE.DAT ではないようです。今のセーブデータはそのまま残っています";
inline constexpr std::u16string_view kSettingImplausible = u"設定の値 {field} が {value} で、ありえない値です";
inline constexpr std::u16string_view kSlotFieldImplausible =
    u"スロット {slot} の値 {field} が {value} で、ありえない値です";
inline constexpr std::u16string_view kSlotDateImplausible = u"スロット {slot} の日付が {date} で、ありえない日付です";
inline constexpr std::u16string_view kSlotScriptMissing =
    u"スロット {slot} のスクリプト {script} はこのゲームにありません";
inline constexpr std::u16string_view kSlotStepPastEnd =
    u"スロット {slot} の位置 {step} が、スクリプト {script} の {steps} 命令の外にあります";
inline constexpr std::u16string_view kNoSaveFolder =
    u"ゲームのフォルダにも {dir} にも書き込めないため、セーブできません（{error}）";
inline constexpr std::u16string_view kSaveNotCopied = u"SAVE.DAT を {dir} にコピーできませんでした（{error}）";
inline constexpr std::u16string_view kSavesMoved =
    u"ゲームのフォルダ {game} には書き込めないため、セーブデータは {dir} に保存します";
inline constexpr std::u16string_view kThumbnailNotWritten = u"サムネイル {file} を書き込めませんでした（{error}）";
inline constexpr std::u16string_view kThumbnailNotShown = u"サムネイル {file} を表示できません（{error}）";

// Sound and the movie.
inline constexpr std::u16string_view kNoSoundOutput =
    u"音声出力を開けません（{error}）。音は聞こえませんが、ゲームは続けます / no sound output: {error}";
inline constexpr std::u16string_view kFileMissing = u"{file}が見つかりません";
inline constexpr std::u16string_view kRecordingNotWritten = u"cannot write the sound recording {file}";
inline constexpr std::u16string_view kMovieSkipped = u"{file}: {problem}; the movie is skipped";

// Archives, pictures and scripts.
inline constexpr std::u16string_view kEntriesPastEnd =
    u"{file}: {count} index entries point past the end of the file; they read as empty";
inline constexpr std::u16string_view kNoNameListEnd = u"{file}: the name list has no \":END\" line";
inline constexpr std::u16string_view kEntryPastEnd =
    u"{file}: entry {entry} points past the end of the file; it reads as empty";
inline constexpr std::u16string_view kEntryUnreadable = u"{file}: entry {entry} cannot be read";
inline constexpr std::u16string_view kPictureNotNamed =
    u"picture \"{name}\" is not in {file}'s name list; nothing is shown";
inline constexpr std::u16string_view kPictureEntryEmpty = u"{file}: entry {entry} holds no picture; nothing is shown";
inline constexpr std::u16string_view kMessageCut =
    u"the message runs past the window's three lines; the player never sees \"{text}\"";
inline constexpr std::u16string_view kChoiceOfOne =
    u"a choice of one item (\"{text}\"): the player has nothing to choose; separate the items with \",\"";
inline constexpr std::u16string_view kPictureUnusable =
    u"{file}: entry {entry} is not a usable PNG image ({error}); the picture is left as it was";
inline constexpr std::u16string_view kReplacementUnusable =
    u"{file}: {problem}; the translation's picture is not used and the original is shown";
inline constexpr std::u16string_view kReplacementWrongSize =
    u"{file} is {size} pixels, not the {expected} of the picture it replaces; the original is shown";
inline constexpr std::u16string_view kScriptMissing =
    u"SCRIPT.DAT: script {script}: the entry is empty or missing; an empty script is loaded";
inline constexpr std::u16string_view kScriptWithoutEnd =
    u"SCRIPT.DAT: script {script}: the code has no end instruction; one is added after it";
inline constexpr std::u16string_view kTooManyResources =
    u"SCRIPT.DAT: script {script}: more than 10,000 resource names; the names after the first 10,000 are not "
    u"used";
inline constexpr std::u16string_view kRunawayScript =
    u"script {script}: {count} instructions ran (or were searched) without a message, wait or jump; the script "
    u"goes on at the next pass";
inline constexpr std::u16string_view kUnknownTask = u"TaskCode 0x{code} belongs to no task; back to the title";

// The text hook, speech, and the list itself.
inline constexpr std::u16string_view kTextHookBehind =
    u"text hook: a line could not be written (the reader may not keep up); such lines are dropped";
inline constexpr std::u16string_view kSpeechLost =
    u"--speak: speech-dispatcher could not be reached; messages are no longer read aloud";
inline constexpr std::u16string_view kRepeated = u" ({count} more times in the last second)";

inline constexpr std::array kAll = {
    kSaveBlocked,          kSaveNotWritten,
    kSaveUnreadable,       kSaveNotRegular,
    kSaveShortened,        kSaveWrongSize,
    kSaveDamagedKept,      kSaveDamagedAside,
    kImportedSave,         kImportWrongSize,
    kImportBlocked,        kImportNotKept,
    kImportImplausible,    kSettingImplausible,
    kSlotFieldImplausible, kSlotDateImplausible,
    kSlotScriptMissing,    kSlotStepPastEnd,
    kNoSaveFolder,         kSaveNotCopied,
    kSavesMoved,           kThumbnailNotWritten,
    kThumbnailNotShown,    kNoSoundOutput,
    kFileMissing,          kRecordingNotWritten,
    kMovieSkipped,         kEntriesPastEnd,
    kNoNameListEnd,        kEntryPastEnd,
    kEntryUnreadable,      kPictureNotNamed,
    kPictureEntryEmpty,    kMessageCut,
    kChoiceOfOne,          kPictureUnusable,
    kReplacementUnusable,  kReplacementWrongSize,
    kScriptMissing,        kScriptWithoutEnd,
    kTooManyResources,     kRunawayScript,
    kUnknownTask,          kTextHookBehind,
    kSpeechLost,           kRepeated,
};

}  // namespace mokuren::error_text
