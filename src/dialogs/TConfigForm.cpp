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
  Check(links_.EffectsOn ? GrpEfOnRB : GrpEfOffRB);
  Check(links_.FullScreen ? ModeFullRB : ModeWinRB);
  if (links_.MessageSpeed >= 1 && links_.MessageSpeed <= 3)
    Check(static_cast<Radio>(MsgFastRB + links_.MessageSpeed - 1));
  // Setting a volume slider re-applies its volume through the change handler. A value outside the
  // slider's range (a damaged SAVE.DAT) is shown, applied and stored as the nearest end of the range.
  SetPosition(MsgAutoBar, links_.AutoDelay);
  SetPosition(BgmVolBar, links_.BgmVolume);
  SetPosition(SeVolBar, links_.SeVolume);
  SetPosition(VoiceVolBar, links_.VoiceVolume);
}

void TConfigForm::OkButtonClick() {
  links_.EffectsOn = Checked[GrpEfOnRB] ? 1 : 0;
  // The window mode changes only when it differs from the one in use.
  if (links_.FullScreen && Checked[ModeWinRB]) links_.ReturnFullModeWin();
  if (!links_.FullScreen && Checked[ModeFullRB]) links_.FullModeWin();
  links_.FullScreen = Checked[ModeFullRB] ? 1 : 0;
  // With no speed selected the old value stays.
  for (int speed = 1; speed <= 3; ++speed)
    if (Checked[MsgFastRB + speed - 1]) {
      links_.MessageSpeed = speed;
      break;
    }
  links_.AutoDelay = Position[MsgAutoBar];
  links_.BgmVolume = Position[BgmVolBar];
  links_.SeVolume = Position[SeVolBar];
  links_.VoiceVolume = Position[VoiceVolBar];
  ModalResult = mrOk;
}

// The sliders are heard at once, before OK, and keep their value even when the dialog is left without it.
void TConfigForm::BgmVolBarChange() {
  links_.BgmVolume = Position[BgmVolBar];
  links_.ApplyVolumes();
}

void TConfigForm::SeVolBarChange() {
  links_.SeVolume = Position[SeVolBar];
  links_.ApplyVolumes();
}

void TConfigForm::VoiceVolBarChange() {
  links_.VoiceVolume = Position[VoiceVolBar];
  links_.ApplyVolumes();
}

std::vector<std::u16string> TConfigForm::Texts() const {
  std::vector<std::u16string> texts{Caption};
  for (int g = 0; g < static_cast<int>(std::size(kGroupCaptions)); ++g) {
    texts.emplace_back(kGroupCaptions[g]);
    for (const RadioInfo& r : kRadios)
      if (r.group == g) texts.emplace_back(r.caption);
    if (g == kSliders[MsgAutoBar].group) texts.insert(texts.end(), std::begin(kAutoEnds), std::end(kAutoEnds));
    for (int s = BgmVolBar; s < SliderCount; ++s) {
      if (kSliders[s].group != g) continue;
      texts.emplace_back(kSliders[s].label);
      // "小" and "大" mark the ends of the middle row.
      if (s == SeVolBar) texts.insert(texts.end(), std::begin(kVolumeEnds), std::end(kVolumeEnds));
    }
  }
  return texts;
}

std::optional<ConfigControl> ParseConfigControl(std::string_view pair) {
  const size_t eq = pair.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  const std::string_view field = pair.substr(0, eq), value = pair.substr(eq + 1);
  auto radio = [](TConfigForm::Radio r) { return ConfigControl{true, r}; };
  if (field == "effects" && value == "on") return radio(TConfigForm::GrpEfOnRB);
  if (field == "effects" && value == "off") return radio(TConfigForm::GrpEfOffRB);
  if (field == "mode" && value == "window") return radio(TConfigForm::ModeWinRB);
  if (field == "mode" && value == "full") return radio(TConfigForm::ModeFullRB);
  if (field == "speed" && value.size() == 1 && value[0] >= '1' && value[0] <= '3')
    return radio(static_cast<TConfigForm::Radio>(TConfigForm::MsgFastRB + (value[0] - '1')));
  static constexpr std::pair<std::string_view, TConfigForm::Slider> kSliderFields[] = {
      {"auto", TConfigForm::MsgAutoBar},
      {"bgm", TConfigForm::BgmVolBar},
      {"se", TConfigForm::SeVolBar},
      {"voice", TConfigForm::VoiceVolBar}};
  for (const auto& [name, slider] : kSliderFields) {
    if (field != name) continue;
    int32_t n = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec != std::errc() || end != value.data() + value.size() || n < 0 || n > TConfigForm::kSliders[slider].max)
      return std::nullopt;
    return ConfigControl{false, TConfigForm::GrpEfOnRB, slider, n};
  }
  return std::nullopt;
}

}  // namespace mokuren
