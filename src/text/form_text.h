// Members of TForm1 for text and interaction: messages, choices, the log, input and play modes.
// Included inside TForm1's class body.

// Input flags of this pass, and the latches the window handlers set.
uint8_t KeyEnter = 0, KeyCtrl = 0, KeySpace = 0, KeyLogBack = 0, KeyLogForward = 0, ClickPending = 0;
uint8_t LeftDown = 0, RightDown = 0, WheelUp = 0, WheelDown = 0;
int32_t KeyLock = 0;
Point MousePos;       // client coordinates of the main window, refreshed every pass
Point FloatMousePos;  // client coordinates of the floating window
// Message state.
uint8_t MessageDone = 0;
uint8_t WindowShown = 0;
int32_t AutoElapsed = 0;

void Kumo_CheckKeyPush();
void Kumo_ClearKey();
void Kumo_ClearMouseButton();
void Kumo_DrawMessage();
void Kumo_WaitMessage();
void Kumo_WaitSelect();
void Kumo_DrawSelect();
void Kumo_ClearMsgLog();
// Draws NoticeText on FrameSurface (the frame step, and at once when scene skip starts).
void DrawNotice(TABitmap& target);

// Main window handlers.
void FormMouseDown(MouseButton button, Point client);
void FormMouseWheelUp();
void FormMouseWheelDown();
void PopupMenu1Popup();
void menuKSkipClick();
void menuSSkipClick();
void menuAutoClick();
void menuWindowClick();
void menuFloatClick();
