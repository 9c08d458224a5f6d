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

#include "app/engine_state.h"
#include "app/event_script.h"
#include "app/game_title.h"
#include "app/launch_options.h"
#include "app/movie_link.h"
#include "app/sound_link.h"
#include "archive/archive_index.h"
#include "base/error_list.h"
#include "graphics/ABitmap.h"
#include "graphics/frame_recorder.h"
#include "movie/opening_movie.h"
#include "platform/platform.h"
#include "platform/window_host.h"
#include "save/save_screen_host.h"
#include "script/ScriptInstruction.h"
#include "script/script_image.h"
#include "script/script_registers.h"
#include "sound/sound_system.h"
#include "text/message_log.h"

namespace mokuren {

class TQueryForm;
class TForm7;
class TCommentForm;
class TMsgForm;
class TNameForm;
class TConfigForm;
class TDebugForm;
class AlbumScreens;

class TForm1 final : public EngineState, public WindowHost, public SaveScreenHost, private ErrorList::Observer {
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

  // ---- Automation ------------------------------------------------------------------------------------
  // Reads the events file named on the command line; false with a message naming the bad line.
  bool LoadEvents(std::string& error);
  void ApplyEvent(const Event& event);
  // Events of the subsystems' verbs (saving, dialogs, debugging, screenshots).
  void ApplySubsystemEvent(const Event& event);
  // "events line N: " + what, in the error list.
  void ReportEvent(const Event& event, const std::u16string& what);
  void MenuClick(MenuItem item) override;
  std::vector<Point> PointerStops() override;
  // The events file's dialog-text verb: the texts of the modal window in front, UTF-8, one a line (an
  // empty file when none is up).
  void WriteDialogTexts(const std::string& file);
  // A modal form's texts as its view shows them: caption first, then every label and the text box.
  std::vector<std::u16string> FormTexts(FormId form);
  uint32_t ElapsedMs();  // since the main loop started
  void TraceTaskCode();
  int64_t PassCount() const { return passCount_; }
  int64_t FrameCount() const { return frameCount_; }
  // A line for the debug window's error list, also written to standard error.
  void ReportError(const std::u16string& line) { errors_.Add(line); }
  const ErrorList& Errors() const { return errors_; }

  // A file named in the events file: relative names are taken from the directory the program was started
  // in, not the game directory the engine works in.
  std::string AutomationFile(const std::string& name) const;

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
 private:
  SoundLink soundLink_{*this};
  SoundSystem sound_;  // made in the constructor, which holds the platform and the launch options

 public:
  SoundSystem& Audio() { return sound_; }

  // Transition: the names other subsystems still use; they go once every subsystem has its object.
  int32_t& VoiceVolume = sound_.VoiceVolume;
  int32_t& BgmVolume = sound_.BgmVolume;
  int32_t& SeVolume = sound_.SeVolume;
  const std::unique_ptr<SoundObjects>& Sound = sound_.Objects();
  void CreateSound() { sound_.CreateSound(); }
  void ReleaseSound() { sound_.ReleaseSound(); }
  void PumpSound() { sound_.PumpSound(); }
  void ApplyVolumes() { sound_.ApplyVolumes(); }
  int SlotStatus(int slot) { return sound_.SlotStatus(slot); }
  void StopSlot(int slot) { sound_.StopSlot(slot); }
  void SweepFinishedEffects() { sound_.SweepFinishedEffects(); }
  void Kumo_PlayBGM(int no, int fadeSeconds, int variant, int loop) {
    sound_.Kumo_PlayBGM(no, fadeSeconds, variant, loop);
  }
  void Kumo_PlaySE(int position, int no, int loop, int fadeSeconds) {
    sound_.Kumo_PlaySE(position, no, loop, fadeSeconds);
  }
  void Kumo_PlayVOICE(const std::u16string& path, int repeat) { sound_.Kumo_PlayVOICE(path, repeat); }
  int32_t TrackPlaying() { return sound_.TrackPlaying(); }
  bool MovieSoundPlaying() { return sound_.MovieSoundPlaying(); }

  // ---- Text and interaction ----
#include "text/form_text.h"

  // ---- Script ----
#include "script/form_script.h"

  // ---- Movie ----
 private:
  MovieLink movieLink_{*this};
  OpeningMovie movie_;  // made in the constructor, which holds the platform

 public:
  OpeningMovie& Movie() { return movie_; }

  // Transition: the names other subsystems still use; they go once every subsystem has its object.
  void Kuri_TheoraInit() { movie_.Kuri_TheoraInit(); }
  void Kuri_TheoraFree() { movie_.Kuri_TheoraFree(); }
  bool MoviePlaying() const { return movie_.MoviePlaying(); }
  void MovieFrameStep() { movie_.MovieFrameStep(); }
  void DrawMovieFrame(TABitmap& target) { movie_.DrawMovieFrame(target); }
  void Kumo_WaitMovie() { movie_.Kumo_WaitMovie(); }
  void Kumo_WaitMovieAlbum() { movie_.Kumo_WaitMovieAlbum(); }
  void StartOpeningMovie() { movie_.StartOpeningMovie(); }
  void StartAlbumMovie() { movie_.StartAlbumMovie(); }

  // ---- Save and load ----
#include "save/form_save.h"

  // ---- Menus ----
#include "menus/form_menus.h"

  // ---- Dialogs ----
#include "dialogs/form_dialogs.h"

  // ---- End of the subsystems ----

 private:
  void ApplyDueEvents();
  // `extraRest`: milliseconds the loop chose to rest beyond a pass's 10, whose timer ticks come now.
  void FireDelayTimer(uint32_t extraRest);
  // The tick of the next frame when nothing can happen before it unless input comes; nothing otherwise.
  std::optional<uint32_t> QuietUntil();
  void EnableMenuItems();
  void ComposeFrame();

  // Each composed frame is drawn again only where it differs from the last one.
  void ErrorListChanged() override;

  FrameRecorder mainRecorder_{FrameSurface};
  FrameRecorder floatRecorder_{FloatSurface};
  Platform& platform_;
  LaunchOptions options_;
  std::filesystem::path launchDir_ = [] {
    std::error_code ec;  // the directory may be gone; then names stay as given
    return std::filesystem::current_path(ec);
  }();
  EventScript events_;
  bool terminated_ = false;
  bool closing_ = false;
  int64_t passCount_ = 0;
  int64_t frameCount_ = 0;
  uint32_t loopStartTick_ = 0;
  bool loopStarted_ = false;
  uint32_t lastTimerTick_ = 0;
  int32_t tracedTaskCode_ = 0;
  bool traced_ = false;
  std::vector<FormId> modalStack_;
  std::vector<Event> keysToRelease_;  // keyup events of this pass's "key" events
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, FileCloser> traceFile_;
};

}  // namespace mokuren
