// The script machine's way to the rest of the engine: ScriptHost answered by TForm1's subsystems.
#pragma once

#include "script/script_host.h"

namespace mokuren {

class TForm1;

class ScriptLink final : public ScriptHost {
 public:
  explicit ScriptLink(TForm1& form) : form_(form) {}

  void SetTaskCode(int32_t code) override;
  uint32_t Now() override;
  PassInput& Input() override;
  PlayModes& Modes() override;
  void ClearKeys() override;
  void ClearMouseButtons() override;
  int ReadScriptEntry(int entry, std::vector<uint8_t>& bytes) override;
  bool ScriptEntryListedEmpty(int entry) override;
  int32_t PictureEntry(const std::u16string& name) override;
  void NoteBackground(int32_t entry) override;
  void BlackBackground() override;
  void PlaceLayer(int layer, int32_t entry, std::optional<int32_t> x) override;
  void LoadPicture(int32_t placement, int32_t entry) override;
  void CrossFadeIn() override;
  void StartOpeningMovie() override;
  void PlayMusic(int no, int fadeSeconds, int loop) override;
  void PlayEffect(int position, int no, int loop, int fadeSeconds) override;
  void PlayVoice(const std::u16string& path, int repeat) override;
  void CheckVoice(const std::u16string& path) override;
  void StopVoice() override;
  void StopVoiceUnlessLooping() override;
  void EndVoiceLoop() override;
  void ReleaseVoiceButton() override;
  void NoteMessage(int32_t message, int32_t voice, bool repeatVoice) override;
  void NoteChoice(int32_t message, int32_t voice) override;
  std::u16string LayOutMessage(const std::u16string& text) override;
  void AnnounceMessage(const std::u16string& text) override;
  void OpenMessageWindow() override;
  int32_t LayOutChoices(const std::u16string& text) override;
  void AnnounceChoices() override;
  void ShowChoices() override;
  void DropMessageFrame() override;
  void ShowCursor(bool shown) override;
  void AllowSystemMenu(bool allowed) override;
  void AllowSkip(bool allowed) override;
  void OpenNameEntry() override;
  void HideFloatingWindow() override;
  void PlayGalleryMusic() override;

 private:
  TForm1& form_;
};

}  // namespace mokuren
