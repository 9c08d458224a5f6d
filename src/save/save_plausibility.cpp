#include "save/save_plausibility.h"

#include <cmath>
#include <cstdio>
#include <map>

#include "base/error_list.h"
#include "base/error_texts.h"
#include "base/text_codec.h"
#include "save/save_date.h"

namespace mokuren {

namespace {

// 1 January 1990 and 1 January 2200 as day counts: no engine's clock saved a game outside them.
constexpr double kEarliestDate = 32874;
constexpr double kLatestDate = 109574;
constexpr int16_t kMostCalls = 16;

std::u16string Number(int64_t n) { return FromUtf8(std::to_string(n)); }

std::u16string DateText(double date) {
  if (!std::isfinite(date)) return u"?";
  const CivilTime t = CivilFromSaveDate(date);
  char text[32];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d", t.year, t.month, t.day);
  return FromUtf8(text);
}

struct Setting {
  const char16_t* name;
  int64_t value, least, most;
};

}  // namespace

std::u16string ImplausibleSave(const ErrorList& errors, const SaveBlock& block, const ScriptStepCount& steps) {
  const Setting settings[] = {
      {u"MessageSpeed", block.MessageSpeed, 1, 3}, {u"EffectsOn", block.EffectsOn, 0, 1},
      {u"FullScreen", block.FullScreen, 0, 1},     {u"VoiceVolume", block.VoiceVolume, 0, 100},
      {u"BgmVolume", block.BgmVolume, 0, 100},     {u"SeVolume", block.SeVolume, 0, 100},
      {u"AutoDelay", block.AutoDelay, 0, 20},
  };
  for (const Setting& s : settings)
    if (s.value < s.least || s.value > s.most)
      return errors.Shown(error_text::kSettingImplausible, {{u"field", s.name}, {u"value", Number(s.value)}});

  std::map<int, std::optional<int32_t>> known;  // each script is read once
  for (int n = 1; n <= kSaveSlots; ++n) {
    const SaveRecord& slot = block.Slot(n);
    const std::u16string number = Number(n);
    if (slot.Used == 0) continue;
    if (slot.Used != 1)
      return errors.Shown(error_text::kSlotFieldImplausible,
                          {{u"slot", number}, {u"field", u"Used"}, {u"value", Number(slot.Used)}});
    if (!(slot.SaveDate >= kEarliestDate && slot.SaveDate < kLatestDate))
      return errors.Shown(error_text::kSlotDateImplausible, {{u"slot", number}, {u"date", DateText(slot.SaveDate)}});
    if (slot.ReturnDepth < 0 || slot.ReturnDepth > kMostCalls)
      return errors.Shown(error_text::kSlotFieldImplausible,
                          {{u"slot", number}, {u"field", u"ReturnDepth"}, {u"value", Number(slot.ReturnDepth)}});
    // No script: the slot was saved before the game read one, and loading it reads none.
    if (slot.ScriptNo == 0) continue;
    auto found = known.find(slot.ScriptNo);
    if (found == known.end())
      found = known.emplace(slot.ScriptNo, slot.ScriptNo >= 1 ? steps(slot.ScriptNo) : std::nullopt).first;
    if (!found->second)
      return errors.Shown(error_text::kSlotScriptMissing, {{u"slot", number}, {u"script", Number(slot.ScriptNo)}});
    if (slot.StepNo < -1 || slot.StepNo >= *found->second)
      return errors.Shown(error_text::kSlotStepPastEnd, {{u"slot", number},
                                                         {u"step", Number(slot.StepNo)},
                                                         {u"script", Number(slot.ScriptNo)},
                                                         {u"steps", Number(*found->second)}});
  }
  return {};
}

}  // namespace mokuren
