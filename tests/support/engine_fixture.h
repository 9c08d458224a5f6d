// A headless engine on a temporary game directory, driven pass by pass on the virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

#include "app/TForm1.h"
#include "backends/headless/headless_platform.h"
#include "support/game_builder.h"

namespace mokuren::testing {

// A fresh empty directory under the system's temporary directory, removed at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Writes the smallest playable game into dir: a script 1 that jumps to its own first label forever without
// showing anything, no scenario pictures, and the neutral start-up pictures in SYSGRP.DAT.
void WriteMinimalGame(const std::filesystem::path& dir);

class EngineFixture : public ::testing::Test {
 protected:
  // ---- Starting --------------------------------------------------------------------------------------
  // Creates the engine on dir() with the given events text, runs FormCreate and starts the loop clock.
  // Without a SCRIPT.DAT in the directory, the minimal game is written first. A test may bring its own
  // headless platform (one that watches what the engine asks of it).
  void StartEngine(const std::string& eventsText = {}, uint32_t startTick = 0, LaunchOptions options = {},
                   std::unique_ptr<HeadlessPlatform> platform = nullptr);
  // Builds `game` into dir() with our tools and starts the engine on it (no pass is run yet).
  void StartGame(const TestGame& game, LaunchOptions options = {});
  // A game whose script 1 is `script`, in the scenario language; runs passes until the script has run
  // its first instructions.
  void StartScript(const std::string& script, LaunchOptions options = {});

  // ---- Running ---------------------------------------------------------------------------------------
  // Runs n passes of the main loop (fewer when the game ends).
  void Passes(int n);
  // Passes until `ms` of the engine's clock have gone by.
  void RunMs(uint32_t ms);
  // Passes until `done` holds, at most `limit`; false when it never did.
  bool RunUntil(const std::function<bool()>& done, int limit = 5000);
  // Passes until TaskCode is `taskCode` (as the trace would show it).
  bool RunUntilTask(int32_t taskCode, int limit = 5000);

  // ---- Acting as the player ---------------------------------------------------------------------------
  // Applies one events-file line, given without its time ("save 4"), as if it were due now: the same
  // handlers as a player's input.
  void Apply(const std::string& line);
  // A left or right click at (x, y) of the main window, and the pointer moved there.
  void Click(int x, int y);
  void RightClick(int x, int y);
  void MoveTo(int x, int y);
  // A key held for exactly one pass.
  void Tap(Key key);
  void Hold(Key key, bool down);
  void Wheel(bool up);
  // Chooses a popup-menu item as the menu does (nothing when it is disabled).
  void Menu(MenuItem item);

  // ---- What the player sees, hears or keeps ----------------------------------------------------------
  int32_t Task() const;    // TaskCode, as the trace shows it
  int32_t Script() const;  // the script running (the trace's NO)
  int32_t Step() const;    // its step (the trace's ST)
  // A script variable as the debug window's dump shows it: bank 'F', 'S' or 'W', number 1-512.
  int16_t Var(char bank, int n) const;
  const TABitmap& Frame() const;       // the main window's picture
  const TABitmap& FloatFrame() const;  // the floating window's picture
  // The error list, each line in UTF-8, and the lines holding `text`.
  std::vector<std::string> Errors() const;
  int ErrorsWith(const std::string& text) const;
  std::u16string Notice() const;  // the notice line at the frame's bottom left, empty when none
  std::string SaveDat() const;    // SAVE.DAT's bytes as they are on disk
  int64_t FrameCount() const;     // frames composed so far
  int ExitStatus() const;         // the status the program ends with once the game is closed
  uint32_t Now();                 // the engine's clock

  // ---- Main loop, pictures, sound and saves (tests24b) ------------------------------------------------
  // Whether a popup-menu item can be chosen now (as the last pass left it).
  bool MenuItemEnabled(MenuItem item) const;
  // What a saved game would restart: the music (0 none) and the effect at position 1-3 (0 none).
  int32_t MusicKept() const;
  int32_t EffectKept(int position) const;
  // Save slot n (1-100) as the save/load screen lists it.
  const SaveRecord& SavedGame(int n) const;

  // ---- Text, choices, play modes, menus and dialogs (tests24a) ----------------------------------------
  // Creates the engine on dir() over a backend the test made (Qt's) and runs its start-up as StartEngine
  // does; the driver then acts through that backend.
  void Launch(Platform& platform, LaunchOptions options = {});
  // Closes the game as a confirmed quit would (SAVE.DAT written) and ends the engine, so that a test may
  // start it again on the same game directory; the platform stays until then.
  void CloseGame();
  // Passes of the main loop run so far, and whether the game has closed.
  int64_t PassCount() const;
  bool Closed() const;
  // The message window's lines as last laid out: 0 the speaker's name, 1-3 the text.
  std::array<std::u16string, 4> MessageLines() const;
  // The script's text of the message on screen (whatever log entry is browsed).
  std::u16string MessageShown() const;
  // Characters of the message typed so far; 255 once it is shown whole.
  int Typed() const;
  bool WindowShown() const;
  // The log entry on screen while the player browses the log (1 the newest), 0 outside it.
  int LogEntry() const;
  // The choices on screen, and the line the pointer is over (1 the first, 0 none).
  std::vector<std::u16string> Choices() const;
  int ChoiceHovered() const;
  // The play modes the player's input, the menu and the script drive.
  PlayModes PlayModesNow() const;
  // The name "①" stands for.
  std::u16string HeroName() const;
  // The title menu's item under the pointer (0 none).
  int TitleHovered() const;
  // A sound stream slot's state as the mixer reports it (stream::Voice is the voice).
  int SoundSlot(int slot) const;
  // On-screen button n's look (1-based as the buttons are numbered).
  int ButtonLook(int n) const;
  // The modal form in front and its texts as its view shows them: caption first, then every label and
  // the text box.
  std::optional<FormId> FrontForm() const;
  std::vector<std::u16string> FormTexts(FormId form) const;
  // The mode the save/load screen is up in (TForm7::kSaveMode or kLoadMode), nothing while it is not up.
  std::optional<int> SaveLoadMode() const;
  // The debug window's caption and status lines, as it shows them.
  std::vector<std::u16string> DebugStatus() const;
  // How many of the album's pictures count as seen.
  int CgSeen() const;
  // What SAVE.DAT would hold if it were written now: the settings, the slots, the stored name.
  const SaveBlock& Kept() const;

  HeadlessPlatform& platform() { return *platform_; }
  const std::filesystem::path& dir() const { return dir_.path(); }

  TempDir dir_;
  std::unique_ptr<HeadlessPlatform> platform_;
  std::unique_ptr<TForm1> form_;
  Platform* driven_ = nullptr;  // the backend the engine runs on (platform_, or one a test made)
};

// Runs the real program; returns its exit status. Output goes to the given files when not empty.
int RunProgram(const std::string& args, const std::string& stdoutFile = {}, const std::string& stderrFile = {});
// The same, started in the directory `cwd` (relative files of the events then land there).
int RunProgramIn(const std::filesystem::path& cwd, const std::string& args, const std::string& stdoutFile = {},
                 const std::string& stderrFile = {});
std::string ProgramPath();
// Starts the real program with these arguments and returns at once. WaitForProgram returns its exit
// status, -1 when a signal ended it, or -2 when it was still running after `deadline` (it is then killed).
pid_t StartProgram(const std::vector<std::string>& args);
int WaitForProgram(pid_t pid, std::chrono::milliseconds deadline = std::chrono::seconds(60));
std::string ReadFile(const std::filesystem::path& p);
// Waits until `done` holds, looking every 10 ms; false when it still does not after `deadline`.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline);
void WriteFile(const std::filesystem::path& p, const std::string& bytes);

}  // namespace mokuren::testing
