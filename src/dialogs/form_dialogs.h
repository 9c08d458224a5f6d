// Members of TForm1 for the dialogs and the debug window. Included inside TForm1's class body.

// Refreshes the debug window's status lines when that window is visible.
void Kumo_Debug();
// The events file's "debug BUTTON FILE": presses the debug window's button and writes what it shows.
void DebugDumpEvent(const Event& e);
// Opens the settings dialog on the current settings.
void menuConfigClick();
// Answers a modal dialog other than the confirmation (the events file's "dialog" verb).
void AnswerOtherDialog(FormId form, bool ok);
// The texts of a modal form other than the confirmation (the events file's "dialog-text" verb).
std::vector<std::u16string> OtherFormTexts(FormId form);
// The events file's "name" and "config" verbs on the dialog's state.
void ApplyDialogEvent(const Event& e);
