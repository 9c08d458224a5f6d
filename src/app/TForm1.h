// TForm1: the main window. It owns the subsystem objects (each behind the host its link answers) and the
// forms, runs the main loop (the idle pass and the TaskCode dispatch) and the window's handlers.
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

#include "app/album_link.h"
#include "app/automation.h"
#include "app/close_state.h"
#include "app/dialog_links.h"
#include "app/engine_state.h"
#include "app/event_script.h"
#include "app/game_title.h"
#include "app/graphics_link.h"
#include "app/launch_options.h"
#include "app/loop_clock.h"
#include "app/menu_link.h"
#include "app/message_link.h"
#include "app/modal_forms.h"
#include "app/movie_link.h"
#include "app/save_link.h"
#include "app/script_link.h"
#include "app/sound_link.h"
#include "archive/archives.h"
#include "base/error_list.h"
#include "dialogs/engine_dialogs.h"
#include "graphics/ABitmap.h"
#include "graphics/frame_recorder.h"
#include "graphics/graphics.h"
#include "menus/album_screens.h"
#include "menus/title_screen.h"
#include "movie/opening_movie.h"
#include "platform/platform.h"
#include "platform/speech_setting.h"
#include "platform/window_host.h"
#include "save/save_data.h"
#include "script/ScriptInstruction.h"
#include "script/script_image.h"
#include "script/script_machine.h"
#include "script/script_registers.h"
#include "sound/sound_system.h"
#include "text/canvas_text.h"
#include "text/message_log.h"
#include "text/message_window.h"

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

class TForm1 final : public EngineState, public WindowHost, private ErrorList::Observer {
  // Made before every other member, so that whatever they report is kept.
  ErrorList errors_;
  // Before the subsystems, which hold it.
  Platform& platform_;

 public:
  TForm1(Platform& platform, LaunchOptions options);
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // ---- Start-up and shutdown -------------------------------------------------------------------------
  // Runs FormCreate. Returns false (with the message already shown) when start-up cannot go on.
  bool FormCreate();
  void Kumo_TaskInit();
  void LoadEngineTexts();  // the engine's shipped translation for the player's language, first of all
  // Chooses the language (--lang, or the player's), loads its translation into the message window, and
  // translates Caption and the popup menu (translation_setup.cpp).
  void StartTranslation();
  bool StartGameTranslation();       // the game's tl/LL.po; false when it plays in its original language
  void ShowEngineTextsTranslated();  // the popup menu and the dialogs, in the texts chosen
  void FormCloseQuery(std::function<void(bool)> answered);
  // Writes SAVE.DAT and leaves full screen. When the save fails and `mayAsk`, the player is asked whether
  // to try again (AskToRetrySave) until it is written or they quit anyway.
  void FormClose(bool mayAsk = false);
  // The box that asks, after SAVE.DAT could not be written at quit, whether to try again. False: quit
  // anyway, or the game is being ended meanwhile (or the backend cannot wait for an answer in place).
  bool AskToRetrySave();
  void FormDestroy();
  void menuQuitClick();
  // Close request from the window's close button, the quit menu item or the events file.
  void Close() override;
  // Close as a confirmed quit would, without asking (the end of --max-ms).
  void CloseConfirmed();
  bool Terminated() const { return close_.terminated; }

  // Runs passes until the main window closes; returns the exit status.
  int Run();
  // 0, or kExitSaveFailed when the game was closed without its final SAVE.DAT.
  static constexpr int kExitSaveFailed = 4;
  int ExitStatus() const { return close_.finalSaveFailed ? kExitSaveFailed : 0; }
  // One pass of the main loop, then what follows the modal forms answered in it; Run calls it until the
  // window closes, a backend that drives the passes itself calls it once per callback.
  void Pass();
  // Shows the main window and starts the clock that events and --max-ms count from (done by Run).
  void StartLoopClock();

  // ---- Main loop -------------------------------------------------------------------------------------
  void IdleEvent();
  void DelayTimerTimer();
  void FormPaint();
  // Window modes.
  void FullModeWin();
  void ReturnFullModeWin();

  // ---- Modal windows ---------------------------------------------------------------------------------
  // Shows a modal form; `then` gets its modal result once it is answered. Where the backend nests loops,
  // engine passes run here until then and the result is returned; otherwise the form stays open as a state
  // of the main loop (Pass) and mrNone is returned at once.
  int ShowModal(FormId form, int& modalResult, std::function<void(int)> then = {});
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
  void SpeakShown(const std::u16string& text) override { text_.SpeakShown(text); }
  bool SpeechOn() override { return text_.Speaking(); }
  void SetSpeechOn(bool on) override;
  uint32_t ElapsedMs();  // since the main loop started
  int64_t PassCount() const { return loop_.passes; }
  int64_t FrameCount() const { return loop_.frames; }
  // A line for the debug window's error list, also written to standard error.
  void ReportError(const std::u16string& line) { errors_.Add(line); }
  const ErrorList& Errors() const { return errors_; }

  // A file named in the events file, as given: relative names are taken from the directory the program
  // was started in, which the engine never changes.
  const std::string& AutomationFile(const std::string& name) const { return name; }

  Platform& platform() { return platform_; }
  const LaunchOptions& options() const { return options_; }

  // The game directory (every data file is opened against it).
  std::filesystem::path GameDir;

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

  // The subsystems, lowest layer first after the save data. Each section holds one subsystem: its object,
  // the link that is its host, and an accessor.

  // ---- Save and load ----
  // Made before the other subsystems: they bind their persistent fields into its block.
  SaveData& Save() { return save_; }
  TForm7& GetSaveLoadForm() override { return *save_.SaveLoadForm; }
  TCommentForm& GetCommentForm() override { return *save_.CommentForm; }

 private:
  SaveLink saveLink_{*this};
  SaveData save_{saveLink_, platform_, errors_, GameDir};

 public:
  // ---- Archives ----
  Archives archives_{platform_, errors_, GameDir};
  Archives& Archive() { return archives_; }

  // ---- Graphics ----
  GraphicsLink graphicsLink_{*this};
  Graphics graphics_{graphicsLink_, platform_, errors_, *save_.Block};
  Graphics& Pictures() { return graphics_; }

  // ---- Sound ----
 private:
  SoundLink soundLink_{*this};
  SoundSystem sound_;  // made in the constructor, which holds the platform and the launch options

 public:
  SoundSystem& Audio() { return sound_; }

  // ---- Text and interaction ----
  // The fonts every screen draws text with, and the message window with the player's input and play modes.
  CanvasText& Canvas() { return canvas_; }
  MessageWindow& Text() { return text_; }
  // The main window's handlers of the message window.
  void FormMouseDown(MouseButton button, Point client) override {
    automation_.PlayerMouseDown(button, client);
    text_.FormMouseDown(button, client);
  }
  void FormMouseWheelUp() override {
    automation_.PlayerWheel(true);
    text_.FormMouseWheelUp();
  }
  void FormMouseWheelDown() override {
    automation_.PlayerWheel(false);
    text_.FormMouseWheelDown();
  }
  void PopupMenu1Popup() override { text_.PopupMenu1Popup(); }
  void SaveLoadMouseDown(MouseButton button, Point client) override;
  bool FloatMouseDown(MouseButton button, Point client) override;
  // Finds the Japanese faces (start-up). False, with the message already shown, when none is installed.
  bool CreateFonts() { return canvas_.CreateFonts(platform_); }
  // Opens the readers the command line asks for (before start-up); false, with the reason, when the text
  // hook cannot be opened.
  // --speak, or in a window the player's "読み上げ" (headless runs read aloud only when asked to).
  bool OpenTextReaders(std::string& error) {
    return text_.OpenTextReaders(options_.textHook, options_.speak || (!platform_.Headless() && ReadSpeechSetting()),
                                 error);
  }

  CanvasText canvas_;
  MessageLink textLink_{*this};
  MessageWindow text_{textLink_, platform_, errors_, *save_.Block, canvas_};

  // ---- Script ----
  ScriptLink scriptLink_{*this};
  ScriptMachine script_{scriptLink_, errors_, *save_.Block};
  ScriptMachine& Script() { return script_; }

  // ---- Movie ----
 private:
  MovieLink movieLink_{*this};
  OpeningMovie movie_{movieLink_, platform_, errors_, GameDir};

 public:
  OpeningMovie& Movie() { return movie_; }

  // ---- Menus ----
  // The title menu (with what the album shares with it) and the album's screens; the main loop's dispatch
  // calls their steps.
  TitleMenu& Title() { return title_; }
  AlbumScreens& Albums() { return album_; }

 private:
  MenuLink menuLink_{*this};
  AlbumLink albumLink_{*this};
  TitleMenu title_{menuLink_, *save_.Block, platform_, errors_};
  AlbumScreens album_{albumLink_, *save_.Block};

 public:
  // ---- Dialogs ----
  // The popup menu's settings item and the events file's verbs on the modal forms (the forms themselves
  // are above; their hosts are the dialog links).
  EngineDialogs& Dialogs() { return dialogs_; }

 private:
  DialogLinks dialogLinks_{*this};
  EngineDialogs dialogs_{dialogLinks_};

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
  FrameRecorder mainRecorder_{graphics_.FrameSurface};
  FrameRecorder floatRecorder_{graphics_.FloatSurface};
  LaunchOptions options_;
  Automation automation_{*this, platform_, options_};
  CloseState close_;
  LoopClock loop_;
  ModalForms modals_;
  void EndModal(FormId form, int& modalResult, const std::function<void(int)>& then);
  void ServeOpenModals();
};

}  // namespace mokuren
