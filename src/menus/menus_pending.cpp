// Menu operations not built yet.
#include "app/TForm1.h"

namespace mokuren {

void TForm1::Kumo_DispAlbumMenu() {}
void TForm1::Kumo_WaitAlbumMenu() {}
void TForm1::Kumo_DrawAlbumMenu() {}
void TForm1::Kumo_DispBgmMenu() {}
void TForm1::Kumo_WaitBgmMenu() {}
void TForm1::Kumo_DrawBgmMenu() {}
void TForm1::Kumo_DispCgMenu() {}
void TForm1::Kumo_WaitCgMenu() {}
void TForm1::Kumo_DrawCgMenu() {}
void TForm1::Kumo_DispCg() {}
void TForm1::Kumo_WaitCg() {}
void TForm1::Kumo_DispEvMenu() {}
void TForm1::Kumo_WaitEvMenu() {}
void TForm1::Kumo_DrawEvMenu() {}
void TForm1::FillAlbumTables() {}

}  // namespace mokuren
