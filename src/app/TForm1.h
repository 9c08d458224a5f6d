// TForm1: the engine. It owns every surface, list, sound object and decoder for the life of the process;
// its methods are the engine's operations and the main window's event handlers. Each subsystem declares
// its own members in a form_<subsystem>.h fragment that is included inside the class body below, so
// every subsystem keeps its part of the engine in its own folder.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "app/automation.h"
#include "app/engine_state.h"
#include "app/event_script.h"
#include "app/game_title.h"
#include "app/launch_options.h"
#include "app/save_link.h"
#include "archive/archive_index.h"
#include "base/error_list.h"
#include "graphics/ABitmap.h"
#include "graphics/frame_recorder.h"
#include "platform/platform.h"
#include "platform/window_host.h"
#include "save/save_data.h"
#include "script/ScriptInstruction.h"
#include "script/script_image.h"
#include "script/script_registers.h"
#include "text/message_log.h"

namespace mokuren {

class TQueryForm;
class TForm7;
class TCommentForm;
class TMsgForm;
class TNameForm;
class TConfigForm;
class TDebugForm;
class MoviePlayer;
class AlbumScreens;

// Transition: the save data and its link are made before EngineState, whose persistent fields are
// references into the block SaveData owns, as every subsystem's will be. Once those fields have gone
// into the subsystems, both become TForm1's first subsystem members and this class goes.
class SaveDataFirst {
 protected:
  SaveDataFirst(TForm1& form, Platform& platform, ErrorList& errors, const std::filesystem::path& gameDir)
      : saveLink_(form), save_(saveLink_, platform, errors, gameDir) {}

  SaveLink saveLink_;
  SaveData save_;
};

class TForm1 final : private SaveDataFirst,
                     public EngineState,
                     public WindowHost,
                     private ErrorList::Observer {
  // Made before every other member, so that whatever they report is kept.
  ErrorList errors_;

 public:
  TForm1(Platform& platform, LaunchOptions options);
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // ---- Start-up and shutdown -------------------------------------------------------------------------
  // Runs FormCreate. Returns false (with the message already shown) when start-up cannot go on.
  bool FormCreate();
  void Kumo_TaskInit();
  void FormCloseQuery(bool& canClose);
  void FormClose();
  void FormDestroy();
  void menuQuitClick();
  // Close request from the window's close button, the quit menu item or the events file.
  void Close() override;
  // Close as a confirmed quit would, without asking (the end of --max-ms).
  void CloseConfirmed();
  bool Terminated() const { return terminated_; }

  // Runs passes until the main window closes; returns the exit status.
  int Run();
  // Shows the main window and starts the clock that events and --max-ms count from (done by Run).
  void StartLoopClock();

  // ---- Main loop -------------------------------------------------------------------------------------
  void IdleEvent();
  void Kumo_Wait();
  void Kumo_WaitKey();
  void DelayTimerTimer();
  void FormPaint();
  // Window modes.
  void FullModeWin();
  void ReturnFullModeWin();

  // ---- Modal windows ---------------------------------------------------------------------------------
  // Shows a modal form and runs engine passes until it is answered; returns its modal result.
  int ShowModal(FormId form, int& modalResult);
  // The modal form in front, if any (the events file's "dialog" verb answers it).
  bool ModalOpen(FormId form) const;
  void AnswerFrontDialog(bool ok);

  // The modal form in front; nothing when none is up.
  std::optional<FormId> FrontForm() const;
  // A modal form's texts as its view shows them: caption first, then every label and the text box.
  std::vector<std::u16string> FormTexts(FormId form);

  // ---- Automation ------------------------------------------------------------------------------------
  Automation& automation() { return automation_; }
  void ApplyEvent(const Event& event) { automation_.ApplyEvent(event); }
  void ReportEvent(const Event& event, const std::u16string& what) { automation_.ReportEvent(event, what); }
  void MenuClick(MenuItem item) override;
  std::vector<Point> PointerStops() override;
  uint32_t ElapsedMs();  // since the main loop started
  int64_t PassCount() const { return passCount_; }
  int64_t FrameCount() const { return frameCount_; }
  // A line for the debug window's error list, also written to standard error.
  void ReportError(const std::u16string& line) { errors_.Add(line); }
  const ErrorList& Errors() const { return errors_; }

  // A file named in the events file, as given: relative names are taken from the directory the program
  // was started in, which the engine never changes.
  const std::string& AutomationFile(const std::string& name) const { return name; }

  Platform& platform() { return platform_; }
  const LaunchOptions& options() const { return options_; }

  // The game directory (current directory) and the script's random numbers.
  std::filesystem::path GameDir;
  std::mt19937 Random;

  // ---- Named surfaces of the frame -------------------------------------------------------------------
  TABitmap FrameSurface{kFrameWidth, kFrameHeight};
  TABitmap FloatSurface{kFrameWidth, kMessageWindowHeight};

  std::unique_ptr<TQueryForm> QueryForm;
  TQueryForm& GetQueryForm() override { return *QueryForm; }
  std::unique_ptr<TMsgForm> MsgForm;
  TMsgForm& GetMsgForm() override { return *MsgForm; }
  std::unique_ptr<TNameForm> NameForm;
  TNameForm& GetNameForm() override { return *NameForm; }
  std::unique_ptr<TConfigForm> ConfigForm;
  TConfigForm& GetConfigForm() override { return *ConfigForm; }
  std::unique_ptr<TDebugForm> DebugForm;
  TDebugForm& GetDebugForm() override { return *DebugForm; }
  // The main window's caption: the game's title (game_title.h), "Mokuren" until it is read or when the
  // game gives none. The version as the window's Tag keeps it (0.88 is 88).
  std::u16string Caption{kDefaultCaption};
  const int32_t Tag;

  // The subsystems, lowest layer first. Each section holds one subsystem: its object, the link that is its
  // host, and an accessor.

  // ---- Archives ----
#include "archive/form_archive.h"

  // ---- Graphics ----
#include "graphics/form_graphics.h"

  // ---- Sound ----
#include "sound/form_sound.h"

  // ---- Text and interaction ----
#include "text/form_text.h"

  // ---- Script ----
#include "script/form_script.h"

  // ---- Movie ----
#include "movie/form_movie.h"

  // ---- Save and load ----
// The save data and its link are made first of all (SaveDataFirst, above).
  SaveData& Save() { return save_; }
  TForm7& GetSaveLoadForm() override { return *save_.SaveLoadForm; }
  TCommentForm& GetCommentForm() override { return *save_.CommentForm; }
  // Transition: the names other subsystems still use; they go once every subsystem has its object.
  const std::unique_ptr<TForm7>& SaveLoadForm = save_.SaveLoadForm;
  const std::unique_ptr<TCommentForm>& CommentForm = save_.CommentForm;
  std::function<void()>& SaveBeforeRenameHook = save_.SaveBeforeRenameHook;
  void ChooseSaveDir() { save_.ChooseSaveDir(); }
  bool Kumo_CheckSaveFile() { return save_.Kumo_CheckSaveFile(); }
  void SetSaveDefaults() { save_.SetSaveDefaults(); }
  bool Kumo_CreateSaveFile() { return save_.Kumo_CreateSaveFile(); }
  bool Kumo_ReadSaveFile() { return save_.Kumo_ReadSaveFile(); }
  void CreateThumbFolder() { save_.CreateThumbFolder(); }
  bool SaveToSlot(int n) { return save_.SaveToSlot(n); }
  bool LoadFromSlot(int n) { return save_.LoadFromSlot(n); }
  void QuickSave() { save_.QuickSave(); }
  void QuickLoad() { save_.QuickLoad(); }
  void Kumo_RestoreGame() { save_.Kumo_RestoreGame(); }
  void ApplySaveEvent(const Event& event) { save_.ApplySaveEvent(event); }
  void menuSaveClick() { save_.menuSaveClick(); }
  void menuLoadClick() { save_.menuLoadClick(); }
  void ShowSaveLoadScreen(int mode) { save_.ShowSaveLoadScreen(mode); }
  void DrawScreenText(TABitmap& target, int32_t x, int32_t y, const std::u16string& text, int32_t height) {
    save_.DrawScreenText(target, x, y, text, height);
  }

  // ---- Menus ----
#include "menus/form_menus.h"

  // ---- Dialogs ----
#include "dialogs/form_dialogs.h"

  // ---- End of the subsystems ----

 private:
  void TraceTaskCode();
  // `extraRest`: milliseconds the loop chose to rest beyond a pass's 10, whose timer ticks come now.
  void FireDelayTimer(uint32_t extraRest);
  // The tick of the next frame when nothing can happen before it unless input comes; nothing otherwise.
  std::optional<uint32_t> QuietUntil();
  void EnableMenuItems();
  void ComposeFrame();

  void ErrorListChanged() override;

  // Each composed frame is drawn again only where it differs from the last one.
  FrameRecorder mainRecorder_{FrameSurface};
  FrameRecorder floatRecorder_{FloatSurface};
  Platform& platform_;
  LaunchOptions options_;
  Automation automation_{*this, platform_, options_};
  bool terminated_ = false;
  bool closing_ = false;
  int64_t passCount_ = 0;
  int64_t frameCount_ = 0;
  uint32_t loopStartTick_ = 0;
  bool loopStarted_ = false;
  uint32_t lastTimerTick_ = 0;
  std::vector<FormId> modalStack_;
};

}  // namespace mokuren
