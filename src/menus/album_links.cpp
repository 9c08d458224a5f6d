// The engine's side of the album: the links it gives the album screens, the scene replay they start,
// and TForm1's album methods, which forward to them.
#include "app/TForm1.h"
#include "menus/album_screens.h"

namespace mokuren {

void TForm1::AlbumDeleter::operator()(AlbumScreens* p) const { delete p; }

std::unique_ptr<AlbumScreens, TForm1::AlbumDeleter> TForm1::MakeAlbumScreens() {
  AlbumLinks links{
      TaskCode,
      ClickPending,
      MousePos,
      AlbumBgmNo,
      Block->Live.BgmVariant,
      CgSeenFlags,
      SystemVars,
      SurfaceTable[0],
      SurfaceTable[92],
      DisplaySurface,
      FrameSurface,
      [this](int32_t background, int32_t sheet) { LoadMenuScreen(background, sheet); },
      [this](int32_t entry) {
        // A picture the archive lacks shows black, not the gallery page still in the background slot.
        SurfaceTable[0].FillRGB(0, 0, 0);
        Kumo_ReadGraphic(0, entry, false);
      },
      [this](int32_t resumeTaskCode) { StartMenuFade(resumeTaskCode); },
      [this](TABitmap& target, int32_t x, int32_t y, const std::u16string& text, int32_t height, uint8_t red,
             uint8_t green, uint8_t blue) { CanvasTextOut(target, x, y, text, height, red, green, blue); },
      [this](int32_t no, int fadeSeconds, int variant, int loop) { Kumo_PlayBGM(no, fadeSeconds, variant, loop); },
      [this] { return TrackPlaying(); },
      [this](int32_t scene) { return AddSceneTbl(scene); },
      [this](int32_t scene) { return GetSceneTbl(scene); },
      [this] { SceneTableRaw.fill(0); },
      [this] { StartSceneReplay(); },
      [this] { StartAlbumMovie(); },
  };
  return std::unique_ptr<AlbumScreens, AlbumDeleter>(new AlbumScreens(std::move(links)));
}

void TForm1::StartSceneReplay() {
  SceneTableCursor = 1;
  Kumo_ReadScript(SceneTableRaw[0]);
  StepNo = -1;
  BeginPlay(0);
  TaskCode = task::Script;
}

void TForm1::FillAlbumTables() { Album->FillAlbumTables(); }
void TForm1::Kumo_DispAlbumMenu() { Album->Kumo_DispAlbumMenu(); }
void TForm1::Kumo_WaitAlbumMenu() { Album->Kumo_WaitAlbumMenu(); }
void TForm1::Kumo_DrawAlbumMenu() { Album->Kumo_DrawAlbumMenu(); }
void TForm1::Kumo_DispBgmMenu() { Album->Kumo_DispBgmMenu(); }
void TForm1::Kumo_WaitBgmMenu() { Album->Kumo_WaitBgmMenu(); }
void TForm1::Kumo_DrawBgmMenu() { Album->Kumo_DrawBgmMenu(); }
void TForm1::Kumo_DispCgMenu() { Album->Kumo_DispCgMenu(); }
void TForm1::Kumo_WaitCgMenu() { Album->Kumo_WaitCgMenu(); }
void TForm1::Kumo_DrawCgMenu() { Album->Kumo_DrawCgMenu(); }
void TForm1::Kumo_DispCg() { Album->Kumo_DispCg(); }
void TForm1::Kumo_WaitCg() { Album->Kumo_WaitCg(); }
void TForm1::Kumo_DispEvMenu() { Album->Kumo_DispEvMenu(); }
void TForm1::Kumo_WaitEvMenu() { Album->Kumo_WaitEvMenu(); }
void TForm1::Kumo_DrawEvMenu() { Album->Kumo_DrawEvMenu(); }

}  // namespace mokuren
