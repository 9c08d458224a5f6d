// Members of TForm1 for the title menu and the album screens. Included inside TForm1's class body.

// The item under the pointer on the title and album menus, 0 = none; recomputed on every pass.
int32_t MenuHover = 0;

void Kumo_DispTitleMenu();
void Kumo_WaitTitleMenu();
void Kumo_DrawTitleMenu();
// The title menu's start item: play (re)starts after the script's title command.
void TitleStartGame();
// Is the opening-movie switch on (the scripts then skip the opening movie)?
bool MovieSwitchOn();
// Fades to the screen just composed in NextSurface over 500 ms, then TaskCode = resumeTaskCode.
void StartMenuFade(int32_t resumeTaskCode);
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
