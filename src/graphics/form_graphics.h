// Members of TForm1 for graphics: surfaces, image loading, composition, transitions and on-screen
// buttons. Included inside TForm1's class body.

TABitmap NextSurface{kFrameWidth, kFrameHeight};
TABitmap DisplaySurface{kFrameWidth, kFrameHeight};
std::array<TABitmap, 93> SurfaceTable;

// The save/load window's picture boxes that placements 201-203 draw into. Their owner points these at
// them when the window is created; while null, such images are decoded and discarded.
TABitmap* SaveLoadImage2 = nullptr;  // the parts sheet (placement 203)
TABitmap* SaveLoadImage3 = nullptr;  // the page background (placements 201, 202)

// Creates the named surfaces and the SurfaceTable slots with their creation sizes.
void CreateSurfaces();
// Loads the standard system pictures (system_pictures.h). At engine start it also fills the floating
// window's background (slot 7) and the button pictures; play restarting from the title or a scene replay
// passes false. Returns the entries that did not load (empty, unreadable or not a usable PNG).
std::vector<int32_t> LoadSystemPictures(bool engineStart = true);
// Decodes image `entry` of SYSGRP.DAT (fromSystem) or GRAPHIC.DAT and puts it where `placement` says.
// False when there was nothing to load: the entry is empty, unreadable or not a usable PNG.
bool Kumo_ReadGraphic(int32_t placement, int32_t entry, bool fromSystem);
// Composes background (slot 0) and layers 5..1 into NextSurface.
void Kumo_CreateNextImage();
// Starts a cross-fade to the scene in slots 0-5: composes NextSurface, records the start tick and sets
// TaskCode to `taskCode` (task::Effect01: scenario, 1000 ms; task::Effect91: menus and restore, 500 ms,
// ending in `resumeTaskCode`).
void StartTransition(int32_t durationMs, int32_t taskCode, int32_t resumeTaskCode = 0);
void Kumo_DispEffect_01();
void Kumo_DispEffect_91();
// Transition state, shared by both effect tasks.
uint32_t TransitionStart = 0;
int32_t TransitionDuration = 0;
int32_t TransitionEnd = 0;

// The row of ten on-screen buttons along the message window; both work only while a message waits.
void Kumo_CheckButton();
void Kumo_DrawButton();
// Switches the on-screen buttons on (start-up; nothing switches them off).
void EnableButtons();
uint8_t ButtonsEnabled = 0;
// The voice path of the message-log entry on screen while the log is browsed (empty: none). Set by the
// message log; while unset, the voice button counts the viewed entry as having no voice.
std::function<std::u16string()> ViewedLogVoicePath;
void SetButtonStates(const std::array<int32_t, button::Count>& states);
// Per button 1..10 (index k - 1): -1 hidden, 0 normal, 1 hover, 2 on, 3 on and hover, 4 disabled; the
// button's function is active; a click is waiting to be handled.
std::array<int32_t, button::Count> ButtonState{};
std::array<uint8_t, button::Count> ButtonOn{};
std::array<uint8_t, button::Count> ButtonLatch{};
// Blends the message window frame (slot 6) onto FrameSurface at the message window's top left (frame step, after a message).
void DrawMessageFrame();

// Writes FrameSurface (float = false) or FloatSurface as a PNG file; false with an error reported.
bool SaveScreenshot(const std::string& file, bool floatWindow);
