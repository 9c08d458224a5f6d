// Start-up and shutdown of the engine.
#include "app/TForm1.h"

#include <filesystem>
#include <iostream>

#include "dialogs/TQueryForm.h"
#include "platform/game_files.h"
#include "text/text_codec.h"

namespace mokuren {

TForm1::TForm1(Platform& platform, LaunchOptions options)
    : QueryForm(std::make_unique<TQueryForm>()), platform_(platform), options_(std::move(options)) {}

TForm1::~TForm1() = default;

bool TForm1::FormCreate() {
  // 1. All data files are opened relative to the game directory.
  std::error_code ec;
  std::filesystem::path dir = options_.gameDir.empty() ? ExecutableDirectory() : std::filesystem::path(options_.gameDir);
  if (!std::filesystem::is_directory(dir, ec)) {
    platform_.FatalMessage("the game directory " + dir.string() + " does not exist");
    return false;
  }
  std::filesystem::current_path(dir, ec);
  if (ec) {
    platform_.FatalMessage("cannot enter the game directory " + dir.string() + ": " + ec.message());
    return false;
  }
  GameDir = std::filesystem::current_path();
  // 2. The random numbers of the script. Headless runs are repeatable: the virtual clock seeds them.
  Random.seed(platform_.Headless() ? platform_.TickCount() : static_cast<uint32_t>(std::random_device{}()));
  // 3. The client size is the backend's: always 800x600.
  // 4.
  if (!Kuri_FileInit()) return false;
  // 5.
  CreateSurfaces();
  if (!CreateFonts()) return false;
  // 6.
  DebugMode = 0;
  // 7.
  platform_.Sleep(500);
  // 8.
  Kuri_TheoraInit();
  // 9.-11.
  CreateSound();
  // 12.
  if (!Kumo_CheckSaveFile()) {
    SetSaveDefaults();
    Kumo_CreateSaveFile();
  }
  // 13.
  Kumo_ReadSaveFile();
  // 14.
  if (FullScreen) FullModeWin();
  // 15.
  HeroName.clear();
  for (uint16_t unit : StoredHeroName) {
    if (unit == 0) break;
    HeroName.push_back(static_cast<char16_t>(unit));
  }
  if (HeroName.empty()) HeroName = u"カザミネ";
  // 16.
  ApplyVolumes();
  // 17.
  if (AlbumBgmNo == 0) AlbumBgmNo = 9;
  // 18.
  Kumo_ClearScenarioFlg();
  Kumo_ClearMsgLog();
  Kumo_ClearScenarioFlg();
  // 19.
  FillAlbumTables();
  // 20.
  CreateThumbFolder();
  // 21.
  Kumo_ClearMsgLog();
  // 22.
  EnableButtons();
  // 23.-24. The main loop (Run) is the idle handler.
  TaskCode = task::Init;
  return true;
}

void TForm1::Kumo_TaskInit() {
  // 1.
  NextFrameTime = platform_.TickCount();
  // 2.
  LoadSystemPictures();
  // 3.
  CreateScriptLists();
  // 4.
  LineStartForbidden = u"、。，．：；！？ーぁぃぅぇぉっゃゅょんァィゥェォッャュョンヵヶ）」』】";
  LineEndForbidden = u"（「『【";
  // 5.
  std::error_code ec;
  if (std::filesystem::exists(FindGameFile(GameDir, "debugmode.txt"), ec)) {
    platform_.SetFormVisible(FormId::TDebugForm, true);
    DebugMode = 1;
  } else {
    platform_.SetFormVisible(FormId::TDebugForm, false);
    DebugMode = 0;
  }
  // 6.
  SetButtonStates({-1, -1, 0, 4, 0, 0, 0, 0, 0, 0});
  // 7.
  Kumo_ReadScript(1);
  StepNo = -1;
  TaskCode = task::Script;
}

void TForm1::FormCloseQuery(bool& canClose) {
  QueryForm->Label1 = u"ゲームを終了しますか？";
  canClose = ShowModal(FormId::TQueryForm, QueryForm->ModalResult) == mrOk;
}

void TForm1::FormClose() {
  Kumo_CreateSaveFile();
  platform_.Sleep(100);
  if (FullScreen) ReturnFullModeWin();
  platform_.Sleep(100);
}

void TForm1::FormDestroy() {
  Kuri_TheoraFree();
  ReleaseSound();
}

void TForm1::menuQuitClick() { Close(); }

void TForm1::Close() {
  if (closing_ || terminated_) return;  // the question is already on screen
  closing_ = true;
  bool canClose = false;
  FormCloseQuery(canClose);
  closing_ = false;
  if (canClose && !terminated_) {
    FormClose();
    terminated_ = true;
  }
}

void TForm1::CloseConfirmed() {
  if (terminated_) return;
  FormClose();
  terminated_ = true;
}

void TForm1::FullModeWin() { platform_.SetFullScreen(true); }
void TForm1::ReturnFullModeWin() { platform_.SetFullScreen(false); }

int TForm1::ShowModal(FormId form, int& modalResult) {
  modalResult = mrNone;
  modalStack_.push_back(form);
  platform_.OpenForm(form);
  // The engine keeps running while the dialog is up, as under a modal message loop.
  while (modalResult == mrNone && !terminated_) IdleEvent();
  platform_.CloseForm(form);
  modalStack_.pop_back();
  if (modalResult == mrNone) modalResult = mrCancel;
  return modalResult;
}

bool TForm1::ModalOpen(FormId form) const { return !modalStack_.empty() && modalStack_.back() == form; }

void TForm1::AnswerFrontDialog(bool ok) {
  if (modalStack_.empty()) return;
  switch (modalStack_.back()) {
    case FormId::TQueryForm:
      ok ? QueryForm->OkButtonClick() : QueryForm->CancelButtonClick();
      break;
    default:
      AnswerOtherDialog(modalStack_.back(), ok);
      break;
  }
}

void TForm1::ReportError(const std::u16string& line) {
  errorList_.push_back(line);
  std::cerr << "mokuren: " << ToUtf8(line) << '\n';
}

void TForm1::StartLoopClock() {
  platform_.ShowMainWindow();
  loopStartTick_ = platform_.TickCount();
  lastTimerTick_ = loopStartTick_;
  loopStarted_ = true;
}

int TForm1::Run() {
  StartLoopClock();
  while (!terminated_) IdleEvent();
  FormDestroy();
  return 0;
}

}  // namespace mokuren
