// Members of TForm1 for the title menu and the album screens. Included inside TForm1's class body.

// The item under the pointer on the title menu, 0 = none; recomputed on every pass.
int32_t MenuHover = 0;

void Kumo_DispTitleMenu();
void Kumo_WaitTitleMenu();
void Kumo_DrawTitleMenu();
// The title menu's start item: play (re)starts after the script's title command.
void TitleStartGame();
// Is the opening-movie switch on (the scripts then skip the opening movie)?
bool MovieSwitchOn();
// Loads a menu screen's system pictures: `background` as the scene's background with no character
// layers, `sheet` as the current sheet. The screen is the main window's alone, with the pointer shown
// and the popup menu shut, whatever the scene played before it left them as.
void LoadMenuScreen(int32_t background, int32_t sheet);
// Fades to the screen just composed in NextSurface over 500 ms, then TaskCode = resumeTaskCode.
void StartMenuFade(int32_t resumeTaskCode);
// What a new game and a scene replay share when play starts from a menu: the standard system pictures,
// no music, the floating window back if its item is checked, empty return table, scenario flags and
// message log, no skip or auto mode. NormalPlay is 1 for a game and 0 for a replay.
void BeginPlay(uint8_t normalPlay);
// Plays the scenes of the replay list from its first; the end of each scene's script runs the next.
void StartSceneReplay();

// The album (src/menus/album_screens.h); the methods below forward to it.
struct AlbumDeleter {
  void operator()(AlbumScreens* p) const;
};
// Made in the engine's constructor, once every member it refers to exists.
std::unique_ptr<AlbumScreens, AlbumDeleter> Album;
std::unique_ptr<AlbumScreens, AlbumDeleter> MakeAlbumScreens();
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
// Script 1 runs its title command next (or runs from its start when it has none).
void ReturnToTitle();
// A TaskCode that no task answers to (a damaged save or script) is reported and the game goes back to
// the title, instead of sitting still.
void LeaveUnknownTask();
