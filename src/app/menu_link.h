// The engine's side of the title menu's host: what TitleMenu asks, answered from TForm1.
#pragma once

#include "menus/menu_host.h"

namespace mokuren {

class TForm1;

class MenuLink final : public MenuHost {
 public:
  explicit MenuLink(TForm1& form) : form_(form) {}

  int32_t TaskCode() override;
  void SetTaskCode(int32_t taskCode) override;
  PassInput& Input() override;
  PlayModes& Modes() override;
  TABitmap& NextSurface() override;
  TABitmap& FrameSurface() override;
  const TABitmap& Sheet() override;
  void LoadPicture(int32_t placement, int32_t entry, bool fromSystem) override;
  void LoadPlayPictures() override;
  void StartTransition(int32_t durationMs, int32_t effectTask, int32_t resumeTaskCode) override;
  void PlayBGM(int32_t no, int fadeSeconds, int variant, int loop) override;
  void ShowSaveLoadScreen(int mode) override;
  void Confirm(const std::u16string& question, std::function<void()> onYes) override;
  void Close() override;
  VarBank& WorkVars() override;
  void ClearReturnTable() override;
  void ClearScenarioFlags() override;
  void ClearMessageLog() override;
  void SetNormalPlay(uint8_t normalPlay) override;
  void GoToTitleCommand() override;
  void LoadFirstReplayScene() override;
  void SpeakFocus(std::u16string_view text, std::initializer_list<TextField> fields) override;

 private:
  TForm1& form_;
};

}  // namespace mokuren
