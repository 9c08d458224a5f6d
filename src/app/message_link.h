// MessageLink: the message window's host, and the hosts of its two windows (the name dialog and the
// floating message window), implemented on the engine by handing each request to the part that does it.
#pragma once

#include "text/message_host.h"
#include "text/msg_form_host.h"
#include "text/name_form_host.h"

namespace mokuren {

class TForm1;

class MessageLink final : public MessageHost, public NameFormHost, public MsgFormHost {
 public:
  explicit MessageLink(TForm1& form) : form_(form) {}

  // MessageHost.
  int32_t TaskCode() override;
  void SetTaskCode(int32_t code) override;
  TABitmap& Frame() override;
  TABitmap& FloatFrame() override;
  TABitmap& MessageTextLayer() override;
  TABitmap& MessageShadowLayer() override;
  TABitmap& MessageFrame() override;
  TABitmap& SystemSheet() override;
  TABitmap& ChoicePlate(bool highlighted) override;
  TABitmap& ChoiceTextLayer(int32_t choice) override;
  TABitmap& ChoiceShadowLayer(int32_t choice) override;
  int32_t ScriptNumber() override;
  const std::vector<std::u16string>& MessageTexts() override;
  std::u16string VoiceFile(int32_t voice) override;
  void StoreChoice(int16_t number) override;
  void PlayVoice(const std::u16string& path, int32_t repeat) override;
  void StopVoice() override;
  void DisableVoiceButton() override;
  void UnlightVoiceButton() override;
  bool DebugMode() override;
  void StartFramesNow() override;
  TNameForm& NameForm() override;
  int ShowModal(FormId form, int& modalResult) override;

  // NameFormHost.
  void AcceptHeroName(const std::u16string& name) override;

  // MsgFormHost.
  void LatchMouseDown(MouseButton button) override;
  void LatchWheelUp() override;
  void LatchWheelDown() override;
  void PopupMenuAt(Point client) override;

 private:
  TForm1& form_;
};

}  // namespace mokuren
