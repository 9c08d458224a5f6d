#include "dialogs/TConfigForm.h"

#include <algorithm>
#include <charconv>

namespace mokuren {

void TConfigForm::Check(Radio radio) {
  for (int r = 0; r < RadioCount; ++r)
    if (kRadios[r].group == kRadios[radio].group) Checked[r] = r == radio;
}

void TConfigForm::SetPosition(Slider slider, int32_t position) {
  Position[slider] = std::clamp(position, 0, kSliders[slider].max);
  switch (slider) {
    case BgmVolBar: BgmVolBarChange(); break;
    case SeVolBar: SeVolBarChange(); break;
    case VoiceVolBar: VoiceVolBarChange(); break;
    default: break;
  }
}

void TConfigForm::LoadSettings() {
  Check(EffectsOn ? GrpEfOnRB : GrpEfOffRB);
  Check(FullScreen ? ModeFullRB : ModeWinRB);
  if (MessageSpeed >= 1 && MessageSpeed <= 3) Check(static_cast<Radio>(MsgFastRB + MessageSpeed - 1));
  // Setting a volume slider re-applies its volume through the change handler. A value outside the
  // slider's range (a damaged SAVE.DAT) is shown, applied and stored as the nearest end of the range.
  SetPosition(MsgAutoBar, AutoDelay);
  SetPosition(BgmVolBar, BgmVolume);
  SetPosition(SeVolBar, SeVolume);
  SetPosition(VoiceVolBar, VoiceVolume);
}

void TConfigForm::OkButtonClick() {
  EffectsOn = Checked[GrpEfOnRB] ? 1 : 0;
  // The window mode changes only when it differs from the one in use.
  if (FullScreen && Checked[ModeWinRB]) host_.ReturnFullModeWin();
  if (!FullScreen && Checked[ModeFullRB]) host_.FullModeWin();
  FullScreen = Checked[ModeFullRB] ? 1 : 0;
  // With no speed selected the old value stays.
  for (int speed = 1; speed <= 3; ++speed)
    if (Checked[MsgFastRB + speed - 1]) {
      MessageSpeed = speed;
      break;
    }
  AutoDelay = Position[MsgAutoBar];
  BgmVolume = Position[BgmVolBar];
  SeVolume = Position[SeVolBar];
  VoiceVolume = Position[VoiceVolBar];
  ModalResult = mrOk;
}

// The sliders are heard at once, before OK, and keep their value even when the dialog is left without it.
void TConfigForm::BgmVolBarChange() {
  BgmVolume = Position[BgmVolBar];
  host_.ApplyVolumes();
}

void TConfigForm::SeVolBarChange() {
  SeVolume = Position[SeVolBar];
  host_.ApplyVolumes();
}

void TConfigForm::VoiceVolBarChange() {
  VoiceVolume = Position[VoiceVolBar];
  host_.ApplyVolumes();
}

void TConfigForm::Translate(const TextTranslator& text) {
  Caption = text(kCaption);
  OkCaption = text(kOkCaption);
  SpeechCaption = text(kSpeechCaption);
  for (size_t g = 0; g < kGroupCount; ++g) GroupCaptions[g] = text(kGroupCaptions[g]);
  for (int r = 0; r < RadioCount; ++r) RadioCaptions[r] = text(kRadios[r].caption);
  // The auto-advance slider has no label of its own; an empty text is not an entry of the catalog.
  for (int s = 0; s < SliderCount; ++s) SliderLabels[s] = kSliders[s].label.empty() ? u"" : text(kSliders[s].label);
  for (size_t e = 0; e < 2; ++e) {
    AutoEnds[e] = text(kAutoEnds[e]);
    VolumeEnds[e] = text(kVolumeEnds[e]);
  }
}

std::vector<std::u16string> TConfigForm::Texts() const {
  std::vector<std::u16string> texts{Caption};
  for (int g = 0; g < static_cast<int>(kGroupCount); ++g) {
    texts.push_back(GroupCaptions[g]);
    for (int r = 0; r < RadioCount; ++r)
      if (kRadios[r].group == g) texts.push_back(RadioCaptions[r]);
    if (g == kSliders[MsgAutoBar].group) texts.insert(texts.end(), AutoEnds.begin(), AutoEnds.end());
    for (int s = BgmVolBar; s < SliderCount; ++s) {
      if (kSliders[s].group != g) continue;
      texts.push_back(SliderLabels[s]);
      // "小" and "大" mark the ends of the middle row.
      if (s == SeVolBar) texts.insert(texts.end(), VolumeEnds.begin(), VolumeEnds.end());
    }
  }
  return texts;
}

ConfigControl ControlOf(const ConfigSetting& setting) {
  using Field = ConfigSetting::Field;
  auto radio = [](TConfigForm::Radio r) { return ConfigControl{true, r}; };
  auto slider = [&](TConfigForm::Slider s) { return ConfigControl{false, TConfigForm::GrpEfOnRB, s, setting.value}; };
  switch (setting.field) {
    case Field::Effects: return radio(setting.value ? TConfigForm::GrpEfOnRB : TConfigForm::GrpEfOffRB);
    case Field::Mode: return radio(setting.value ? TConfigForm::ModeFullRB : TConfigForm::ModeWinRB);
    case Field::Speed: return radio(static_cast<TConfigForm::Radio>(TConfigForm::MsgFastRB + (setting.value - 1)));
    case Field::Auto: return slider(TConfigForm::MsgAutoBar);
    case Field::Bgm: return slider(TConfigForm::BgmVolBar);
    case Field::Se: return slider(TConfigForm::SeVolBar);
    case Field::Voice: return slider(TConfigForm::VoiceVolBar);
  }
  return {};
}

void TConfigForm::Apply(const ConfigSetting& setting) {
  const ConfigControl c = ControlOf(setting);
  if (c.radio)
    Check(c.button);
  else
    SetPosition(c.slider, c.position);
}

}  // namespace mokuren
