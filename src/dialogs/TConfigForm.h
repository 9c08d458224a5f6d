// TConfigForm: the settings dialog ("環境設定"). Opening it loads the current settings into its controls;
// the volume sliders act on the sound at once, and OK stores the rest. There is no cancel button: leaving
// the dialog another way keeps only what the sliders already changed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/modal_result.h"
#include "base/save_block.h"
#include "base/text_translator.h"
#include "dialogs/config_form_host.h"
#include "platform/event.h"

namespace mokuren {

class TConfigForm {
 public:
  // The radio buttons, group by group.
  enum Radio : uint8_t { GrpEfOnRB, GrpEfOffRB, ModeWinRB, ModeFullRB, MsgFastRB, MsgNrmlRB, MsgSlowRB, RadioCount };
  enum Slider : uint8_t { MsgAutoBar, BgmVolBar, SeVolBar, VoiceVolBar, SliderCount };

  struct RadioInfo {
    std::u16string_view caption;
    int group;  // index into kGroupCaptions
  };
  struct SliderInfo {
    std::u16string_view label;  // beside the slider; empty for MsgAutoBar, which has "0秒" and "20秒"
    int group;
    int32_t max;  // every slider starts at 0
  };
  static constexpr std::u16string_view kGroupCaptions[] = {u"画面エフェクト", u"画面モード", u"メッセージスピード",
                                                           u"自動進行", u"ボリューム"};
  static constexpr RadioInfo kRadios[RadioCount] = {{u"あり", 0},           {u"なし", 0},   {u"ウィンドウ", 1},
                                                    {u"フルスクリーン", 1}, {u"はやい", 2}, {u"標準", 2},
                                                    {u"おそい", 2}};
  static constexpr SliderInfo kSliders[SliderCount] = {
      {u"", 3, 20}, {u"ＢＧＭ", 4, 100}, {u"効果音", 4, 100}, {u"ボイス", 4, 100}};
  // The labels at the two ends of the auto-advance slider, and of the middle volume row.
  static constexpr std::u16string_view kAutoEnds[2] = {u"0秒", u"20秒"};
  static constexpr std::u16string_view kVolumeEnds[2] = {u"小", u"大"};
  static constexpr std::u16string_view kCaption = u"環境設定";
  static constexpr std::u16string_view kOkCaption = u"ＯＫ";
  // The switch that has the game read aloud what the player moves to (kept outside the save block, for
  // every game).
  static constexpr std::u16string_view kSpeechCaption = u"読み上げ";
  static constexpr size_t kGroupCount = std::size(kGroupCaptions);

  // The settings it shows and stores are the save block's.
  TConfigForm(ConfigFormHost& host, SaveBlock& block)
      : host_(host),
        EffectsOn(block.EffectsOn),
        FullScreen(block.FullScreen),
        MessageSpeed(block.MessageSpeed),
        AutoDelay(block.AutoDelay),
        BgmVolume(block.BgmVolume),
        SeVolume(block.SeVolume),
        VoiceVolume(block.VoiceVolume) {
    Translate([](std::u16string_view text) { return std::u16string(text); });
  }
  TConfigForm(const TConfigForm&) = delete;
  TConfigForm& operator=(const TConfigForm&) = delete;

  // What the view shows, in the player's language: the texts above as Translate gave them.
  std::u16string Caption;
  std::u16string OkCaption;
  std::u16string SpeechCaption;
  std::array<std::u16string, kGroupCount> GroupCaptions;
  std::array<std::u16string, RadioCount> RadioCaptions;
  std::array<std::u16string, SliderCount> SliderLabels;
  std::array<std::u16string, 2> AutoEnds, VolumeEnds;
  // The form's own defaults, never seen: opening the dialog loads the settings first.
  std::array<bool, RadioCount> Checked{true, false, true, false, false, true, false};
  std::array<int32_t, SliderCount> Position{10, 70, 70, 70};
  int ModalResult = mrNone;

  // Gives every text of the dialog as `text` translates its Japanese original.
  void Translate(const TextTranslator& text);
  // Selects a radio button and clears the others of its group.
  void Check(Radio radio);
  // Moves a slider (limited to its range) and runs its change handler, as the control does.
  void SetPosition(Slider slider, int32_t position);
  // Opening: the controls show the stored settings. A message speed other than 1-3 leaves the speed
  // buttons as they are.
  void LoadSettings();
  void OkButtonClick();
  // Operates the control of one setting of the events file's "config" verb.
  void Apply(const ConfigSetting& setting);
  void BgmVolBarChange();
  void SeVolBarChange();
  void VoiceVolBarChange();

  // The dialog's texts as its view shows them: caption, then each group's caption and its controls'
  // captions and labels.
  std::vector<std::u16string> Texts() const;

 private:
  ConfigFormHost& host_;
  uint8_t& EffectsOn;
  uint8_t& FullScreen;
  int32_t& MessageSpeed;
  int32_t& AutoDelay;
  int32_t& BgmVolume;
  int32_t& SeVolume;
  int32_t& VoiceVolume;
};

// The control a setting of the events file's "config" verb operates: a radio button to check, or a slider
// to move to `position`.
struct ConfigControl {
  bool radio = false;
  TConfigForm::Radio button = TConfigForm::GrpEfOnRB;
  TConfigForm::Slider slider = TConfigForm::MsgAutoBar;
  int32_t position = 0;
};
ConfigControl ControlOf(const ConfigSetting& setting);

}  // namespace mokuren
