// The engine's side of GraphicsHost: what the pictures and the on-screen buttons ask of the rest of the
// engine, answered by TForm1's members (the archives, the main loop's task, the message window, sound and
// saving).
#pragma once

#include "graphics/graphics_host.h"

namespace mokuren {

class TForm1;

class GraphicsLink final : public GraphicsHost {
 public:
  explicit GraphicsLink(TForm1& form) : form_(form) {}

  int ReadArchiveEntry(ArchiveKind kind, int32_t entry, std::vector<uint8_t>& bytes) override;
  int32_t TaskCode() override;
  void SetTaskCode(int32_t code) override;
  PassInput& Input() override;
  const PlayModes& Modes() override;
  bool MessageWindowShown() override;
  bool HasVoiceToReplay() override;
  bool VoicePlaying() override;
  void PressButton(int button) override;
  void SpeakFocus(std::u16string_view text) override;
  TABitmap* SaveScreenPictureBox(int32_t placement) override;
  std::string AutomationFile(const std::string& name) override;

 private:
  TForm1& form_;
};

}  // namespace mokuren
