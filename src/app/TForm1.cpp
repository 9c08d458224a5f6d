// Start-up and shutdown of the engine.
#include "app/TForm1.h"

#include <filesystem>
#include <iostream>

#include "app/startup_damage.h"
#include "base/startup_message.h"
#include "base/text_codec.h"
#include "dialogs/TCommentForm.h"
#include "dialogs/TConfigForm.h"
#include "dialogs/TDebugForm.h"
#include "dialogs/TQueryForm.h"
#include "graphics/system_pictures.h"
#include "menus/title_menu.h"
#include "platform/game_files.h"
#include "platform/quit_signals.h"
#include "save/TForm7.h"
#include "text/TMsgForm.h"
#include "text/TNameForm.h"
#include "text/message_layout.h"
#include "text/speech.h"
#include "text/text_hook.h"

namespace mokuren {

namespace {

// "0.88" -> 88: the major version counts thousands.
int32_t VersionTag(std::string_view version) {
  const size_t dot = version.find('.');
  const int32_t major = std::stoi(std::string(version.substr(0, dot)));
  const int32_t minor = dot == std::string_view::npos ? 0 : std::stoi(std::string(version.substr(dot + 1)));
  return major * 1000 + minor;
}

// The SYSGRP.DAT pictures a game shows first, in the order it loads them: the system pictures at start-up,
// then the title's background and sheet.
std::vector<PictureSource> FirstSystemPictures(const Archives& archives) {
  std::vector<int32_t> entries;
  for (const SystemPicture& picture : kStartupSystemPictures) entries.push_back(picture.entry);
  entries.push_back(title_menu::kBackgroundEntry);
  entries.push_back(title_menu::kSheetEntry);
  std::vector<PictureSource> sources;
  for (int32_t entry : entries)
    if (std::optional<Archives::Span> span = archives.Locate(ArchiveKind::System, entry))
      sources.push_back({entry, std::move(span->file), span->offset, span->size});
  return sources;
}

}  // namespace

TForm1::TForm1(Platform& platform, LaunchOptions options)
    : platform_(platform),
      Tag(VersionTag(MOKUREN_VERSION)),
      sound_(soundLink_, platform, errors_, *save_.Block, GameDir, options.recordAudio),
      options_(std::move(options)) {
  // The forms are made here, once every member they refer to exists.
  QueryForm = std::make_unique<TQueryForm>();
  NameForm = std::make_unique<TNameForm>(textLink_);
  ConfigForm = std::make_unique<TConfigForm>(dialogLinks_, *save_.Block);
  DebugForm = std::make_unique<TDebugForm>(dialogLinks_, *save_.Block, errors_, platform_);
  MsgForm = std::make_unique<TMsgForm>(graphics_.FloatSurface, textLink_);
  // Before anything can be reported, so the debug window shows every line from the start.
  errors_.SetObserver(this);
  errors_.SetClock([this] { return platform_.TickCount(); });
  // Its lines in the player's language once the translation is chosen (the original before).
  errors_.SetTranslator([this](std::u16string_view original) { return text_.EngineText(original); });
  DebugForm->FormCreate(Caption, Tag);
}

TForm1::~TForm1() {
  // The message window that translates goes before the list; what is reported after is shown as it stands.
  errors_.SetTranslator(nullptr);
}

bool TForm1::FormCreate() {
  // Every data file is opened against the game directory; the process's own directory is never changed.
  std::error_code ec;
  std::filesystem::path dir =
      options_.gameDir.empty() ? ExecutableDirectory() : std::filesystem::path(options_.gameDir);
  // A folder named relative to where the program was started is made absolute once.
  if (std::filesystem::path absolute = std::filesystem::absolute(dir, ec); !ec) dir = std::move(absolute);
  // Start-up problems are told in the player's language, or in Japanese, then in English.
  LoadEngineTexts();
  if (const auto status = std::filesystem::status(dir, ec); !std::filesystem::is_directory(status)) {
    const StartupText& text = std::filesystem::is_regular_file(status) ? startup_text::kGameDirIsFile
                              : std::filesystem::exists(status)        ? startup_text::kGameDirNotFolder
                                                                       : startup_text::kGameDirMissing;
    platform_.FatalMessage(StartupMessage(errors_.Translator(), text, {{u"dir", FromUtf8(dir.string())}}));
    return false;
  }
  // A folder without a script is no game at all: the player is told how to give the program one.
  if (!std::filesystem::exists(FindGameFile(dir, ArchiveFileName(ArchiveKind::Script)), ec)) {
    platform_.FatalMessage(
        StartupMessage(errors_.Translator(), startup_text::kNoGame, {{u"dir", FromUtf8(dir.string())}}));
    return false;
  }
  GameDir = dir;
  // The game's title names the main window and the debug window.
  GameTitle title = ReadGameTitle(GameDir);
  for (const std::string& problem : title.problems) ReportError(FromUtf8(title.file + ": " + problem));
  if (!title.text.empty()) Caption = std::move(title.text);
  DebugForm->SetMainCaption(Caption, Tag);
  platform_.SetMainCaption(Caption);
  // The random numbers of the script. Headless runs are repeatable: the virtual clock seeds them.
  script_.Random.seed(platform_.Headless() ? platform_.TickCount() : static_cast<uint32_t>(std::random_device{}()));
  // The client size is the backend's: always 800x600.
  // Archive indexes.
  if (!archives_.Kuri_FileInit()) return false;
  // The first pictures are decoded on a second thread while the rest of start-up goes on.
  graphics_.SystemPicturesAhead.Start(FirstSystemPictures(archives_));
  // The player's language, with the caption it gives.
  StartTranslation();
  DebugForm->SetMainCaption(Caption, Tag);
  platform_.SetMainCaption(Caption);
  // Surfaces and fonts.
  graphics_.CreateSurfaces();
  if (!CreateFonts()) return false;
  // Debug mode stays off until Kumo_TaskInit looks for its marker file.
  DebugMode = 0;
  // Half a second's pause before the movie decoder and the sound start, on the headless clock only: there it
  // costs no time and keeps every run's clock as it was, while a player would only wait longer for the
  // first picture.
  if (platform_.Headless()) platform_.Sleep(500);
  // Movie decoder.
  movie_.Kuri_TheoraInit();
  // Vorbis decoder, stream player and the looping mixing wave.
  sound_.CreateSound();
  save_.ChooseSaveDir();
  // Without SAVE.DAT, write one with the default settings; it is read back next.
  if (!save_.Kumo_CheckSaveFile()) {
    save_.SetSaveDefaults();
    save_.Kumo_CreateSaveFile();
  }
  // The persistent block, settings included.
  save_.Kumo_ReadSaveFile();
  // Full screen when the settings ask for it.
  SaveBlock& kept = *save_.Block;
  if (kept.FullScreen) FullModeWin();
  // Name in use: the stored name up to its 0 unit, or the default name when it is empty.
  text_.HeroName.clear();
  for (uint16_t unit : kept.StoredHeroName) {
    if (unit == 0) break;
    text_.HeroName.push_back(static_cast<char16_t>(unit));
  }
  if (text_.HeroName.empty()) text_.HeroName = NameForm->DefaultName;
  // Slot volumes from the saved settings.
  sound_.ApplyVolumes();
  // Music of the album screens when none was saved.
  if (kept.AlbumBgmNo == 0) kept.AlbumBgmNo = 9;
  // Empty scenario flags and message log.
  script_.Kumo_ClearScenarioFlg();
  text_.Kumo_ClearMsgLog();
  script_.Kumo_ClearScenarioFlg();
  album_.FillAlbumTables();
  save_.CreateThumbFolder();  // save thumbnails
  // The log is cleared a second time; both clears belong to the start-up order.
  text_.Kumo_ClearMsgLog();
  graphics_.EnableButtons();
  // The first pass of the main loop (Run) finishes the start-up with Kumo_TaskInit.
  TaskCode = task::Init;
  return true;
}

void TForm1::Kumo_TaskInit() {
  // The 30-per-second frame grid starts now.
  NextFrameTime = platform_.TickCount();
  // Damage start-up meets is shown to the player before the game goes on. A run driven by an events file
  // or ended by --max-ms has nobody to close a message box, so it is told on standard error only.
  const auto warn = [this](const std::string& message) {
    if (options_.eventsFile.empty() && !options_.maxMs)
      platform_.WarningMessage(message);
    else
      PrintFatalMessage(message);
  };
  // System pictures from SYSGRP.DAT.
  if (const std::vector<int32_t> missing = graphics_.LoadSystemPictures(); !missing.empty()) {
    std::vector<UnloadedPicture> pictures;
    for (int32_t entry : missing)
      pictures.push_back({entry, archives_.ArchiveIndexes[2][static_cast<size_t>(entry)].size == 0});
    std::u16string english;
    const std::string message = StartupPicturesMessage(
        errors_.Translator(), FindGameFile(GameDir, ArchiveFileName(ArchiveKind::System)).string(), pictures, english);
    ReportError(english);
    warn(message);
  }
  // The script's four string tables.
  script_.CreateScriptLists();
  // Line breaking: characters that may not begin a line, and characters that may not end one.
  text_.LineStartForbidden = kLineStartForbidden;
  text_.LineEndForbidden = kLineEndForbidden;
  // The debug window is shown when debugmode.txt lies beside the executable or in the game directory.
  std::error_code ec;
  DebugMode = std::filesystem::exists(ExecutableDirectory() / "debugmode.txt", ec) ||
              std::filesystem::exists(FindGameFile(GameDir, "debugmode.txt"), ec);
  DebugForm->Visible = DebugMode != 0;
  platform_.SetFormVisible(FormId::TDebugForm, DebugForm->Visible);
  // On-screen buttons: 1 and 2 hidden, 4 (voice) disabled until there is a voice, the rest normal.
  using namespace button_state;
  graphics_.SetButtonStates({Hidden, Hidden, Normal, Disabled, Normal, Normal, Normal, Normal, Normal, Normal});
  // Script 1 runs from instruction 0 on the next pass. When it cannot be loaded, the empty script runs,
  // and the player is told why the game does not start as it should.
  if (const ScriptEntryFault fault = script_.Kumo_ReadScript(1))
    warn(StartupScriptMessage(errors_.Translator(),
                              FindGameFile(GameDir, ArchiveFileName(ArchiveKind::Script)).string(), fault));
  script_.StepNo = -1;
  TaskCode = task::Script;
}

void TForm1::FormCloseQuery(std::function<void(bool)> answered) {
  QueryForm->Label1 = text_.EngineText(u"ゲームを終了しますか？");
  ShowModal(FormId::TQueryForm, QueryForm->ModalResult,
            [answered = std::move(answered)](int result) { answered(result == mrOk); });
}

void TForm1::FormClose(bool mayAsk) {
  close_.finalSaving = true;
  close_.finalSaveFailed = !save_.SaveAtQuit(mayAsk);
  close_.finalSaving = false;
  platform_.Sleep(100);
  if (save_.Block->FullScreen) ReturnFullModeWin();
  platform_.Sleep(100);
}

void TForm1::FormDestroy() {
  movie_.Kuri_TheoraFree();
  sound_.ReleaseSound();
}

void TForm1::menuQuitClick() { Close(); }

void TForm1::Close() {
  if (close_.asking || close_.terminated) return;  // the question is already on screen
  automation_.PlayerClose();
  close_.asking = true;
  FormCloseQuery([this](bool canClose) {
    close_.asking = false;
    if (canClose && !close_.terminated) {
      FormClose(true);
      close_.terminated = true;
    }
  });
}

void TForm1::CloseConfirmed() {
  if (close_.terminated) return;
  // While the player is asked whether to try the failed save again, the game ends as it stands.
  if (!close_.finalSaving) FormClose();
  close_.terminated = true;
}

bool TForm1::AskToRetrySave() {
  if (close_.terminated) return false;
  TQueryForm& box = *QueryForm;
  box.Label1 = text_.EngineText(u"セーブデータを書き込めませんでした。もう一度試しますか？");
  const std::u16string ok = box.OkCaption, cancel = box.CancelCaption;
  box.OkCaption = text_.EngineText(u"もう一度試す");
  box.CancelCaption = text_.EngineText(u"終了する");
  const bool retry = ShowModal(FormId::TQueryForm, box.ModalResult) == mrOk && !close_.terminated;
  box.OkCaption = ok;
  box.CancelCaption = cancel;
  return retry;
}

void TForm1::FullModeWin() { platform_.SetFullScreen(true); }
void TForm1::ReturnFullModeWin() { platform_.SetFullScreen(false); }

int TForm1::ShowModal(FormId form, int& modalResult, std::function<void(int)> then) {
  modalResult = mrNone;
  modals_.shown.push_back(form);
  platform_.OpenForm(form);
  if (!platform_.NestedModalLoops()) {
    modals_.open.push_back({form, &modalResult, std::move(then)});
    return mrNone;
  }
  // The engine keeps running while the dialog is up, as under a modal message loop.
  while (modalResult == mrNone && !close_.terminated) IdleEvent();
  EndModal(form, modalResult, then);
  return modalResult;
}

void TForm1::EndModal(FormId form, int& modalResult, const std::function<void(int)>& then) {
  platform_.CloseForm(form);
  modals_.shown.pop_back();
  if (modalResult == mrNone) modalResult = mrCancel;
  automation_.PlayerAnswered(form, modalResult);
  if (then) then(modalResult);
}

void TForm1::ServeOpenModals() {
  // The innermost form first, as the nested loops would end; what follows one may open another.
  while (!modals_.open.empty() && (*modals_.open.back().result != mrNone || close_.terminated)) {
    ModalForms::Open done = std::move(modals_.open.back());
    modals_.open.pop_back();
    EndModal(done.form, *done.result, done.then);
  }
}

void TForm1::Pass() {
  IdleEvent();
  ServeOpenModals();
}

bool TForm1::ModalOpen(FormId form) const { return modals_.Front() == form; }

void TForm1::SaveLoadMouseDown(MouseButton button, Point client) {
  automation_.PlayerSaveLoadMouseDown(button, client);
  save_.SaveLoadForm->Image1MouseDown(button, client);
}

bool TForm1::FloatMouseDown(MouseButton button, Point client) {
  automation_.PlayerFloatMouseDown(button, client);
  return MsgForm->FormMouseDown(button, client);
}

std::optional<FormId> TForm1::FrontForm() const { return modals_.Front(); }

uint32_t TForm1::ElapsedMs() { return loop_.Elapsed(platform_.TickCount()); }

void TForm1::TraceTaskCode() { automation_.TraceTaskCode(ElapsedMs(), TaskCode, script_.ScriptNo, script_.StepNo); }

void TForm1::AnswerFrontDialog(bool ok) {
  const std::optional<FormId> front = modals_.Front();
  if (!front) return;
  switch (*front) {
    case FormId::TQueryForm: ok ? QueryForm->OkButtonClick() : QueryForm->CancelButtonClick(); break;
    default: dialogs_.AnswerOtherDialog(*front, ok); break;
  }
}

void TForm1::ErrorListChanged() { platform_.FormChanged(FormId::TDebugForm); }

void TForm1::StartLoopClock() {
  platform_.ShowMainWindow();
  loop_.Start(platform_.TickCount());
}

int TForm1::Run() {
  StartLoopClock();
  // From here a quit signal is seen by the next pass, which closes the game as a confirmed quit would.
  RecordQuitSignals();
  while (!close_.terminated) Pass();
  ServeOpenModals();
  FormDestroy();
  // A wait that never came says more about the run than the final save does.
  if (const int status = automation_.ExitStatus(); status != 0) return status;
  return ExitStatus();
}

void TForm1::MenuClick(MenuItem item) {
  automation_.PlayerMenu(item);
  switch (item) {
    case MenuItem::menuKSkip: text_.menuKSkipClick(); break;
    case MenuItem::menuSSkip: text_.menuSSkipClick(); break;
    case MenuItem::menuAuto: text_.menuAutoClick(); break;
    case MenuItem::menuWindow: text_.menuWindowClick(); break;
    case MenuItem::menuFloat: text_.menuFloatClick(); break;
    case MenuItem::menuSave: save_.menuSaveClick(); break;
    case MenuItem::menuLoad: save_.menuLoadClick(); break;
    case MenuItem::menuConfig: dialogs_.menuConfigClick(); break;
    case MenuItem::menuTitle: title_.menuTitleClick(); break;
    case MenuItem::menuQuit: menuQuitClick(); break;
    case MenuItem::Count: break;
  }
}

std::vector<std::u16string> TForm1::FormTexts(FormId form) {
  if (form == FormId::TQueryForm) return {QueryForm->Caption, QueryForm->Label1};
  return dialogs_.OtherFormTexts(form);
}

void TForm1::SetSpeechOn(bool on) {
  text_.SetSpeaking(on);
  WriteSpeechSetting(on);
}

}  // namespace mokuren
