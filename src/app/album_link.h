// The engine's side of the album's host: what AlbumScreens asks, answered from TForm1.
#pragma once

#include "menus/album_host.h"

namespace mokuren {

class TForm1;

class AlbumLink final : public AlbumHost {
 public:
  explicit AlbumLink(TForm1& form) : form_(form) {}

  int32_t TaskCode() override;
  void SetTaskCode(int32_t taskCode) override;
  PassInput& Input() override;
  TABitmap& Background() override;
  const TABitmap& Sheet() override;
  TABitmap& DisplaySurface() override;
  TABitmap& FrameSurface() override;
  void LoadMenuScreen(int32_t background, int32_t sheet) override;
  void LoadEventPicture(int32_t entry) override;
  void FadeInScreen(int32_t resumeTaskCode) override;
  void TextOut(TABitmap& target, int32_t x, int32_t y, const std::u16string& text, int32_t height, uint8_t red,
               uint8_t green, uint8_t blue) override;
  void PlayBGM(int32_t no, int fadeSeconds, int variant, int loop) override;
  int32_t TrackPlaying() override;
  int32_t AddSceneTbl(int32_t scene) override;
  int32_t GetSceneTbl(int32_t scene) override;
  void ClearSceneTbl() override;
  void StartSceneReplay() override;
  void StartAlbumMovie() override;
  void SpeakFocus(std::u16string_view text, std::initializer_list<TextField> fields) override;

 private:
  TForm1& form_;
};

}  // namespace mokuren
