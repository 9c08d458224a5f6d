// SaveLink: SaveHost on the engine. Each call is passed to the part of TForm1 that does it.
#pragma once

#include "save/save_host.h"

namespace mokuren {

class TForm1;

class SaveLink final : public SaveHost {
 public:
  explicit SaveLink(TForm1& form) : form_(form) {}

  const TABitmap& Frame() override;
  void ShowNotice(const std::u16string& text, int32_t ticks) override;
  std::u16string EngineText(std::u16string_view text) override;
  void SpeakFocus(std::u16string_view text, std::initializer_list<TextField> fields) override;
  void ClearMessageLog() override;
  void SetTaskCode(int32_t taskCode) override;
  bool AskToRetrySave() override;

  void SetNormalPlay(uint8_t normalPlay) override;
  void LoadStandardSystemPictures() override;
  void BlackBackground() override;
  void LoadScenePicture(int32_t placement, int32_t entry) override;
  void PlayBgm(int no, int fadeSeconds, int variant, int loop) override;
  void PlaySe(int channel, int no, int loop, int fadeSeconds) override;
  void ReadScript(int n) override;
  std::optional<int32_t> ScriptSteps(int n) override;
  void StartTransition(int32_t durationMs, int32_t taskCode, int32_t resumeTaskCode) override;

  void LoadScreenPicture(int32_t placement, int32_t entry) override;
  void DrawCanvasText(TABitmap& target, int32_t x, int32_t y, const std::u16string& text, int32_t height) override;
  void ShowModal(FormId form, int& modalResult, std::function<void()> then) override;
  bool ModalOpen(FormId form) const override;
  void ReportEvent(const Event& event, const std::u16string& what) override;
  std::string AutomationFile(const std::string& name) override;

 private:
  TForm1& form_;
};

}  // namespace mokuren
