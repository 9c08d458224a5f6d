// Members of TForm1 for the title menu and the album screens. Included inside TForm1's class body.

void Kumo_DispTitleMenu();
void Kumo_WaitTitleMenu();
void Kumo_DrawTitleMenu();
void Kumo_DispAlbumMenu();
void Kumo_WaitAlbumMenu();
void Kumo_DrawAlbumMenu();
void Kumo_DispBgmMenu();
void Kumo_WaitBgmMenu();
void Kumo_DrawBgmMenu();
void Kumo_DispCgMenu();
void Kumo_WaitCgMenu();
void Kumo_DrawCgMenu();
void Kumo_DispCg();
void Kumo_WaitCg();
void Kumo_DispEvMenu();
void Kumo_WaitEvMenu();
void Kumo_DrawEvMenu();
// Fills the album tables (start-up).
void FillAlbumTables();
void menuTitleClick();
