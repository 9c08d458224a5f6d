// Members of TForm1 for text and interaction: messages, choices, the log, input and play modes.
// Included inside TForm1's class body.

// ---- Fonts --------------------------------------------------------------------------------------------
// The rasteriser with its faces and glyph caches (created by CreateFonts at start-up).
std::shared_ptr<class TextRenderer> Fonts;
// Finds the Japanese faces. False, with the message already shown, when none is installed.
bool CreateFonts();
// Text on a canvas in "ＭＳ ゴシック" with a transparent brush, as the engine's screens draw it: through
// the Japanese code page, so a character Shift-JIS cannot hold shows as "?". (x, y) is the cell's top left.
void CanvasTextOut(TABitmap& target, int32_t x, int32_t y, const std::u16string& text, int32_t height, uint8_t red,
                   uint8_t green, uint8_t blue, bool bold = false);

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
int32_t KeyLock = 0;

// ---- Message state ------------------------------------------------------------------------------------
std::array<std::u16string, 4> MessageLines;  // 0: speaker name; 1-3: the text lines on screen
int32_t RevealCount = 0;                     // characters of lines 1-3 typed so far; 255 = everything
int32_t CurrentMessage = 0;                  // index into MessageTexts
int32_t CurrentVoice = -1;                   // index into ResourceNameArray, -1 = no voice
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

// Lays out and renders one message into MessageLines and the text and shadow layers (slots 58, 59).
void Kumo_MakeMessage(const std::u16string& text);
// Splits and renders the choices of one choice text into slots 73-90.
void Kumo_MakeSelect(const std::u16string& text);
// Adds a passed message (voice index or -1) or a taken choice to the message log.
void Kumo_AddMsgLog(const std::u16string& text, int voice);
// Entry n of MessageTexts, empty when the script has no such entry.
std::u16string MessageText(int32_t n) const;

void Kumo_CheckKeyPush();
void Kumo_ClearKey();
void Kumo_ClearMouseButton();
void Kumo_DrawMessage();
void Kumo_WaitMessage();
void Kumo_WaitSelect();
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
// Draws NoticeText on FrameSurface (the frame step, and at once when scene skip starts).
void DrawNotice(TABitmap& target);

// Main window handlers.
void FormMouseDown(MouseButton button, Point client) override;
void FormMouseWheelUp() override;
void FormMouseWheelDown() override;
void PopupMenu1Popup() override;
void menuKSkipClick();
void menuSSkipClick();
void menuAutoClick();
void menuWindowClick();
void menuFloatClick();

// Message drawing steps (Kumo_DrawMessage).
void DrawMessageTyping();
void DrawMessageWaiting();
// Types one more character of the message on screen; false while characters are left, true once all of
// them are shown (the caller then draws the whole text).
bool DrawTypedPart();
// The number of characters of lines 1-3.
int32_t TypedLength() const;
// Draws rows [top, top + rows) of the shadow and text layers, each clipped to its width, on FrameSurface
// (at y + kMessageWindowTop, unless the floating window is up) and on FloatSurface.
void DrawMessageBand(int32_t top, int32_t shadowRows, int32_t textRows, int32_t shadowWidth, int32_t textWidth);
void DrawWaitingIcon();
// Draws lines in white, through the Japanese code page, into TextCoverage (made width x height, no ink
// before): the mask from which the text and shadow layers are built.
void DrawTextCoverage(int32_t width, int32_t height, const std::u16string* lines, const int32_t* xs, const int32_t* ys,
                      int count, int32_t fontHeight);
std::shared_ptr<struct CoverageMask> TextCoverage;

// ---- Translation --------------------------------------------------------------------------------------
// The language the game is played in (game_translation.h); made by StartTranslation, inactive when the
// game is played in its original language.
std::unique_ptr<class GameTranslation> Translation;
// Chooses the language (--lang, or the player's), loads its translation, and translates Caption.
void StartTranslation();
// An engine text as the player's language shows it ("{file}" and "{dir}" are filled in afterwards).
std::u16string EngineText(std::u16string_view text) const;

// ---- Name entry ---------------------------------------------------------------------------------------
// Opens the hero-name dialog (the script's name-entry instruction); its OK sets TaskCode back to 0.
void ShowNameForm();

// ---- Readers: the text hook and speech ----------------------------------------------------------------
// Opened from the command line (--text-hook, --speak) before start-up; empty when not asked for.
std::unique_ptr<class TextHook> TextHookOut;
std::unique_ptr<class Speech> Speaker;
bool TextHookFailed = false;  // a failed write was reported; later ones are not
// Opens the text hook (false, with the reason, when it cannot be) and starts speech, which only reports
// when speech-dispatcher is missing.
bool OpenTextReaders(std::string& error);
// A message the script shows, as its source text: to the text hook, and read aloud when it has no voice.
void AnnounceMessage(const std::u16string& source);
// The choices on screen (ChoiceTexts): one line each to the text hook, all of them read aloud at once.
void AnnounceChoices();
