// Members of TForm1 for graphics: surfaces, transitions and on-screen buttons. Included inside TForm1.

TABitmap NextSurface{800, 600};
TABitmap DisplaySurface{800, 600};
std::array<TABitmap, 93> SurfaceTable;

// Creates the named surfaces and the SurfaceTable slots with their creation sizes.
void CreateSurfaces();
// Loads the standard system pictures and the floating window's background (start-up, second stage).
void LoadSystemPictures();
void Kumo_DispEffect_01();
void Kumo_DispEffect_91();
void Kumo_CheckButton();
void Kumo_DrawButton();
// Enables the on-screen buttons (start-up) and sets the ten button states.
void EnableButtons();
void SetButtonStates(const std::array<int32_t, 10>& states);
std::array<int32_t, 10> ButtonState{};
// Blends the message window frame (slot 6) onto FrameSurface at (0, 416) (frame step, after a message).
void DrawMessageFrame();
