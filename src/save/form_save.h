// Members of TForm1 for save data. Included inside TForm1's class body.

bool Kumo_CheckSaveFile();
void Kumo_CreateSaveFile();
void Kumo_ReadSaveFile();
void Kumo_RestoreGame();
// Creates the THUMB folder beside SAVE.DAT (an existing one is kept, a failure ignored).
void CreateThumbFolder();
void menuSaveClick();
void menuLoadClick();
