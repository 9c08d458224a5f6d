#include "app/album_link.h"

#include "app/TForm1.h"

namespace mokuren {

int32_t AlbumLink::TaskCode() { return form_.TaskCode; }
void AlbumLink::SetTaskCode(int32_t taskCode) { form_.TaskCode = taskCode; }
PassInput& AlbumLink::Input() { return form_.Text().Input; }
TABitmap& AlbumLink::Background() { return form_.Pictures().SurfaceTable[0]; }
const TABitmap& AlbumLink::Sheet() { return form_.Pictures().SurfaceTable[92]; }
TABitmap& AlbumLink::DisplaySurface() { return form_.Pictures().DisplaySurface; }
TABitmap& AlbumLink::FrameSurface() { return form_.Pictures().FrameSurface; }

void AlbumLink::LoadMenuScreen(int32_t background, int32_t sheet) { form_.Title().LoadMenuScreen(background, sheet); }

void AlbumLink::LoadEventPicture(int32_t entry) {
  // A picture the archive lacks shows black, not the gallery page still in the background slot.
  form_.Pictures().SurfaceTable[0].FillRGB(0, 0, 0);
  form_.Pictures().Kumo_ReadGraphic(0, entry, false);
}

void AlbumLink::FadeInScreen(int32_t resumeTaskCode) { form_.Title().StartMenuFade(resumeTaskCode); }

void AlbumLink::TextOut(TABitmap& target, int32_t x, int32_t y, const std::u16string& text, int32_t height, uint8_t red,
                        uint8_t green, uint8_t blue) {
  form_.Canvas().CanvasTextOut(target, x, y, text, height, red, green, blue);
}

void AlbumLink::PlayBGM(int32_t no, int fadeSeconds, int variant, int loop) {
  form_.Audio().Kumo_PlayBGM(no, fadeSeconds, variant, loop);
}

int32_t AlbumLink::TrackPlaying() { return form_.Audio().TrackPlaying(); }

int32_t AlbumLink::AddSceneTbl(int32_t scene) { return form_.Script().AddSceneTbl(scene); }
int32_t AlbumLink::GetSceneTbl(int32_t scene) { return form_.Script().GetSceneTbl(scene); }
void AlbumLink::ClearSceneTbl() { form_.Script().SceneTableRaw.fill(0); }
void AlbumLink::StartSceneReplay() { form_.Title().StartSceneReplay(); }
void AlbumLink::StartAlbumMovie() { form_.Movie().StartAlbumMovie(); }

void AlbumLink::SpeakFocus(std::u16string_view text, std::initializer_list<TextField> fields) {
  form_.Text().SpeakFocus(text, fields);
}

}  // namespace mokuren
