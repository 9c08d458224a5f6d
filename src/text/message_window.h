// MessageWindow: text and interaction. It owns the message on screen and its typing, the choices, the
// message log and its browsing, the notice line, the hero's name, the player's input of each pass with the
// play modes it drives, and the readers (text hook, speech) that are handed what the player is shown. It
// reaches the rest of the engine through its MessageHost; the settings it reads are references into the
// save block.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/error_list.h"
#include "base/geometry.h"
#include "base/keyboard_focus.h"
#include "base/play_state.h"
#include "base/save_block.h"
#include "base/text_template.h"
#include "platform/platform.h"
#include "text/canvas_text.h"
#include "text/message_host.h"
#include "text/message_log.h"
#include "text/text_renderer.h"

namespace mokuren {

class GameTranslation;
class TABitmap;
class TextHook;
class Speech;

class MessageWindow {
 public:
  MessageWindow(MessageHost& host, Platform& platform, ErrorList& errors, SaveBlock& block, CanvasText& canvas);
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  // ---- Input --------------------------------------------------------------------------------------------
  // Input flags of this pass, and the latches the window handlers set.
  PassInput Input;
  uint8_t& KeyEnter = Input.KeyEnter;
  uint8_t& KeyCtrl = Input.KeyCtrl;
  uint8_t& KeySpace = Input.KeySpace;
  uint8_t& KeyLogBack = Input.KeyLogBack;
  uint8_t& KeyLogForward = Input.KeyLogForward;
  uint8_t& ClickPending = Input.ClickPending;
  Point& MousePos = Input.MousePos;
  Point& FloatMousePos = Input.FloatMousePos;
  uint8_t LeftDown = 0, RightDown = 0, WheelUp = 0, WheelDown = 0;
  // Ticks of the 10 ms timer until held keys are sampled again (kKeyLockPasses after a key acted).
  int32_t KeyLock = 0;

  // ---- Play modes ---------------------------------------------------------------------------------------
  PlayModes Modes;
  uint8_t& ReadSkip = Modes.ReadSkip;
  uint8_t& SceneSkip = Modes.SceneSkip;
  uint8_t& FastForward = Modes.FastForward;
  uint8_t& AutoMode = Modes.AutoMode;
  uint8_t& SectionSkip = Modes.SectionSkip;
  uint8_t& SectionSkipRequest = Modes.SectionSkipRequest;

  // ---- Settings and permissions kept in the save block ---------------------------------------------------
  int32_t& MessageSpeed;       // 1 fast (the whole text at once), 2 normal, 3 slow
  int32_t& AutoDelay;          // seconds auto mode waits after the voice
  uint8_t& SkipAllowed;        // the script allows the skip modes
  uint8_t& SystemMenuAllowed;  // the script allows the popup menu
  uint16_t (&StoredHeroName)[16];

  // ---- Message state ------------------------------------------------------------------------------------
  std::array<std::u16string, 4> MessageLines;  // 0: speaker name; 1-3: the text lines on screen
  int32_t RevealCount = 0;                     // characters of lines 1-3 typed so far; 255 = everything
  uint32_t WaitingSince = 0;                   // the tick the message on screen began to wait (its icon's clock)
  int32_t CurrentMessage = 0;                  // index into the script's message texts
  int32_t CurrentVoice = -1;                   // index into the script's voice names, -1 = no voice
  uint8_t VoiceRepeat = 0;
  uint8_t LoopingVoice = 0;  // a repeating voice keeps playing across voiceless messages
  uint8_t MessageDone = 0;
  uint8_t WindowShown = 0;
  uint8_t LogView = 0;  // browsing the message log: text drawn grey
  int32_t AutoElapsed = 0;
  // Choice state.
  std::array<std::u16string, 9> ChoiceTexts;
  int32_t ChoiceCount = 0;
  int32_t ChoiceHover = 0;
  uint8_t ChoiceActive = 0;
  // The name "①" stands for in messages (from the save block at start-up, or the name dialog).
  std::u16string HeroName;
  // Characters that may not begin a line, and characters that may not end one (the second start-up stage).
  std::u16string LineStartForbidden;
  std::u16string LineEndForbidden;
  // The notice line at the bottom of the frame, and the 10 ms ticks it stays.
  std::u16string NoticeText;
  int32_t NoticeTimer = 0;

  // The script's message and choice steps. NoteMessage: message `message` of the script's texts is the
  // entry on screen, with voice `voice` (-1: none), a repeating voice looping across voiceless messages.
  void NoteMessage(int32_t message, int32_t voice, bool repeatVoice);
  // The same for a choice text, whose voice never repeats.
  void NoteChoice(int32_t message, int32_t voice);
  // The window opens on a message, typed from its first character.
  void OpenMessageWindow();
  // The window gives way to the choices, which are drawn at once.
  void ShowChoices();

  // Lays out and renders one message into MessageLines and the text and shadow layers. Returns the end of
  // the text that does not fit in the window's three lines (empty when it all fits, and for a translation,
  // which its own check measures).
  std::u16string Kumo_MakeMessage(const std::u16string& text);
  // Splits and renders the choices of one choice text into the choice layers.
  void Kumo_MakeSelect(const std::u16string& text);
  // Adds a passed message (voice index or -1) or a taken choice to the message log.
  void Kumo_AddMsgLog(const std::u16string& text, int voice);
  // Entry n of the script's message texts, empty when the script has no such entry.
  std::u16string MessageText(int32_t n);

  void Kumo_CheckKeyPush();
  void Kumo_ClearKey();
  void Kumo_ClearMouseButton();
  void Kumo_DrawMessage();
  void Kumo_WaitMessage();
  void Kumo_WaitSelect();
  // The moments a player's click or key is taken at once: the message typed whole in a shown window,
  // the log not browsed and no held key's lock running; a choice on screen waiting for a line.
  bool MessageTakesClick() const;
  bool ChoiceTakesClick() const;
  void Kumo_DrawSelect();

  // ---- Message log --------------------------------------------------------------------------------------
  MessageLog MsgLog;
  int32_t LogIndex = 0;  // the entry on screen while LogView is 1; 0 outside the log
  void Kumo_ClearMsgLog();
  // Log browsing inside the message wait: Enter or a click while the log is on screen, and the log keys.
  void LeaveMsgLogView();
  void BrowseMsgLog();
  // Puts log entry LogIndex on screen, grey, typed again with its voice.
  void ShowMsgLogEntry();
  // Draws NoticeText on `target` (the frame step, and at once when scene skip starts).
  void DrawNotice(TABitmap& target);

  // ---- The main window's handlers, forwarded to the message window ----------------------------------------
  void FormMouseDown(MouseButton button, Point client);
  void FormMouseWheelUp();
  void FormMouseWheelDown();
  void PopupMenu1Popup();
  void menuKSkipClick();
  void menuSSkipClick();
  void menuAutoClick();
  void menuWindowClick();
  void menuFloatClick();
  // A press latched for the next pass, without the main window's other effects (the floating window's).
  void LatchMouseDown(MouseButton button);
  // The popup menu at `client` of `window` (the main or the floating window), where the script allows it.
  void OpenPopupMenu(WindowId window, Point client);

  // ---- Name entry ---------------------------------------------------------------------------------------
  // Opens the hero-name dialog (the script's name-entry instruction); its OK sets TaskCode back to 0.
  void ShowNameForm();
  // `name` becomes the hero's name, and is kept in the save block.
  void SetHeroName(const std::u16string& name);

  // ---- Translation --------------------------------------------------------------------------------------
  // The language the game is played in (game_translation.h), loaded at start-up; inactive when the game is
  // played in its original language. Messages, choices, the readers and the notices go through it.
  GameTranslation& Translation() { return *translation_; }
  // An engine text (engine_texts.h) as the player's language shows it ("{file}" and "{dir}" are filled in
  // afterwards).
  std::u16string EngineText(std::u16string_view text) const;

  // ---- Readers: the text hook and speech ----------------------------------------------------------------
  // Opens the text hook at `textHook` unless it is empty (false, with the reason, when it cannot be) and
  // starts speech when `speak` asks for it, which only reports when speech-dispatcher is missing.
  bool OpenTextReaders(const std::string& textHook, bool speak, std::string& error);
  // Speech on or off while the game runs (the settings dialog's "読み上げ"); turned on without
  // speech-dispatcher it says so in the error list and stays off.
  void SetSpeaking(bool on);
  bool Speaking() const { return speaker_ != nullptr; }
  // A message the script shows, as its source text: to the text hook, and read aloud when it has no voice.
  void AnnounceMessage(const std::u16string& source);
  // The choices on screen (ChoiceTexts): one line each to the text hook, all of them read aloud at once.
  void AnnounceChoices();
  // The player's focus moved (an item chosen by key or pointer, a control of a dialog): read aloud when
  // speech is on, cutting short what was being read. `text` is an engine text whose blanks `fields` fill
  // in; SpeakShown takes a text as the player sees it.
  void SpeakFocus(std::u16string_view text, std::initializer_list<TextField> fields = {});
  void SpeakShown(const std::u16string& text);

 private:
  // Message drawing steps (Kumo_DrawMessage).
  void DrawMessageTyping();
  void DrawMessageWaiting();
  // Types one more character of the message on screen; false while characters are left, true once all of
  // them are shown (the caller then draws the whole text).
  bool DrawTypedPart();
  // The number of characters of lines 1-3.
  int32_t TypedLength() const;
  // Draws rows [top, top + rows) of the shadow and text layers, each clipped to its width, on the frame
  // (at y + kMessageWindowTop, unless the floating window is up) and on the floating window's picture.
  void DrawMessageBand(int32_t top, int32_t shadowRows, int32_t textRows, int32_t shadowWidth, int32_t textWidth);
  void DrawWaitingIcon();
  // The message is typed whole and waits for the player from now: the waiting icon's clock starts.
  void StartWaiting();
  // A line to the text hook; the first failed write is reported.
  void Hook(const std::u16string& line);
  // A line read aloud; speech that cannot be reached is reported and stopped.
  void Speak(const std::u16string& line);

  MessageHost& host_;
  Platform& platform_;
  ErrorList& errors_;
  CanvasText& canvas_;
  const std::unique_ptr<GameTranslation> translation_;
  // The mask from which the text and shadow layers are built.
  CoverageMask textCoverage_;
  // Opened from the command line (--text-hook, --speak) before start-up; empty when not asked for.
  std::unique_ptr<TextHook> textHook_;
  std::unique_ptr<Speech> speaker_;
  bool textHookFailed_ = false;  // a failed write was reported; later ones are not
  KeyboardFocus choiceFocus_;    // the choice's line the keys or the moved pointer chose
};

}  // namespace mokuren
