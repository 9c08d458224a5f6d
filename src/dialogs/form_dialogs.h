// Members of TForm1 for the dialogs and the debug window. Included inside TForm1's class body.

// Refreshes the debug window's status lines when that window is visible.
void Kumo_Debug();
// The events file's "debug BUTTON FILE": writes what the debug-window button shows (debug_dump.h).
void DebugDumpEvent(const Event& e);
void menuConfigClick();
// Answers a modal dialog other than the confirmation (the events file's "dialog" verb).
void AnswerOtherDialog(FormId form, bool ok);
// The texts of a modal form other than the confirmation (the events file's "dialog-text" verb).
std::vector<std::u16string> OtherFormTexts(FormId form);
